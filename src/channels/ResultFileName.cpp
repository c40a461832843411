#include "channels/ResultFileName.h"

namespace quillory {

namespace {

bool isBlankOrControl(unsigned char c) {
    return c <= ' ' || c == 0x7F;
}

std::string_view afterFirstCarriageReturn(std::string_view message) {
    const std::size_t cr = message.find('\r');
    return cr == std::string_view::npos ? message : message.substr(cr + 1);
}

} // namespace

std::optional<std::string> resultFileName(std::string_view chart) {
    while (!chart.empty() && isBlankOrControl(chart.front()))
        chart.remove_prefix(1);
    while (!chart.empty() && isBlankOrControl(chart.back()))
        chart.remove_suffix(1);
    if (chart.empty() || chart == "." || chart == "..")
        return std::nullopt;
    for (unsigned char c : chart) {
        if (c == '/' || c == '\\' || c < ' ' || c == 0x7F)
            return std::nullopt;
    }
    return std::string(chart) + ".HL7";
}

bool sameMessageAfterHeader(std::string_view a, std::string_view b) {
    return afterFirstCarriageReturn(a) == afterFirstCarriageReturn(b);
}

} // namespace quillory
