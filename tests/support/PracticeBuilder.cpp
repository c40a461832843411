#include "support/PracticeBuilder.h"

#include "cli/MedisoftSchema.h"
#include "platform/ads/AdtWriter.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace quillory::test {

namespace {

void writeTable(const std::string& path, const std::vector<ads::FieldSpec>& fields,
                const std::vector<PracticeBuilder::Row>& rows) {
    ads::AdtWriter writer(path, fields);
    for (const PracticeBuilder::Row& row : rows) {
        std::vector<ads::Value> values(fields.size());
        for (const auto& [name, value] : row) {
            const int index = writer.fieldIndex(name);
            if (index < 0)
                throw std::runtime_error("test practice has no field " + name);
            values[index] = value;
        }
        writer.append(values);
    }
    writer.finish();
}

void writeFile(const std::string& path, const std::string& content) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(content.data(), qint64(content.size())) != qint64(content.size()))
        throw std::runtime_error("cannot write " + path);
}

} // namespace

PracticeBuilder::PracticeBuilder() {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    QDir(dir_.path()).mkdir("practice");
}

void PracticeBuilder::clearRows() {
    patients_.clear();
    cases_.clear();
    carriers_.clear();
    employers_.clear();
}

PracticeBuilder& PracticeBuilder::patient(Row row) {
    patients_.push_back(std::move(row));
    return *this;
}
PracticeBuilder& PracticeBuilder::caseRow(Row row) {
    cases_.push_back(std::move(row));
    return *this;
}
PracticeBuilder& PracticeBuilder::carrier(Row row) {
    carriers_.push_back(std::move(row));
    return *this;
}
PracticeBuilder& PracticeBuilder::employer(Row row) {
    employers_.push_back(std::move(row));
    return *this;
}

std::string PracticeBuilder::root() const {
    return dir_.path().toStdString();
}
std::string PracticeBuilder::folder() const {
    return root() + "/practice";
}

std::string PracticeBuilder::write(const std::string& extraSettings) {
    using namespace cli::schema;
    const std::string f = folder();
    writeTable(f + "/mwpat.adt", patientFields(), patients_);
    writeTable(f + "/mwcas.adt", caseFields(), cases_);
    writeTable(f + "/mwins.adt", carrierFields(), carriers_);
    writeTable(f + "/mwadd.adt", addressFields(), employers_);
    for (const char* name : {"/mwphy.adt", "/mwrph.adt", "/mwpra.adt"})
        writeTable(f + name, {chars("Code", 5)}, {});
    writeFile(f + "/mwddf.add", "test dictionary\n");
    const std::string settings = root() + "/quillory.NFO";
    writeFile(settings, "[Options]\nDataPath=" + f + "\n" + extraSettings);
    return settings;
}

ads::Value text(const char* s) {
    return ads::Value::ofText(s);
}
ads::Value date(int year, int month, int day) {
    return ads::Value::ofDate(year, month, day);
}
ads::Value stamp(int year, int month, int day, int hour, int minute, int second) {
    return ads::Value::ofTimestamp({year, month, day, hour, minute, second, 0});
}

void addWorkedExample(PracticeBuilder& practice) {
    practice.patient({{"Chart Number", text("SMIJA000")},
                      {"Last Name", text("SMITH")},
                      {"First Name", text("JANE")},
                      {"Middle Initial", text("A")},
                      {"Date of Birth", date(1980, 2, 15)},
                      {"Sex", text("Female")},
                      {"Street 1", text("12 ELM ST")},
                      {"Street 2", text("APT 4")},
                      {"City", text("DAYTON")},
                      {"State", text("OH")},
                      {"Zip Code", text("45402")},
                      {"Phone 1", text("(937)555-0142")},
                      {"Phone 2", text("555-0100")},
                      {"Social Security Number", text("111-22-3333")},
                      {"Patient Type", text("Patient")}});
    practice.patient({{"Chart Number", text("SMIJO000")},
                      {"Last Name", text("SMITH")},
                      {"First Name", text("JOHN")},
                      {"Date of Birth", date(1978, 5, 20)},
                      {"Sex", text("Male")},
                      {"Street 1", text("12 ELM ST")},
                      {"Street 2", text("APT 4")},
                      {"City", text("DAYTON")},
                      {"State", text("OH")},
                      {"Zip Code", text("45402-1234")},
                      {"Phone 1", text("9375550142")},
                      {"Social Security Number", text("444-55-6666")},
                      {"Employment Status", text("Full time")},
                      {"Employer", text("WID01")},
                      {"Patient Type", text("Patient")}});
    practice.patient({{"Chart Number", text("DOEJO000")},
                      {"Last Name", text("DOE")},
                      {"First Name", text("JOHN")},
                      {"Date of Birth", date(1950, 1, 1)},
                      {"Sex", text("Male")},
                      {"Patient Type", text("Patient")}});
    practice.caseRow({{"Case Number", ads::Value::ofInteger(1)},
                      {"Chart Number", text("SMIJA000")},
                      {"Marital Status", text("Married")},
                      {"Guarantor", text("SMIJO000")},
                      {"Insurance Carrier #1", text("BC01")},
                      {"Group Number #1", text("GRP77")},
                      {"Policy Number #1", text("XYZ123456")},
                      {"Insured Relationship #1", text("Spouse")},
                      {"Insured #1", text("SMIJO000")},
                      {"Policy #1 Start Date", date(2010, 1, 1)}});
    practice.employer({{"Code", text("WID01")},
                       {"Name", text("WIDGET CORP")},
                       {"Street 1", text("400 MAIN ST")},
                       {"City", text("DAYTON")},
                       {"State", text("OH")},
                       {"Zip Code", text("45401")},
                       {"Phone", text("937-555-0190")}});
    practice.carrier({{"Code", text("BC01")},
                      {"Name", text("BLUE CROSS OF OHIO")},
                      {"Street 1", text("PO BOX 99")},
                      {"City", text("COLUMBUS")},
                      {"State", text("OH")},
                      {"Zip Code", text("432150099")},
                      {"Phone", text("800-555-0111")},
                      {"Extension", text("22")},
                      {"Type", text("Blue Cross/Shield")}});
}

} // namespace quillory::test
