#include "practice/TfrmDataTransfer.h"

#include "support/CollectingErrorReport.h"
#include "support/PracticeBuilder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::PracticeBuilder;
using test::text;

const LocalDateTime builtAt{2011, 10, 18, 15, 30, 45, 123};

const std::string msh =
    "MSH|^~\\&|QZM|PMS|HL7Service|ROR Irar|201110181530||ADT^A28|20111018153045123|P|2.3.1|\r";

class DemographicsBuilder : public ::testing::Test {
protected:
    // Builds chart on a fresh practice object; returns the result and leaves text in out.
    bool build(const std::string& settings, std::string chart, std::string& out) {
        TfrmDataTransfer practice(settings, errors, clock);
        out = std::move(chart);
        return practice.BuildDemographicsMessage(out);
    }
    std::string message(const std::string& settings, const std::string& chart) {
        std::string out;
        EXPECT_TRUE(build(settings, chart, out)) << out;
        return out;
    }

    PracticeBuilder practice;
    test::CollectingErrorReport errors;
    FixedClock clock{builtAt};
};

TEST_F(DemographicsBuilder, WorkedExampleComesOutByteForByte) {
    test::addWorkedExample(practice);
    const std::string settings = practice.write();
    EXPECT_EQ(message(settings, "SMIJA000"),
              msh +
                  "PID|1||SMIJA000^^^^PATACCT^OFFICE||SMITH^JANE^A||19800215|F|||12 ELM ST^APT "
                  "4^DAYTON^OH^45402||^PRN^PH^^^937^5550142|^WPN^PH^^^^5550100||M||SMIJA000|"
                  "111223333||||\r"
                  "GT1|||SMITH^JOHN^^^||12 ELM ST^APT 4^DAYTON^OH^45402-1234|^^^^^937^5550142|^^^^^"
                  "^|19780520|M|H|21|444556666||||WIDGET CORP|400 MAIN ST^^DAYTON^OH^45401|^^^^^"
                  "937^5550190|F||\r"
                  "IN1|1||BC01|BLUE CROSS OF OHIO|PO BOX 99^^COLUMBUS^OH^43215-0099||^^^^^800^"
                  "5550111^22|GRP77|||WIDGET CORP|20100101|||BCBS|SMITH^JOHN^|01|19780520|12 ELM "
                  "ST^APT 4^DAYTON^OH^45402-1234|||1|||||||||N|||||XYZ123456||||||F|M|400 MAIN "
                  "ST^^DAYTON^OH^45401\r");
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(DemographicsBuilder, PatientWithoutCaseHasEmptyGuarantorAndNoInsurance) {
    test::addWorkedExample(practice);
    const std::string settings = practice.write();
    EXPECT_EQ(message(settings, "DOEJO000"),
              msh +
                  "PID|1||DOEJO000^^^^PATACCT^OFFICE||DOE^JOHN^||19500101|M|||^^^^|||||||DOEJO000|"
                  "||||\r"
                  "GT1|||^^^^||^^^^|^^^^^^|^^^^^^||U|H|21||||||^^^^|^^^^^^|U||\r");
}

TEST_F(DemographicsBuilder, RequestInOtherLetterCaseFindsThePatientAndKeepsTheRequest) {
    test::addWorkedExample(practice);
    const std::string settings = practice.write();
    const std::string out = message(settings, "smija000");
    EXPECT_NE(out.find("PID|1||smija000^^^^PATACCT^OFFICE|"), std::string::npos);
    EXPECT_NE(out.find("|M||smija000|111223333|"), std::string::npos);
    EXPECT_NE(out.find("|H|21|"), std::string::npos);
}

TEST_F(DemographicsBuilder, FailuresComeBackAsText) {
    test::addWorkedExample(practice);
    const std::string settings = practice.write();
    std::string out;
    EXPECT_FALSE(build(settings, "NOBODY", out));
    EXPECT_EQ(out, "Chart Number \"NOBODY\" Not Found!");

    const std::string oddChart("A|\r\0\xFF", 5);
    EXPECT_FALSE(build(settings, oddChart, out));
    EXPECT_EQ(out, "Chart Number \"" + oddChart + "\" Not Found!");

    QFile::remove(QString::fromStdString(practice.folder() + "/mwpat.adt"));
    EXPECT_FALSE(build(settings, "SMIJA000", out));
    EXPECT_EQ(out, "The Practice is either missing files, or the data path for this practice is "
                   "not valid on the Practice Management System!");
}

TEST_F(DemographicsBuilder, DataPathWithTrailingSeparatorNamesTheSamePractice) {
    test::addWorkedExample(practice);
    practice.write();
    const std::string settings = practice.root() + "/slash.NFO";
    QFile file(QString::fromStdString(settings));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("[Options]\nDataPath=" + practice.folder() + "/\n").c_str());
    file.close();
    EXPECT_EQ(message(settings, "DOEJO000").substr(0, msh.size()), msh);
}

