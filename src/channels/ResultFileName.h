#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillory {

inline constexpr const char* firstRunFileName = "CPLMPL.HL7";

// The result file of a chart: the chart number without blanks and control characters at both
// ends, followed by ".HL7". Nothing when that is not a plain file name (a path separator, a NUL
// or control byte inside, "." or "..", or nothing left), so that no file lands outside the
// result folder.
std::optional<std::string> resultFileName(std::string_view chart);

// Messages of one chart differ in their MSH segment at every build (time stamp, control ID), so
// they are compared after their first carriage return (whole when there is none).
bool sameMessageAfterHeader(std::string_view a, std::string_view b);

} // namespace quillory
