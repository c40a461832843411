#include "practice/CodeTables.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quillory::codes {
namespace {

struct Case {
    const char* mapping;
    std::function<std::string_view(std::string_view)> map;
    std::string stored;
    std::string expected;
};

TEST(CodeTables, MapStoredWordsToMessageCodes) {
    const auto sexWhenEmpty = [](std::string_view s) { return sexOrUnknownWhenEmpty(s); };
    const std::vector<Case> cases{
        {"marital", maritalStatus, "Married", "M"},
        {"marital", maritalStatus, "Single", "S"},
        {"marital", maritalStatus, "married", "m"},
        {"marital", maritalStatus, "Unknown", ""},
        {"marital", maritalStatus, "unknown", "u"},
        {"marital", maritalStatus, "Legally separated", "X"},
        {"marital", maritalStatus, "", ""},
        {"employment", employmentStatus, "Full time", "F"},
        {"employment", employmentStatus, "Part time", "P"},
        {"employment", employmentStatus, "Retired", "R"},
        {"employment", employmentStatus, "full time", "U"},
        {"employment", employmentStatus, "", "U"},
        {"relationship", insuredRelationship, "Self", "18"},
        {"relationship", insuredRelationship, "Spouse", "01"},
        {"relationship", insuredRelationship, "Child", "19"},
        {"relationship", insuredRelationship, "Other", "99"},
        {"relationship", insuredRelationship, "self", "99"},
        {"relationship", insuredRelationship, "", "99"},
        {"plan", planType, "Medicare", "Medicare"},
        {"plan", planType, "MEDICARE", "Medicare"},
        {"plan", planType, "medicare", "Medicare"},
        {"plan", planType, "Medicaid", "Medicaid"},
        {"plan", planType, "Blue Cross/Shield", "BCBS"},
        {"plan", planType, "Champus", "Other"},
        {"plan", planType, "Worker's Compensa", "Other"},
        {"plan", planType, "hmo", "HMO"},
        {"plan", planType, "PPO", "PPO"},
        {"plan", planType, "PPO ", "Other"},
        {"plan", planType, "", "Other"},
        {"workers comp", workersCompensationFlag, "Worker's Compensa", "Y"},
        {"workers comp", workersCompensationFlag, "worker's comp", "Y"},
        {"workers comp", workersCompensationFlag, "Worker's Compensation", "N"},
        {"workers comp", workersCompensationFlag, "", "N"},
        {"insured sex", sexWhenEmpty, "", "U"},
        {"insured sex", sexWhenEmpty, "Female", "F"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.map(c.stored), c.expected) << c.mapping << " of \"" << c.stored << "\"";
}

TEST(CodeTables, SexOfPatientAndGuarantorIsUnknownOnlyWhenNull) {
    EXPECT_EQ(sexOrUnknownWhenNull(true, ""), "U");
    EXPECT_EQ(sexOrUnknownWhenNull(false, ""), "");
    EXPECT_EQ(sexOrUnknownWhenNull(false, "Male"), "M");
}

TEST(CodeTables, GuarantorIsThePatientOnlyWhenChartNumbersMatchExactly) {
    EXPECT_EQ(guarantorRelationship(true, "SMIJA000", "SMIJA000"), "18");
    EXPECT_EQ(guarantorRelationship(true, "smija000", "SMIJA000"), "21");
    EXPECT_EQ(guarantorRelationship(true, "SMIJO000", "SMIJA000"), "21");
    EXPECT_EQ(guarantorRelationship(false, "", ""), "21");
}

} // namespace
} // namespace quillory::codes
