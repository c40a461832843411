#include "practice/TfrmDataTransfer.h"

#include "support/CollectingErrorReport.h"
#include "support/PracticeBuilder.h"

#include <QByteArray>
#include <QProcess>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::text;

// Every kind of byte that could break a field: the delimiters, the escape character, line
// breaks and Windows-1252 letters.
const char* const tricky[] = {"A|B",  "C^D",       "E&F",         "G~H",   "I\\J",    "K\rL",
                              "M\nN", "\xC9T\xE9", "\\F\\ a|^&~", "P^Q|R", "\\X0D\\", "Z&Y"};

std::vector<std::string> parseFields(const std::string& message,
                                     const std::vector<std::string>& paths) {
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    file.write(message.data(), qint64(message.size()));
    file.flush();
    QStringList args{QString(QUILLORY_TESTS_DIR) + "/practice/hl7_fields.py", file.fileName()};
    for (const std::string& path : paths)
        args << QString::fromStdString(path);
    QProcess python;
    python.start("/usr/bin/python3", args);
    EXPECT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    std::vector<std::string> values;
    for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            values.push_back(QByteArray::fromHex(line).toStdString());
    }
    return values;
}

TEST(Hl7RoundTrip, IndependentParserReadsEveryStoredValueBack) {
    test::PracticeBuilder practice;
    practice.patient({{"Chart Number", text("CH|^&~\\")},
                      {"Last Name", text(tricky[0])},
                      {"First Name", text(tricky[1])},
                      {"Middle Initial", text("&")},
                      {"Street 1", text(tricky[2])},
                      {"Street 2", text(tricky[3])},
                      {"City", text(tricky[4])},
                      {"State", text("^|")},
                      {"Sex", text("~")},
                      {"Employer", text("E|1")},
                      {"Patient Type", text("Patient")}});
    practice.caseRow({{"Chart Number", text("CH|^&~\\")},
                      {"Guarantor", text("CH|^&~\\")},
                      {"Insurance Carrier #1", text("C^1")},
                      {"Insured #1", text("CH|^&~\\")},
                      {"Group Number #1", text(tricky[5])},
                      {"Policy Number #1", text(tricky[6])}});
    practice.employer(
        {{"Code", text("E|1")}, {"Name", text(tricky[7])}, {"Street 1", text(tricky[8])}});
    practice.carrier({{"Code", text("C^1")},
                      {"Name", text(tricky[9])},
                      {"Street 1", text(tricky[10])},
                      {"Extension", text(tricky[11])}});
    test::CollectingErrorReport errors;
    TfrmDataTransfer builder(practice.write(), errors);
    std::string message = "ch|^&~\\";
    ASSERT_TRUE(builder.BuildDemographicsMessage(message)) << message;

    const std::vector<std::pair<std::string, std::string>> expected{
        {"PID.3.1", "ch|^&~\\"},  {"PID.5.1", tricky[0]},  {"PID.5.2", tricky[1]},
        {"PID.5.3", "&"},         {"PID.8.1", "~"},        {"PID.11.1", tricky[2]},
        {"PID.11.2", tricky[3]},  {"PID.11.3", tricky[4]}, {"PID.11.4", "^|"},
        {"PID.18.1", "ch|^&~\\"}, {"GT1.3.1", tricky[0]},  {"GT1.9.1", "~"},
        {"GT1.11.1", "18"},       {"GT1.16.1", tricky[7]}, {"GT1.17.1", tricky[8]},
        {"IN1.3.1", "C^1"},       {"IN1.4.1", tricky[9]},  {"IN1.5.1", tricky[10]},
        {"IN1.7.8", tricky[11]},  {"IN1.8.1", tricky[5]},  {"IN1.11.1", tricky[7]},
        {"IN1.16.2", tricky[1]},  {"IN1.36.1", tricky[6]}, {"IN1.43.1", "~"},
        {"IN1.44.1", tricky[8]},
    };
    std::vector<std::string> paths;
    for (const auto& [path, value] : expected)
        paths.push_back(path);
    const std::vector<std::string> parsed = parseFields(message, paths);
    ASSERT_EQ(parsed.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(parsed[i], expected[i].second) << expected[i].first;
}

} // namespace
} // namespace quillory
