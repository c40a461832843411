#pragma once

#include "core/LocalDateTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillory {

// The program's INI settings file. Nothing is cached: every call reads or writes the file, so
// several objects on one file see each other's writes at once. A write changes only the written
// key's line; every other line stays byte for byte.
class SettingsFile {
public:
    explicit SettingsFile(std::string path);

    const std::string& path() const { return path_; }

    // The value (surrounding blanks removed, cut to 2047 characters), or def when the key, the
    // section or the file is absent. Section and key names ignore letter case.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Throws quillory::Error("Unable to write to <path>") when the file cannot be written, and
    // Error without touching the file when the value holds a line break (CR or LF).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The value read as a date-time (see parseSettingsDateTime); def when absent, zero when the
    // text cannot be read.
    LocalDateTime ReadDateTime(std::string_view section, std::string_view key,
                               LocalDateTime def) const;
    void WriteDateTime(std::string_view section, std::string_view key, LocalDateTime value);

private:
    std::string path_;
};

// "yyyy-mm-dd hh:nn:ss", or "yyyy-mm-dd" alone at midnight (so zero is "1899-12-30");
// milliseconds are dropped. Throws Error for a value that is not a real date and time.
std::string formatSettingsDateTime(LocalDateTime value);
// Reads what formatSettingsDateTime writes, and the US short-date / long-time form written on a
// Windows workstation ("10/18/2011 3:30:45 PM", or the date alone). Nothing when unreadable.
std::optional<LocalDateTime> parseSettingsDateTime(std::string_view text);

} // namespace quillory
