#include "cli/DemoPractice.h"

#include "cli/DemoRandom.h"
#include "cli/MedisoftSchema.h"
#include "core/Error.h"
#include "platform/ads/AdtWriter.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <unordered_map>

namespace quillory::cli {

namespace {

using namespace schema;
using ads::FieldSpec;
using ads::FieldType;
using ads::Value;
using Strings = std::vector<std::string>;

// Values longer than their field are cut, as Medisoft's own screens cut them.
Value text(std::string_view s, std::size_t width) {
    return Value::ofText(std::string(s.substr(0, width)));
}

// A table being written: one row of values at a time, set by field position.
class DemoTable {
public:
    DemoTable(const std::string& path, std::vector<FieldSpec> fields)
        : widths_(widthsOf(fields)), writer_(path, std::move(fields)), row_(widths_.size()) {}

    void set(int field, Value value) { row_[field] = std::move(value); }
    void setText(int field, std::string_view s) { row_[field] = text(s, widths_[field]); }
    void append() {
        writer_.append(row_);
        std::fill(row_.begin(), row_.end(), Value::null());
        ++rows_;
    }
    long long finish() {
        writer_.finish();
        return rows_;
    }

private:
    static std::vector<std::size_t> widthsOf(const std::vector<FieldSpec>& fields) {
        std::vector<std::size_t> widths;
        for (const FieldSpec& f : fields)
            widths.push_back(f.length);
        return widths;
    }
    std::vector<std::size_t> widths_;
    ads::AdtWriter writer_;
    std::vector<Value> row_;
    long long rows_ = 0;
};

// The shapes of real data, HL7 delimiters and Windows-1252 bytes (\xC9 = E acute) included.
const Strings lastNames{"SMITH",
                        "JOHNSON",
                        "WILLIAMS",
                        "BROWN",
                        "JONES",
                        "GARCIA",
                        "MILLER",
                        "DAVIS",
                        "RODRIGUEZ",
                        "MARTINEZ",
                        "O'BRIEN",
                        "NGUYEN",
                        "M\xDCLLER",
                        "PE\xD1"
                        "A",
                        "SMITH-JONES",
                        "VAN DYKE",
                        "LEE",
                        "WALKER",
                        "HALL",
                        "ALLEN",
                        "YOUNG",
                        "KING",
                        "WRIGHT",
                        "SCOTT"};
const Strings firstNames{"JANE",
                         "JOHN",
                         "MARY",
                         "JAMES",
                         "PATRICIA",
                         "ROBERT",
                         "LINDA",
                         "MICHAEL",
                         "BARBARA",
                         "WILLIAM",
                         "ELIZABETH",
                         "DAVID",
                         "JOS\xC9",
                         "REN\xC9"
                         "E",
                         "ZO\xCB",
                         "ANN MARIE",
                         "CHRIS",
                         "SAM"};
const Strings streets{"12 ELM ST",   "400 MAIN ST",  "PO BOX 99",        "77 OAK AVE",
                      "1 RIVER RD",  "9 PINE CT",    "12 ELM ST | REAR", "5 A^B LANE",
                      "SUITE 5 & 6", "BLDG ~3 WEST", "UNIT \\2",         "18 CAF\xC9 PLAZA"};
const Strings secondLines{"", "", "", "APT 4", "SUITE 200", "FLOOR 2", "APT 7^B"};
const Strings cities{"DAYTON", "COLUMBUS", "CINCINNATI", "TOLEDO", "AKRON", "SPRINGFIELD"};
const Strings states{"OH", "OH", "OH", "KY", "IN", "MI", "P"};
const Strings zips{"45402", "45402-1234", "454021234", "4540", "45402-12", "", "43215"};
const Strings phones{"(937)555-0142", "555-0100", "9375550142", "937-555-0190",
                     "N/A",           "55501",    "",           "(513) 555-0101"};
const Strings ssns{"111-22-3333", "444-55-6666", "", "123456789", "987-65-4321"};
const Strings sexes{"Male", "Female", "Male", "Female", "M", ""};
const Strings employment{"Full time", "Part time", "Retired", "Unknown", "full time", ""};
const Strings marital{"Married", "Single",  "Unknown", "Legally separated", "Divorced", "Widowed",
                      "married", "unknown", ""};
const Strings relationships{"Self", "Spouse", "Child", "Other", "", "self"};
const Strings carrierTypes{"Other",
                           "Medicare",
                           "MEDICARE",
                           "medicare",
                           "Medicaid",
                           "Champus",
                           "ChampsVA",
                           "Group",
                           "FECA",
                           "Blue Cross/Shield",
                           "Worker's Compensation",
                           "Worker's Comp",
                           "HMO",
                           "PPO",
                           "",
                           "Commercial"};
const Strings carrierNames{"BLUE CROSS OF OHIO",
                           "MEDICARE PART B",
                           "OHIO MEDICAID",
                           "TRICARE | CHAMPUS",
                           "AETNA^HEALTH",
                           "UNITED HEALTH & LIFE",
                           "HUMANA ~ GOLD",
                           "STATE WORKERS COMPENSATION BUREAU OF THE STATE OF OHIO",
                           "ASSURANCE M\xC9"
                           "DICALE"};

std::string numbered(const char* prefix, std::uint64_t number) {
    std::string text(prefix);
    text.append(std::to_string(number));
    return text;
}

std::string employerCode(long long i) {
    char code[8];
    std::snprintf(code, sizeof code, "E%04lld", i % 10000);
    return code;
}

std::string carrierCode(long long i) {
    char code[8];
    std::snprintf(code, sizeof code, "C%04lld", i % 10000);
    return code;
}

// A random moment from 2008 to 2026, to the millisecond.
LocalDateTime randomTimestamp(DemoRandom& random) {
    return {random.between(2008, 2026),
            random.between(1, 12),
            random.between(1, 28),
            random.between(0, 23),
            random.between(0, 59),
            random.between(0, 59),
            random.percent(50) ? 0 : random.between(0, 999)};
}

Value randomDate(DemoRandom& random, int fromYear, int toYear) {
    const int year = random.between(fromYear, toYear);
    const int month = random.between(1, 12);
    return Value::ofDate(year, month, random.between(1, 28));
}

void writePlaceholder(const std::string& path, const char* what) {
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly) || file.write(what) < 0)
        throw Error("Cannot write " + path);
}

} // namespace

