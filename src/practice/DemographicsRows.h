#pragma once

#include "core/LocalDateTime.h"

#include <optional>
#include <string_view>

namespace quillory {

// The values one demographics message is made of, as views into the rows they were read from.
// A source without a row stays default: empty texts, no dates, "Sex" null.

struct AddressRow {
    std::string_view street1, street2, city, state, zipCode;
};

// A MWPAT row: the patient, the guarantor or an insured person.
struct PersonRow {
    bool found = false;
    std::string_view chartNumber, lastName, firstName, middleInitial;
    std::optional<LocalDateTime> dateOfBirth;
    bool sexIsNull = true;
    std::string_view sex;
    AddressRow address;
    std::string_view phone1, phone2, socialSecurityNumber, employmentStatus;
};

// A MWADD row: an employer.
struct EmployerRow {
    std::string_view name;
    AddressRow address;
    std::string_view phone;
};

// A MWINS row: an insurance carrier.
struct CarrierRow {
    std::string_view code, name;
    AddressRow address;
    std::string_view phone, extension, type;
};

// One insurance slot of the case used, with the rows its keys lead to.
struct InsuranceSlot {
    std::string_view carrierCode, insuredChart, relationship, groupNumber, policyNumber;
    std::optional<LocalDateTime> startDate, endDate;
    CarrierRow carrier;
    PersonRow insured;
    EmployerRow insuredEmployer;
};

struct DemographicsRows {
    std::string_view requestedChart; // the caller's text, not the stored one
    PersonRow patient;
    std::string_view maritalStatus; // of the case used
    PersonRow guarantor;
    EmployerRow guarantorEmployer;
    InsuranceSlot slots[3];
};

} // namespace quillory
