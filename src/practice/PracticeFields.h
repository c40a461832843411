#pragma once

#include "platform/ads/AdtTable.h"
#include "practice/DemographicsRows.h"

namespace quillory {

// Field positions of the Medisoft tables the message reads, resolved once per opened table.
// A missing field fails the opening with "Column not found: <name>".

struct AddressFields {
    int street1, street2, city, state, zipCode;
    explicit AddressFields(const ads::AdtTable& table);
    AddressRow read(const ads::Record& record) const;
};

struct PersonFields {
    int chartNumber, lastName, firstName, middleInitial, dateOfBirth, sex;
    AddressFields address;
    int phone1, phone2, socialSecurityNumber, employmentStatus, employer;
    explicit PersonFields(const ads::AdtTable& mwpat);
    PersonRow read(const ads::Record& record) const;
};

struct EmployerFields {
    int code, name;
    AddressFields address;
    int phone;
    explicit EmployerFields(const ads::AdtTable& mwadd);
    EmployerRow read(const ads::Record& record) const;
};

struct CarrierFields {
    int code, name;
    AddressFields address;
    int phone, extension, type;
    explicit CarrierFields(const ads::AdtTable& mwins);
    CarrierRow read(const ads::Record& record) const;
};

struct CaseFields {
    struct Slot {
        int carrier, insured, relationship, groupNumber, policyNumber, startDate, endDate;
    };
    int chartNumber, caseNumber, dateModified, maritalStatus, guarantor;
    Slot slots[3];
    explicit CaseFields(const ads::AdtTable& mwcas);
    // Fills the case's own values of slot n (keys and policy data, not the rows they lead to).
    void readSlot(const ads::Record& record, int n, InsuranceSlot& slot) const;
};

} // namespace quillory
