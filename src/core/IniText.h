#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillory {

// Rules of Windows INI text, on a file's bytes (no file access here).
//
// A header line "[name]" opens a section; a line "key=value" belongs to the section above it.
// Section and key names match ignoring ASCII letter case and surrounding blanks. Lines starting
// with ';' are comments and never match. Lines are ended by LF or CRLF; the last one may have no
// ending. When a key appears twice in a section (or a section twice in the file), the first one
// is read and written.

// The longest value a read returns; longer values are cut, as the Windows profile API does with
// the 2048-byte buffer callers give it.
inline constexpr std::size_t kIniValueMaxLength = 2047;

// The text after the key's first '=', blanks and tabs around it removed, cut to
// kIniValueMaxLength. Nothing when the section or the key is absent.
std::optional<std::string> iniReadValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// The file's bytes with the key set to value. Only the key's line changes: every other line
// stays byte for byte. A new key goes after the last entry of its section, a missing section is
// appended; new lines use the file's line ending (LF for an empty file).
// Throws Error when the value holds a line break or a name cannot be written as an INI line.
std::string iniWriteValue(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value);

} // namespace quillory
