#pragma once

#include <string_view>

namespace quillory::codes {

// Mappings from Medisoft's stored words to the short codes of the demographics message. Values
// are compared whole and exactly (letter case counts) unless a function says otherwise; none of
// them fails. Results are views of the input or of static texts.

// PID-16 from the case's "Marital Status".
std::string_view maritalStatus(std::string_view stored);
// PID-8 and GT1-9: "U" when "Sex" is null, else its first character (empty stays empty).
std::string_view sexOrUnknownWhenNull(bool isNull, std::string_view stored);
// IN1-43: "U" when "Sex" is null or empty, else its first character.
std::string_view sexOrUnknownWhenEmpty(std::string_view stored);
// GT1-19 and IN1-42 from "Employment Status".
std::string_view employmentStatus(std::string_view stored);
// GT1-11: "18" when the guarantor is the patient (chart numbers as stored), else "21".
std::string_view guarantorRelationship(bool guarantorFound, std::string_view guarantorChart,
                                       std::string_view patientChart);
// IN1-17 from the slot's "Insured Relationship #n".
std::string_view insuredRelationship(std::string_view stored);
// IN1-15 from the carrier's "Type", compared upper-cased.
std::string_view planType(std::string_view carrierType);
// IN1-31 from the carrier's "Type", compared upper-cased.
std::string_view workersCompensationFlag(std::string_view carrierType);

} // namespace quillory::codes
