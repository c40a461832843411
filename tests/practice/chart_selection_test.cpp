#include "practice/TfrmDataTransfer.h"

#include "cli/MedisoftSchema.h"
#include "platform/ads/AdtWriter.h"

#include "support/CollectingErrorReport.h"
#include "support/PracticeBuilder.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

using Charts = std::vector<std::string>;
using test::stamp;
using test::text;

const LocalDateTime pullDate{2011, 10, 18, 15, 30, 45, 0};

void addPatient(test::PracticeBuilder& p, const char* chart, const char* type,
                ads::Value modified) {
    p.patient({{"Chart Number", text(chart)},
               {"Patient Type", text(type)},
               {"Date Modified", std::move(modified)}});
}

void addCase(test::PracticeBuilder& p, const char* chart, ads::Value modified) {
    p.caseRow({{"Chart Number", text(chart)}, {"Date Modified", std::move(modified)}});
}

class ChartSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        addPatient(practice, "OLD", "Patient", stamp(2010, 1, 1));
        addPatient(practice, "CHANGED", "Patient", stamp(2011, 10, 18, 15, 30, 45));
        addPatient(practice, "BOTH", "Patient", stamp(2012, 1, 1));
        addPatient(practice, "AGUAR", "Guarantor", stamp(2012, 1, 1));
        addPatient(practice, "CASEONLY", "Patient", stamp(2001, 1, 1));
        addPatient(practice, "NODATE", "Patient", ads::Value::null());
        addCase(practice, "BOTH", stamp(2012, 2, 2));
        addCase(practice, "BOTH", stamp(2013, 2, 2));
        addCase(practice, "CASEONLY", stamp(2011, 10, 18, 15, 30, 45));
        addCase(practice, "AGUAR", stamp(2011, 11, 1));
        addCase(practice, "OLD", stamp(2011, 10, 18, 15, 30, 44));
    }

    bool collect(const LocalDateTime& since, Charts& charts, const KeepGoing& keepGoing = {}) {
        TfrmDataTransfer practiceData(settings, errors);
        return practiceData.CollectChartNumbers(charts, since, keepGoing);
    }

    test::PracticeBuilder practice;
    test::CollectingErrorReport errors;
    std::string settings;
};

TEST_F(ChartSelectionTest, FirstRunListsEveryPatientInChartOrder) {
    settings = practice.write();
    Charts charts{"left over"};
    ASSERT_TRUE(collect(LocalDateTime::zero(), charts));
    EXPECT_EQ(charts, (Charts{"BOTH", "CASEONLY", "CHANGED", "NODATE", "OLD"}));
}

// Changed cases first (any patient type), then changed patients without changed cases; a change
// at exactly the pull date counts.
TEST_F(ChartSelectionTest, LaterRunListsChangedCasesThenChangedPatients) {
    settings = practice.write();
    Charts charts;
    ASSERT_TRUE(collect(pullDate, charts));
    EXPECT_EQ(charts, (Charts{"AGUAR", "BOTH", "CASEONLY", "CHANGED"}));
    ASSERT_TRUE(collect({2020, 1, 1}, charts));
    EXPECT_TRUE(charts.empty());
}

TEST_F(ChartSelectionTest, StopsBeforeTheNextRowWhenAsked) {
    settings = practice.write();
    Charts charts;
    int rows = 0;
    EXPECT_FALSE(collect(LocalDateTime::zero(), charts, [&rows] { return ++rows < 3; }));
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(charts, Charts{TfrmDataTransfer::stoppedText()});
}

TEST_F(ChartSelectionTest, FailureLeavesOnlyTheErrorText) {
    // Without "Patient Type" the case query runs and the patient query fails.
    test::PracticeBuilder broken;
    broken.patient({{"Chart Number", text("X")}});
    broken.caseRow({{"Chart Number", text("X")}, {"Date Modified", stamp(2012, 1, 1)}});
    settings = broken.write();
    auto fields = cli::schema::patientFields();
    std::erase_if(fields, [](const ads::FieldSpec& f) { return f.name == "Patient Type"; });
    ads::AdtWriter writer(broken.folder() + "/mwpat.adt", fields);
    std::vector<ads::Value> row(fields.size());
    row[writer.fieldIndex("Chart Number")] = text("X");
    writer.append(row);
    writer.finish();
    Charts charts;
    EXPECT_FALSE(collect(pullDate, charts));
    ASSERT_EQ(charts.size(), 1u);
    EXPECT_NE(charts.front().find("Patient Type"), std::string::npos) << charts.front();
}

} // namespace
} // namespace quillory
