#include "practice/Hl7Escape.h"

namespace quillory {

namespace {

const char* escapeFor(char c) {
    switch (c) {
    case '\\':
        return "\\E\\";
    case '|':
        return "\\F\\";
    case '^':
        return "\\S\\";
    case '&':
        return "\\T\\";
    case '~':
        return "\\R\\";
    case '\r':
        return "\\X0D\\";
    case '\n':
        return "\\X0A\\";
    default:
        return nullptr;
    }
}

} // namespace

void appendHl7Escaped(std::string& out, std::string_view value) {
    std::size_t plainFrom = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char* escape = escapeFor(value[i]);
        if (!escape)
            continue;
        out.append(value.substr(plainFrom, i - plainFrom));
        out.append(escape);
        plainFrom = i + 1;
    }
    out.append(value.substr(plainFrom));
}

} // namespace quillory
