#pragma once

#include "cli/CommandLine.h"

#include <string>
#include <vector>

namespace quillory::cli {

// What every command is given: its own arguments, the settings file and the streams.
struct Invocation {
    std::vector<std::string> args;
    std::string settingsPath;
    Environment& env;
};

int messageCommand(const Invocation& call);
int chartsCommand(const Invocation& call);
int tableCommand(const Invocation& call);
int demoCommand(const Invocation& call);
int initTablesCommand(const Invocation& call);
int cycleCommand(const Invocation& call);
int serveCommand(const Invocation& call);
int logCommand(const Invocation& call);

} // namespace quillory::cli
