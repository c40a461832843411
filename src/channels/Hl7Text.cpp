#include "channels/Hl7Text.h"

namespace quillory {

namespace {

// Up to `wanted` lines; a line ends at CR, LF or CR LF, and a final break opens no new line.
std::vector<std::string_view> firstLines(std::string_view text, std::size_t wanted) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size() && lines.size() < wanted) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

} // namespace

void SplitByDelimiter(std::string_view text, char delimiter, StringList& list) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t found = text.find(delimiter, pos);
        if (found == std::string_view::npos) {
            list.emplace_back(text.substr(pos));
            return;
        }
        list.emplace_back(text.substr(pos, found - pos));
        pos = found + 1;
    }
}

bool SplitHeaderFields(std::string_view message, StringList& list) {
    StringList segments;
    SplitByDelimiter(message, '\r', segments);
    if (segments.size() < 2)
        return false;
    SplitByDelimiter(segments[0], '|', list);
    SplitByDelimiter(segments[1], '|', list);
    return true;
}

bool HasCompleteFrame(std::string_view received) {
    return received.find(kFrameStart) != std::string_view::npos &&
           received.find(kFrameEnd) != std::string_view::npos;
}

std::string StripFrame(std::string_view received) {
    const std::size_t start = received.find(kFrameStart);
    // Without a start byte nothing is dropped in front.
    const std::string_view inside =
        start == std::string_view::npos ? received : received.substr(start + 1);
    const std::size_t end = inside.find(kFrameEnd);
    if (end == std::string_view::npos)
        return {};
    return std::string(inside.substr(0, end));
}

std::string ReplyResultText(std::string_view reply) {
    const std::vector<std::string_view> lines = firstLines(reply, 2);
    if (lines.size() < 2)
        return {};
    const std::string_view second = lines[1];
    if (second.size() >= 6 && second.substr(4, 2) == "CA")
        return "Data Sent OK";
    StringList pieces;
    SplitByDelimiter(second, '|', pieces);
    return pieces.size() >= 4 ? pieces[3] : std::string();
}

} // namespace quillory
