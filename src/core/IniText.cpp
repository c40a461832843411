#include "core/IniText.h"

#include "core/Error.h"

#include <vector>

namespace quillory {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    a = trimmed(a);
    b = trimmed(b);
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct Line {
    std::size_t begin = 0; // offset of the first byte after leading blanks (and a BOM)
    std::size_t end = 0;   // offset just past the content, before the line ending
    std::size_t next = 0;  // offset of the following line
    LineKind kind = LineKind::Blank;
    std::string_view name;  // section name or key name, untrimmed
    std::size_t equals = 0; // offset of the entry's first '='
};

Line classify(std::string_view text, std::size_t begin, std::size_t end, std::size_t next) {
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    if (begin == 0 && text.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        line.begin = kUtf8Bom.size();
    while (line.begin < end && kBlanks.find(text[line.begin]) != std::string_view::npos)
        ++line.begin;
    const std::string_view content = text.substr(line.begin, end - line.begin);
    if (content.empty()) {
        line.kind = LineKind::Blank;
    } else if (content.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (content.front() == '[') {
        // A header without ']' still opens a section, so its keys never leak into the one above.
        line.kind = LineKind::Section;
        line.name = content.substr(1, content.find(']') - 1);
    } else if (const auto eq = content.find('='); eq != std::string_view::npos) {
        line.kind = LineKind::Entry;
        line.name = content.substr(0, eq);
        line.equals = line.begin + eq;
    } else {
        line.kind = LineKind::Other;
    }
    return line;
}

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto newline = text.find('\n', begin);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        if (end > begin && text[end - 1] == '\r')
            --end;
        lines.push_back(classify(text, begin, end, next));
        begin = next;
    }
    return lines;
}

struct Place {
    std::optional<std::size_t> entry;       // the first line holding the key
    std::optional<std::size_t> insertAfter; // last entry or header of the first such section
};

Place locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place place;
    bool inSection = false;
    bool inFirstSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == LineKind::Section) {
            inSection = sameName(line.name, section);
            inFirstSection = inSection && !place.insertAfter;
            if (inFirstSection)
                place.insertAfter = i;
        } else if (inSection && (line.kind == LineKind::Entry || line.kind == LineKind::Other)) {
            if (line.kind == LineKind::Entry && sameName(line.name, key)) {
                place.entry = i;
                return place;
            }
            if (inFirstSection)
                place.insertAfter = i;
        }
    }
    return place;
}

std::string_view lineEnding(std::string_view text) {
    const auto newline = text.find('\n');
    const bool crlf = newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r';
    return crlf ? "\r\n" : "\n";
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

void checkWritable(std::string_view section, std::string_view key, std::string_view value) {
    const std::string where =
        "\"" + std::string(key) + "\" in section \"" + std::string(section) + "\"";
    const bool badSection = trimmed(section).empty() || hasLineBreak(section) ||
                            section.find(']') != std::string_view::npos;
    const std::string_view name = trimmed(key);
    const bool badKey = name.empty() || hasLineBreak(key) ||
                        key.find('=') != std::string_view::npos || name.front() == ';' ||
                        name.front() == '[';
    if (badSection || badKey)
        throw Error("Cannot write " + where + ": the name cannot be stored in a settings file.");
    if (hasLineBreak(value))
        throw Error("Cannot write " + where +
                    ": the value contains a line break, which a settings file cannot hold.");
}

} // namespace

std::optional<std::string> iniReadValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
    const std::vector<Line> lines = splitLines(text);
    const Place place = locate(lines, section, key);
    if (!place.entry)
        return std::nullopt;
    const Line& line = lines[*place.entry];
    const std::string_view value =
        trimmed(text.substr(line.equals + 1, line.end - line.equals - 1));
    return std::string(value.substr(0, kIniValueMaxLength));
}

std::string iniWriteValue(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value) {
    checkWritable(section, key, value);
    const std::vector<Line> lines = splitLines(text);
    const Place place = locate(lines, section, key);
    const std::string_view eol = lineEnding(text);
    std::string out;
    out.reserve(text.size() + key.size() + value.size() + section.size() + 8);

    if (place.entry) {
        // Keep the key's own spelling and spacing; only the value after '=' changes.
        const Line& line = lines[*place.entry];
        std::size_t valueStart = line.equals + 1;
        while (valueStart < line.end && kBlanks.find(text[valueStart]) != std::string_view::npos)
            ++valueStart;
        out.append(text.substr(0, valueStart)).append(value);
        out.append(text.substr(line.end));
        return out;
    }
    const std::size_t splitAt = place.insertAfter ? lines[*place.insertAfter].next : text.size();
    out.append(text.substr(0, splitAt));
    if (!out.empty() && out.back() != '\n')
        out.append(eol);
    if (!place.insertAfter)
        out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(value).append(eol);
    out.append(text.substr(splitAt));
    return out;
}

} // namespace quillory
