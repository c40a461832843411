#include "practice/PracticeFields.h"

#include <string>

namespace quillory {

AddressFields::AddressFields(const ads::AdtTable& t)
    : street1(t.requireField("Street 1")), street2(t.requireField("Street 2")),
      city(t.requireField("City")), state(t.requireField("State")),
      zipCode(t.requireField("Zip Code")) {}

AddressRow AddressFields::read(const ads::Record& r) const {
    return {r.chars(street1), r.chars(street2), r.chars(city), r.chars(state), r.chars(zipCode)};
}

PersonFields::PersonFields(const ads::AdtTable& t)
    : chartNumber(t.requireField("Chart Number")), lastName(t.requireField("Last Name")),
      firstName(t.requireField("First Name")), middleInitial(t.requireField("Middle Initial")),
      dateOfBirth(t.requireField("Date of Birth")), sex(t.requireField("Sex")), address(t),
      phone1(t.requireField("Phone 1")), phone2(t.requireField("Phone 2")),
      socialSecurityNumber(t.requireField("Social Security Number")),
      employmentStatus(t.requireField("Employment Status")), employer(t.requireField("Employer")) {}

PersonRow PersonFields::read(const ads::Record& r) const {
    PersonRow row;
    row.found = true;
    row.chartNumber = r.chars(chartNumber);
    row.lastName = r.chars(lastName);
    row.firstName = r.chars(firstName);
    row.middleInitial = r.chars(middleInitial);
    row.dateOfBirth = r.dateTime(dateOfBirth);
    row.sexIsNull = r.isNull(sex);
    row.sex = r.chars(sex);
    row.address = address.read(r);
    row.phone1 = r.chars(phone1);
    row.phone2 = r.chars(phone2);
    row.socialSecurityNumber = r.chars(socialSecurityNumber);
    row.employmentStatus = r.chars(employmentStatus);
    return row;
}

EmployerFields::EmployerFields(const ads::AdtTable& t)
    : code(t.requireField("Code")), name(t.requireField("Name")), address(t),
      phone(t.requireField("Phone")) {}

EmployerRow EmployerFields::read(const ads::Record& r) const {
    return {r.chars(name), address.read(r), r.chars(phone)};
}

CarrierFields::CarrierFields(const ads::AdtTable& t)
    : code(t.requireField("Code")), name(t.requireField("Name")), address(t),
      phone(t.requireField("Phone")), extension(t.requireField("Extension")),
      type(t.requireField("Type")) {}

CarrierRow CarrierFields::read(const ads::Record& r) const {
    return {r.chars(code),  r.chars(name),      address.read(r),
            r.chars(phone), r.chars(extension), r.chars(type)};
}

CaseFields::CaseFields(const ads::AdtTable& t)
    : chartNumber(t.requireField("Chart Number")), caseNumber(t.requireField("Case Number")),
      dateModified(t.requireField("Date Modified")),
      maritalStatus(t.requireField("Marital Status")), guarantor(t.requireField("Guarantor")) {
    for (int n = 0; n < 3; ++n) {
        const std::string number = std::to_string(n + 1);
        slots[n] = {t.requireField("Insurance Carrier #" + number),
                    t.requireField("Insured #" + number),
                    t.requireField("Insured Relationship #" + number),
                    t.requireField("Group Number #" + number),
                    t.requireField("Policy Number #" + number),
                    t.requireField("Policy #" + number + " Start Date"),
                    t.requireField("Policy #" + number + " End Date")};
    }
}

void CaseFields::readSlot(const ads::Record& r, int n, InsuranceSlot& slot) const {
    const Slot& f = slots[n];
    slot.carrierCode = r.chars(f.carrier);
    slot.insuredChart = r.chars(f.insured);
    slot.relationship = r.chars(f.relationship);
    slot.groupNumber = r.chars(f.groupNumber);
    slot.policyNumber = r.chars(f.policyNumber);
    slot.startDate = r.dateTime(f.startDate);
    slot.endDate = r.dateTime(f.endDate);
}

} // namespace quillory
