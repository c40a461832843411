#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quillory::cli {

// A command's own arguments: positional values and "--name value" options.
class Arguments {
public:
    // Throws UsageError for an unknown option, an option without its value, or a wrong count
    // of positional values.
    Arguments(const std::vector<std::string>& args, const std::set<std::string>& optionNames,
              std::size_t positionalCount);

    const std::string& positional(std::size_t index) const { return positional_.at(index); }
    std::optional<std::string> option(const std::string& name) const;
    // The option as a whole number in [min, max], or def when absent; throws UsageError.
    long long number(const std::string& name, long long def, long long min, long long max) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> options_;
};

struct UsageError {
    std::string message;
};

} // namespace quillory::cli
