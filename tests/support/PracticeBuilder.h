#pragma once

#include "platform/ads/AdtField.h"

#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

namespace quillory::test {

// A small Medisoft practice in a temporary folder, written through the project's table writer
// with Medisoft's field names, plus a settings file whose DataPath names it. Fields a row does
// not name are null.
class PracticeBuilder {
public:
    using Row = std::map<std::string, ads::Value>;

    PracticeBuilder();

    // Forgets the rows given so far; the next write() replaces the tables in the same folder.
    void clearRows();

    PracticeBuilder& patient(Row row);
    PracticeBuilder& caseRow(Row row);
    PracticeBuilder& carrier(Row row);
    PracticeBuilder& employer(Row row);

    // Writes every table, the data dictionary and the settings file; returns the settings path.
    // extraSettings are more "key=value" lines of section [Options].
    std::string write(const std::string& extraSettings = "");

    std::string folder() const; // the practice's data folder
    std::string root() const;   // the temporary folder that holds it and the settings file

private:
    QTemporaryDir dir_;
    std::vector<Row> patients_, cases_, carriers_, employers_;
};

ads::Value text(const char* s);
ads::Value date(int year, int month, int day);
ads::Value stamp(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// The rows of the worked example: patient SMIJA000 with guarantor and insured SMIJO000, employer
// WID01, carrier BC01; and DOEJO000 without any case.
void addWorkedExample(PracticeBuilder& practice);

} // namespace quillory::test
