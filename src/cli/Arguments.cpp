#include "cli/Arguments.h"

#include <charconv>

namespace quillory::cli {

Arguments::Arguments(const std::vector<std::string>& args, const std::set<std::string>& optionNames,
                     std::size_t positionalCount) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!args[i].starts_with("--")) {
            positional_.push_back(args[i]);
            continue;
        }
        const std::string name = args[i].substr(2);
        if (!optionNames.count(name))
            throw UsageError{"unknown option " + args[i]};
        if (i + 1 >= args.size())
            throw UsageError{"option " + args[i] + " needs a value"};
        options_[name] = args[++i];
    }
    if (positional_.size() != positionalCount)
        throw UsageError{"expected " + std::to_string(positionalCount) + " argument(s), got " +
                         std::to_string(positional_.size())};
}

std::optional<std::string> Arguments::option(const std::string& name) const {
    const auto it = options_.find(name);
    if (it == options_.end())
        return std::nullopt;
    return it->second;
}

long long Arguments::number(const std::string& name, long long def, long long min,
                            long long max) const {
    const auto text = option(name);
    if (!text)
        return def;
    long long value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < min || value > max)
        throw UsageError{"--" + name + " needs a whole number from " + std::to_string(min) +
                         " to " + std::to_string(max) + ", not \"" + *text + "\""};
    return value;
}

} // namespace quillory::cli
