#pragma once

#include "core/LocalDateTime.h"
#include "practice/DemographicsRows.h"

#include <string>

namespace quillory {

// Writes the ADT^A28 message (MSH, PID, GT1, one IN1 per filled carrier slot; every segment
// ended by CR) for rows built at time now. Every stored value is HL7-escaped.
void appendDemographicsMessage(std::string& out, const DemographicsRows& rows,
                               const LocalDateTime& now);

} // namespace quillory
