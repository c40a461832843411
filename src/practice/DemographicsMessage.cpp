#include "practice/DemographicsMessage.h"

#include "practice/CodeTables.h"
#include "practice/FieldFormats.h"
#include "practice/Hl7Escape.h"

#include <cstdio>

namespace quillory {

namespace {

// Small writer so that each segment reads like its field list.
class Segment {
public:
    explicit Segment(std::string& out) : out_(out) {}
    Segment& fixed(std::string_view text) {
        out_.append(text);
        return *this;
    }
    Segment& value(std::string_view stored) {
        appendHl7Escaped(out_, stored);
        return *this;
    }
    Segment& date(const std::optional<LocalDateTime>& date) {
        formats::appendDate(out_, date);
        return *this;
    }
    Segment& digits(std::string_view stored) {
        formats::appendDigits(out_, stored);
        return *this;
    }
    Segment& phone(std::string_view stored) {
        formats::appendPhone(out_, stored);
        return *this;
    }
    Segment& carrierPhone(std::string_view stored) {
        formats::appendCarrierPhone(out_, stored);
        return *this;
    }
    Segment& name(const PersonRow& person) {
        return value(person.lastName)
            .fixed("^")
            .value(person.firstName)
            .fixed("^")
            .value(person.middleInitial);
    }
    Segment& address(const AddressRow& a) {
        value(a.street1).fixed("^").value(a.street2).fixed("^").value(a.city).fixed("^");
        value(a.state).fixed("^");
        formats::appendZip(out_, a.zipCode);
        return *this;
    }
    void end() { out_.push_back('\r'); }

private:
    std::string& out_;
};

std::string timeStamp(const LocalDateTime& t, bool withSeconds) {
    char buffer[32];
    if (withSeconds)
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d%02d%03d", t.year, t.month, t.day,
                      t.hour, t.minute, t.second, t.msec);
    else
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                      t.minute);
    return buffer;
}

void appendMsh(std::string& out, const LocalDateTime& now) {
    Segment(out)
        .fixed("MSH|^~\\&|QZM|PMS|HL7Service|ROR Irar|")
        .fixed(timeStamp(now, false))
        .fixed("||ADT^A28|")
        .fixed(timeStamp(now, true))
        .fixed("|P|2.3.1|")
        .end();
}

void appendPid(std::string& out, const DemographicsRows& rows) {
    const PersonRow& p = rows.patient;
    Segment s(out);
    s.fixed("PID|1||").value(rows.requestedChart).fixed("^^^^PATACCT^OFFICE||").name(p);
    s.fixed("||").date(p.dateOfBirth).fixed("|");
    s.value(codes::sexOrUnknownWhenNull(p.sexIsNull, p.sex)).fixed("|||").address(p.address);
    s.fixed("||");
    if (!p.phone1.empty())
        s.fixed("^PRN^PH^^^").phone(p.phone1);
    s.fixed("|");
    if (!p.phone2.empty())
        s.fixed("^WPN^PH^^^").phone(p.phone2);
    s.fixed("||").value(codes::maritalStatus(rows.maritalStatus)).fixed("||");
    s.value(rows.requestedChart).fixed("|").digits(p.socialSecurityNumber).fixed("||||").end();
}

void appendGt1(std::string& out, const DemographicsRows& rows) {
    const PersonRow& g = rows.guarantor;
    const EmployerRow& e = rows.guarantorEmployer;
    Segment s(out);
    s.fixed("GT1|||").name(g).fixed("^^||").address(g.address);
    s.fixed("|^^^^^").phone(g.phone1).fixed("|^^^^^").phone(g.phone2).fixed("|");
    s.date(g.dateOfBirth).fixed("|").value(codes::sexOrUnknownWhenNull(g.sexIsNull, g.sex));
    s.fixed("|H|")
        .fixed(codes::guarantorRelationship(g.found, g.chartNumber, rows.patient.chartNumber))
        .fixed("|");
    s.digits(g.socialSecurityNumber).fixed("||||").value(e.name).fixed("|").address(e.address);
    s.fixed("|^^^^^").phone(e.phone).fixed("|").fixed(codes::employmentStatus(g.employmentStatus));
    s.fixed("||").end();
}

void appendIn1(std::string& out, const InsuranceSlot& slot, char setId) {
    const std::string_view n(&setId, 1);
    const CarrierRow& c = slot.carrier;
    const PersonRow& insured = slot.insured;
    Segment s(out);
    s.fixed("IN1|").fixed(n).fixed("||").value(c.code).fixed("|").value(c.name).fixed("|");
    s.address(c.address).fixed("||^^^^^").carrierPhone(c.phone).value(c.extension).fixed("|");
    s.value(slot.groupNumber).fixed("|||").value(slot.insuredEmployer.name).fixed("|");
    s.date(slot.startDate).fixed("|").date(slot.endDate).fixed("||");
    s.fixed(codes::planType(c.type)).fixed("|").name(insured).fixed("|");
    s.fixed(codes::insuredRelationship(slot.relationship)).fixed("|");
    s.date(insured.dateOfBirth).fixed("|").address(insured.address).fixed("|||").fixed(n);
    s.fixed("|||||||||").fixed(codes::workersCompensationFlag(c.type)).fixed("|||||");
    s.value(slot.policyNumber)
        .fixed("||||||")
        .fixed(codes::employmentStatus(insured.employmentStatus));
    s.fixed("|").value(codes::sexOrUnknownWhenEmpty(insured.sex)).fixed("|");
    s.address(slot.insuredEmployer.address).end();
}

} // namespace

void appendDemographicsMessage(std::string& out, const DemographicsRows& rows,
                               const LocalDateTime& now) {
    appendMsh(out, now);
    appendPid(out, rows);
    appendGt1(out, rows);
    for (int n = 0; n < 3; ++n) {
        if (!rows.slots[n].carrierCode.empty())
            appendIn1(out, rows.slots[n], static_cast<char>('1' + n));
    }
}

} // namespace quillory
