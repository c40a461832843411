#pragma once

#include <string>
#include <string_view>

namespace quillory {

// Appends value to out with HL7 2.3.1 escapes for the delimiters this program writes (| ^ & ~ \)
// and for CR and LF, so that a stored value can never shift or split the fields that follow.
void appendHl7Escaped(std::string& out, std::string_view value);

} // namespace quillory
