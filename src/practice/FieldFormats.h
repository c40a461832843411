#pragma once

#include "core/LocalDateTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillory::formats {

// The text rules of the demographics message. Each appends to out; the results hold only digits
// and the component separators the rules write, so they need no HL7 escaping.

// "yyyymmdd", nothing for no date.
void appendDate(std::string& out, const std::optional<LocalDateTime>& date);
// The digits 0-9 of text, in their order.
void appendDigits(std::string& out, std::string_view text);
// 9 digits: "12345-6789"; 5 digits as they are; any other count: nothing.
void appendZip(std::string& out, std::string_view zipCode);
// 10 digits: "937^5550142"; 7 digits: "^5550142"; any other count: "^".
void appendPhone(std::string& out, std::string_view phone);
// 10 digits: "800^5550111^"; 7 digits: "^5550111^"; any other count: "^^".
void appendCarrierPhone(std::string& out, std::string_view phone);

} // namespace quillory::formats