namespace {

// Chart numbers as Medisoft makes them: three letters of the last name, two of the first name,
// three digits.
class ChartNumbers {
public:
    std::string next(const std::string& last, const std::string& first) {
        std::string prefix = letters(last, 3) + letters(first, 2);
        int& used = used_[prefix];
        char chart[16];
        if (used < 1000)
            std::snprintf(chart, sizeof chart, "%s%03d", prefix.c_str(), used++);
        else
            std::snprintf(chart, sizeof chart, "Z%07lld", overflow_++);
        return chart;
    }

private:
    static std::string letters(const std::string& name, std::size_t count) {
        std::string out;
        for (char c : name) {
            if (c >= 'A' && c <= 'Z' && out.size() < count)
                out.push_back(c);
        }
        out.resize(count, 'X');
        return out;
    }
    std::unordered_map<std::string, int> used_;
    long long overflow_ = 0;
};

struct Practice {
    DemoRandom random;
    Strings charts;
    long long employers = 0, carriers = 0;
};

void addAddress(DemoTable& t, DemoRandom& r, int street1, bool withSecondLine = true) {
    t.setText(street1, r.pick(streets));
    t.setText(street1 + 1, withSecondLine ? r.pick(secondLines) : "");
    t.setText(street1 + 2, r.pick(cities));
    t.setText(street1 + 3, r.pick(states));
    t.setText(street1 + 4, r.pick(zips));
}

void writeEmployers(const std::string& path, Practice& p) {
    DemoTable t(path, addressFields());
    auto row = [&t](const char* code, const char* name, const char* street, const char* zip,
                    const char* phone) {
        t.setText(A_Code, code);
        t.setText(A_Name, name);
        t.setText(A_Street1, street);
        t.setText(A_Street2, "");
        t.setText(A_City, "DAYTON");
        t.setText(A_State, "OH");
        t.setText(A_Zip, zip);
        t.setText(A_Phone, phone);
        t.append();
    };
    row("WID01", "WIDGET CORP", "400 MAIN ST", "45401", "937-555-0190");
    for (long long i = 1; i < p.employers; ++i) {
        t.setText(A_Code, employerCode(i));
        t.setText(A_Name, p.random.pick(lastNames) + (i % 7 == 0 ? " & SONS" : " INDUSTRIES"));
        addAddress(t, p.random, A_Street1);
        t.setText(A_Phone, p.random.pick(phones));
        t.append();
    }
    t.finish();
}

void writeCarriers(const std::string& path, Practice& p) {
    DemoTable t(path, carrierFields());
    t.setText(I_Code, "BC01");
    t.setText(I_Name, "BLUE CROSS OF OHIO");
    t.setText(I_Street1, "PO BOX 99");
    t.setText(I_Street2, "");
    t.setText(I_City, "COLUMBUS");
    t.setText(I_State, "OH");
    t.setText(I_Zip, "432150099");
    t.setText(I_Phone, "800-555-0111");
    t.setText(I_Extension, "22");
    t.setText(I_Fax, "");
    t.setText(I_Type, "Blue Cross/Shield");
    t.append();
    for (long long i = 1; i < p.carriers; ++i) {
        t.setText(I_Code, carrierCode(i));
        // Every type in turn first, so that even a small practice has each of them.
        const std::string& type = carrierTypes[(i - 1) % carrierTypes.size()];
        t.setText(I_Name, p.random.pick(carrierNames));
        addAddress(t, p.random, I_Street1);
        t.setText(I_Phone, p.random.pick(phones));
        t.setText(I_Extension, p.random.pick(Strings{"", "22", "x 42", "1234"}));
        t.setText(I_Fax, p.random.pick(phones));
        t.setText(I_Type, type);
        t.append();
    }
    t.finish();
}

void setPatient(DemoTable& t, const std::string& chart, const char* last, const char* first,
                const char* middle, Value birth, Value sex) {
    t.setText(P_Chart, chart);
    t.setText(P_Last, last);
    t.setText(P_First, first);
    t.setText(P_Middle, middle);
    t.set(P_Birth, std::move(birth));
    t.set(P_Sex, std::move(sex));
    t.setText(P_Type, "Patient");
    t.set(P_Modified, Value::ofTimestamp({2011, 10, 18, 15, 0, 0, 0}));
}

void setSmithsHome(DemoTable& t, const char* zip, const char* phone1) {
    t.setText(P_Street1, "12 ELM ST");
    t.setText(P_Street2, "APT 4");
    t.setText(P_City, "DAYTON");
    t.setText(P_State, "OH");
    t.setText(P_Zip, zip);
    t.setText(P_Phone1, phone1);
}

// The patients of the worked examples come first, so that the demo shows them.
void writeKnownPatients(DemoTable& t, Practice& p) {
    setPatient(t, "SMIJA000", "SMITH", "JANE", "A", Value::ofDate(1980, 2, 15),
               Value::ofText("Female"));
    setSmithsHome(t, "45402", "(937)555-0142");
    t.setText(P_Phone2, "555-0100");
    t.setText(P_Ssn, "111-22-3333");
    t.append();
    setPatient(t, "SMIJO000", "SMITH", "JOHN", "", Value::ofDate(1978, 5, 20),
               Value::ofText("Male"));
    setSmithsHome(t, "45402-1234", "9375550142");
    t.setText(P_Ssn, "444-55-6666");
    t.setText(P_Employment, "Full time");
    t.setText(P_Employer, "WID01");
    t.append();
    setPatient(t, "DOEJO000", "DOE", "JOHN", "", Value::ofDate(1950, 1, 1), Value::ofText("Male"));
    t.append();
    p.charts = {"SMIJA000", "SMIJO000", "DOEJO000"};
}

void writeRandomPatient(DemoTable& t, Practice& p, ChartNumbers& numbers) {
    DemoRandom& r = p.random;
    const std::string& last = r.pick(lastNames);
    const std::string& first = r.pick(firstNames);
    const std::string chart = numbers.next(last, first);
    t.setText(P_Chart, chart);
    t.setText(P_Last, last);
    t.setText(P_First, first);
    if (r.percent(60))
        t.setText(P_Middle, std::string(1, char('A' + r.below(26))));
    else
        t.setText(P_Middle, "");
    addAddress(t, r, P_Street1);
    t.setText(P_Phone1, r.pick(phones));
    t.setText(P_Phone2, r.percent(40) ? r.pick(phones) : "");
    t.setText(P_Ssn, r.pick(ssns));
    if (!r.percent(4)) // otherwise null
        t.setText(P_Sex, r.pick(sexes));
    if (!r.percent(2))
        t.set(P_Birth, randomDate(r, 1925, 2024));
    t.setText(P_Employment, r.pick(employment));
    if (r.percent(70))
        t.setText(P_Employer, r.percent(95) ? employerCode(r.below(p.employers)) : "NONE9");
    t.setText(P_Type, r.percent(92) ? "Patient" : r.pick(Strings{"Guarantor", "Insured", "Other"}));
    t.set(P_Modified, Value::ofTimestamp(randomTimestamp(r)));
    t.append();
    p.charts.push_back(chart);
}

long long writePatients(const std::string& path, Practice& p, long long count) {
    DemoTable t(path, patientFields());
    ChartNumbers numbers;
    for (const char* known : {"SMIJA", "SMIJO", "DOEJO"})
        numbers.next(std::string(known, 3), std::string(known + 3, 2));
    writeKnownPatients(t, p);
    while (static_cast<long long>(p.charts.size()) < count)
        writeRandomPatient(t, p, numbers);
    return t.finish();
}

void writeKnownCases(DemoTable& t) {
    t.set(C_Number, Value::ofInteger(1));
    t.setText(C_Chart, "SMIJA000");
    t.setText(C_Description, "Annual physical");
    t.setText(C_Guarantor, "SMIJO000");
    t.setText(C_Marital, "Married");
    t.set(C_Modified, Value::ofTimestamp({2011, 10, 18, 15, 0, 0, 0}));
    t.setText(slotField(0, S_Carrier), "BC01");
    t.setText(slotField(0, S_Insured), "SMIJO000");
    t.setText(slotField(0, S_Relationship), "Spouse");
    t.setText(slotField(0, S_Group), "GRP77");
    t.setText(slotField(0, S_Policy), "XYZ123456");
    t.set(slotField(0, S_Start), Value::ofDate(2010, 1, 1));
    t.append();
}

// Slot 2 is sometimes filled while slot 1 is empty; keys sometimes lead nowhere.
void fillSlot(DemoTable& t, Practice& p, int slot, const std::string& chart,
              const std::string& guarantor) {
    DemoRandom& r = p.random;
    t.setText(slotField(slot, S_Carrier),
              r.percent(97) ? carrierCode(r.below(p.carriers)) : "GONE1");
    const int who = static_cast<int>(r.below(10));
    t.setText(slotField(slot, S_Insured),
              who < 6 ? chart : (who < 9 ? guarantor : r.pick(p.charts)));
    t.setText(slotField(slot, S_Relationship), r.pick(relationships));
    t.setText(slotField(slot, S_Group), r.percent(80) ? numbered("GRP", r.below(900)) : "");
    const bool odd = r.percent(5);
    t.setText(slotField(slot, S_Policy),
              odd ? numbered("POL|", r.below(99999)) : numbered("P", r.next() % 1000000000));
    if (r.percent(85))
        t.set(slotField(slot, S_Start), randomDate(r, 2000, 2025));
    if (r.percent(20))
        t.set(slotField(slot, S_End), randomDate(r, 2010, 2030));
}

long long writeCases(const std::string& path, Practice& p) {
    DemoTable t(path, caseFields());
    writeKnownCases(t);
    long long number = 2;
    DemoRandom& r = p.random;
    for (std::size_t i = 3; i < p.charts.size(); ++i) {
        int count = static_cast<int>(r.below(10)) / 3; // 0 to 3
        if (r.percent(10))
            ++count;
        for (int c = 0; c < count; ++c) {
            const std::string& chart = p.charts[i];
            const int g = static_cast<int>(r.below(20));
            const std::string guarantor =
                g < 12 ? chart : (g < 18 ? p.charts[r.below(i)] : (g < 19 ? "" : "NOBODY00"));
            t.set(C_Number, Value::ofInteger(number++));
            t.setText(C_Chart, chart);
            t.setText(C_Description, r.pick(Strings{"Annual physical", "Flu", "Injury", ""}));
            t.setText(C_Guarantor, guarantor);
            t.setText(C_Marital, r.pick(marital));
            // Some cases share their time stamp, so that ties in the case order occur.
            t.set(C_Modified,
                  Value::ofTimestamp(c > 0 && r.percent(10) ? LocalDateTime{2015, 6, 1, 12, 0, 0, 0}
                                                            : randomTimestamp(r)));
            const bool slot1 = r.percent(85);
            if (slot1)
                fillSlot(t, p, 0, chart, guarantor);
            if (r.percent(slot1 ? 30 : 25))
                fillSlot(t, p, 1, chart, guarantor);
            if (r.percent(8))
                fillSlot(t, p, 2, chart, guarantor);
            t.append();
        }
    }
    return t.finish();
}

void writeSmallTables(const std::string& root, const std::string& practice) {
    {
        DemoTable t(root + "/rgnpds.adt",
                    {chars("Product", 30), chars("Version", 20), timestamp("Date Modified")});
        for (auto [version, year] : {std::pair{"14.0.0.101", 2009}, {"15.0.0.211", 2010}}) {
            t.setText(0, "Medisoft");
            t.setText(1, version);
            t.set(2, Value::ofTimestamp({year, 3, 1, 9, 0, 0, 0}));
            t.append();
        }
        t.finish();
    }
    {
        DemoTable t(root + "/rginf.adt", {chars("Registered To", 40), chars("Serial Number", 20)});
        t.setText(0, "Quillory Demo Clinic");
        t.setText(1, "DEMO-0001");
        t.append();
        t.finish();
    }
    {
        DemoTable t(root + "/mwdblist.adt", {chars("DataSet Name", 40), chars("Data Path", 250)});
        t.setText(0, "Quillory Demo Clinic");
        t.setText(1, practice);
        t.append();
        t.finish();
    }
    {
        DemoTable t(practice + "/mwopt.adt",
                    {chars("Data Version Number", 10), chars("Practice Name", 40)});
        t.setText(0, "15.00");
        t.setText(1, "Quillory Demo Clinic");
        t.append();
        t.finish();
    }
    for (const char* name : {"/mwphy.adt", "/mwrph.adt"}) {
        DemoTable t(practice + name,
                    {chars("Code", 5), chars("Last Name", 25), chars("First Name", 15)});
        t.setText(0, "1");
        t.setText(1, "HOUSE");
        t.setText(2, "GREGORY");
        t.append();
        t.finish();
    }
    DemoTable t(practice + "/mwpra.adt", {chars("Practice Name", 40), chars("Street 1", 30),
                                          chars("City", 20), chars("State", 2)});
    t.setText(0, "Quillory Demo Clinic");
    t.setText(1, "1 HOSPITAL DR");
    t.setText(2, "DAYTON");
    t.setText(3, "OH");
    t.append();
    t.finish();
}

std::string makeFolder(const std::string& path) {
    QDir dir;
    const QString qpath = QFile::decodeName(path.c_str());
    if (!dir.mkpath(qpath))
        throw Error("Cannot create the folder " + path);
    return QFile::encodeName(QDir(qpath).absolutePath()).toStdString();
}

} // namespace

DemoSummary createDemoPractice(const DemoOptions& options) {
    if (options.patients < 3)
        throw Error("A demo practice needs at least 3 patients.");
    const std::string root = makeFolder(options.rootDir);
    const std::string practice = makeFolder(root + "/DEMO");
    writePlaceholder(root + "/SharedData.add", "Quillory demo data dictionary\n");
    writePlaceholder(practice + "/mwddf.add", "Quillory demo data dictionary\n");
    writeSmallTables(root, practice);

    Practice p{DemoRandom(options.seed), {}, 0, 0};
    p.employers = 10 + options.patients / 25;
    p.carriers = 20 + options.patients / 200;
    DemoSummary summary;
    summary.practiceDir = practice;
    summary.employers = p.employers;
    summary.carriers = p.carriers;
    writeEmployers(practice + "/mwadd.adt", p);
    writeCarriers(practice + "/mwins.adt", p);
    summary.patients = writePatients(practice + "/mwpat.adt", p, options.patients);
    summary.cases = writeCases(practice + "/mwcas.adt", p);
    return summary;
}

} // namespace quillory::cli
