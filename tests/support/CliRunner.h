#pragma once

#include "cli/CommandLine.h"

#include <sstream>
#include <string>
#include <vector>

namespace quillory::test {

struct CliResult {
    int code;
    std::string out, err;
};

// Runs quillory-cli's command line in this process, with its output in buffers.
inline CliResult runCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    cli::Environment env{out, err, "/nonexistent"};
    const int code = cli::run(args, env);
    return {code, out.str(), err.str()};
}

} // namespace quillory::test
