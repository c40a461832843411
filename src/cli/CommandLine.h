#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quillory::cli {

// What a command may touch besides its arguments; tests point the streams at buffers.
struct Environment {
    std::ostream& out;
    std::ostream& err;
    std::string programDir; // where the default settings file lives
};

// Exit codes: 0 success, 1 the command failed, 2 the command line was wrong.
enum ExitCode { Success = 0, Failure = 1, Usage = 2 };

// quillory-cli [--settings FILE] COMMAND [ARGS]
int run(const std::vector<std::string>& args, Environment& env);

} // namespace quillory::cli
