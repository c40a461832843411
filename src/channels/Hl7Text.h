#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text helpers shared by the query channels. Texts are single bytes, never decoded; the helpers
// only ever append to the lists they are given.
namespace quillory {

using StringList = std::vector<std::string>;

inline constexpr char kFrameStart = '\x0B';
// The carriage return ends the message's last segment; 0x1C 0x0D alone is no end marker.
inline constexpr std::string_view kFrameEnd = "\r\x1C\r";

// Appends the pieces of text between delimiters. A delimiter at the very end gives no empty
// piece after it, and an empty text gives no piece at all.
void SplitByDelimiter(std::string_view text, char delimiter, StringList& list);

// Appends the "|" pieces of the first segment, then those of the second: index 8 is MSH-9 for
// an MSH header. Returns false and appends nothing when the text has fewer than two segments.
bool SplitHeaderFields(std::string_view message, StringList& list);

// True when the text holds a start byte and an end marker, in whatever order.
bool HasCompleteFrame(std::string_view received);

// The text after the first start byte up to the first end marker that follows it; empty when
// no end marker follows.
std::string StripFrame(std::string_view received);

// What the transfer log records for a reply: "Data Sent OK" when the second line carries "CA"
// at its 5th and 6th characters (MSA-1), else that line's fourth "|" piece (MSA-3), else empty.
std::string ReplyResultText(std::string_view reply);

} // namespace quillory