TEST_F(DemographicsBuilder, OpeningFailureIsReportedAndEveryBuildFails) {
    test::addWorkedExample(practice);
    const std::string settings = practice.write();
    QFile::remove(QString::fromStdString(practice.folder() + "/mwcas.adt"));
    std::string out;
    EXPECT_FALSE(build(settings, "SMIJA000", out));
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(out, errors.messages.front());
    EXPECT_NE(out.find("MWCAS"), std::string::npos) << out;
}

TEST_F(DemographicsBuilder, DamagedPatientTableFailsWithReadableText) {
    test::addWorkedExample(practice);
    const std::string settings = practice.write();
    QFile table(QString::fromStdString(practice.folder() + "/mwpat.adt"));
    ASSERT_TRUE(table.resize(table.size() - 7));
    std::string out;
    EXPECT_FALSE(build(settings, "SMIJA000", out));
    EXPECT_FALSE(out.empty());
    EXPECT_FALSE(errors.messages.empty());
}

TEST_F(DemographicsBuilder, SlotsAreIndependentAndDanglingCarriersStillGiveASegment) {
    practice.patient({{"Chart Number", text("P1")}, {"Patient Type", text("Patient")}});
    practice.caseRow({{"Case Number", ads::Value::ofInteger(1)},
                      {"Chart Number", text("P1")},
                      {"Insurance Carrier #2", text("GONE")},
                      {"Insured #2", text("P1")},
                      {"Insured Relationship #2", text("Self")}});
    const std::string out = message(practice.write(), "P1");
    const std::size_t in1 = out.find("IN1|");
    ASSERT_NE(in1, std::string::npos);
    EXPECT_EQ(out.find("IN1|", in1 + 1), std::string::npos);
    EXPECT_EQ(out.substr(in1, 22), "IN1|2||||^^^^||^^^^^^^");
    EXPECT_NE(out.find("|||Other|^^|18||^^^^|||2|||||||||N|"), std::string::npos) << out;
}

// The case used is the last one in case order; the order comes from CasePullBy.
TEST_F(DemographicsBuilder, CaseOrderFollowsCasePullBy) {
    practice.patient({{"Chart Number", text("P1")}, {"Patient Type", text("Patient")}});
    practice.caseRow({{"Case Number", ads::Value::ofInteger(9)},
                      {"Chart Number", text("P1")},
                      {"Marital Status", text("Single")},
                      {"Date Modified", test::stamp(2010, 1, 1)}});
    practice.caseRow({{"Case Number", ads::Value::ofInteger(3)},
                      {"Chart Number", text("P1")},
                      {"Marital Status", text("Widowed")},
                      {"Date Modified", test::stamp(2012, 1, 1)}});
    struct Setting {
        const char* line;
        const char* marital;
    };
    for (const Setting& s :
         {Setting{"CasePullBy=CaseByCaseNum\n", "|S||P1|"},
          Setting{"CasePullBy=CaseByDateMod\n", "|W||P1|"},
          Setting{"CasePullBy=casebycasenum\n", "|W||P1|"}, Setting{"", "|W||P1|"}}) {
        const std::string out = message(practice.write(s.line), "P1");
        EXPECT_NE(out.find(s.marital), std::string::npos) << s.line << out;
    }
}

TEST_F(DemographicsBuilder, StoredDelimitersAreEscapedAndChartNumbersKeptWhole) {
    practice.patient({{"Chart Number", text("A|B")},
                      {"Last Name", text("O^NEIL")},
                      {"First Name", text("J&J")},
                      {"Street 1", text("12 ELM ST | REAR")},
                      {"City", text("CAF\xC9~\\")},
                      {"Sex", text("|")},
                      {"Patient Type", text("Patient")}});
    const std::string out = message(practice.write(), "a|b");
    EXPECT_NE(out.find("PID|1||a\\F\\b^^^^PATACCT^OFFICE||O\\S\\NEIL^J\\T\\J^||"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("|\\F\\|||12 ELM ST \\F\\ REAR^^CAF\xC9\\R\\\\E\\^^|"), std::string::npos)
        << out;
}

} // namespace
} // namespace quillory
