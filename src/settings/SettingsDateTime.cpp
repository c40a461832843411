#include "core/Error.h"
#include "settings/SettingsFile.h"

#include <cstdio>
#include <regex>

namespace quillory {
namespace {

int number(const std::ssub_match& match) {
    return match.matched ? std::stoi(match.str()) : 0;
}

// "yyyy-mm-dd" with an optional "hh:nn[:ss]".
std::optional<LocalDateTime> parseIso(const std::string& text) {
    static const std::regex pattern(
        R"((\d{4})-(\d{1,2})-(\d{1,2})(?:[ \t]+(\d{1,2}):(\d{2})(?::(\d{2}))?)?)");
    std::smatch m;
    if (!std::regex_match(text, m, pattern))
        return std::nullopt;
    return LocalDateTime{number(m[1]), number(m[2]), number(m[3]),
                         number(m[4]), number(m[5]), number(m[6])};
}

// The US workstation form "m/d/yyyy" with an optional "h:nn[:ss]" and AM/PM.
std::optional<LocalDateTime> parseUs(const std::string& text) {
    static const std::regex pattern(
        R"((\d{1,2})/(\d{1,2})/(\d{4})(?:[ \t]+(\d{1,2}):(\d{2})(?::(\d{2}))?(?:[ \t]*([AaPp])[Mm])?)?)");
    std::smatch m;
    if (!std::regex_match(text, m, pattern))
        return std::nullopt;
    int hour = number(m[4]);
    if (m[7].matched) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        const bool pm = m[7].str() == "P" || m[7].str() == "p";
        hour = hour % 12 + (pm ? 12 : 0);
    }
    return LocalDateTime{number(m[3]), number(m[1]), number(m[2]),
                         hour,         number(m[5]), number(m[6])};
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

} // namespace

std::string formatSettingsDateTime(LocalDateTime value) {
    value.msec = 0;
    if (!value.isValid() || value.year < 1 || value.year > 9999)
        throw Error("Cannot store an invalid date and time in the settings file.");
    if (!value.isMidnight())
        return value.toSqlText();
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", value.year, value.month, value.day);
    return date;
}

std::optional<LocalDateTime> parseSettingsDateTime(std::string_view text) {
    const std::string clean = trimmed(text);
    std::optional<LocalDateTime> value = parseIso(clean);
    if (!value)
        value = parseUs(clean);
    if (!value || !value->isValid() || value->year < 1)
        return std::nullopt;
    return value;
}

} // namespace quillory
