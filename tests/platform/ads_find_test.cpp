// Keyed lookups through the in-memory index: whole values, letter case, deleted records,
// duplicates, and records changed after the index was built.
#include "ads_test_support.h"
#include "platform/ads/AdtTable.h"
#include "platform/ads/Connection.h"

#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace quillory::ads {
namespace {
using namespace test;
using Slots = std::vector<std::uint32_t>;

class AdsFind : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.file("mwpat.adt");
        // slot: 0 AB001, 1 ab001, 2 AB001, 3 AB002 (deleted), 4 ab002, 5 null, 6 AB0011
        writeTable(path, {{"Chart Number", FieldType::Character, 8}, {"N", FieldType::Integer}},
                   {{text("AB001"), Value::ofInteger(7)},
                    {text("ab001"), Value::ofInteger(8)},
                    {text("AB001"), Value::ofInteger(7)},
                    {text("AB002"), Value::ofInteger(7)},
                    {text("ab002"), Value::null()},
                    {Value::null(), Value::ofInteger(-1)},
                    {text("AB0011"), Value::ofInteger(9)}},
                   {false, false, false, true});
    }

    TempFolder folder;
    std::string path;
};

TEST_F(AdsFind, MatchesWholeValuesInSlotOrder) {
    struct Case {
        int field;
        std::string key;
        bool ignoreCase;
        Slots expected;
    };
    const std::vector<Case> cases = {
        {0, "AB001", false, {0, 2}},    {0, "ab001", false, {1}}, {0, "Ab001", true, {0, 1, 2}},
        {0, "AB001   ", false, {0, 2}},                          // trailing blanks are padding
        {0, "AB00", true, {}},          {0, "AB002", false, {}}, // only a deleted record holds it
        {0, "AB002", true, {4}},        {0, "", false, {5}},      {1, "7", false, {0, 2}},
        {1, "-1", false, {5}},          {1, "", false, {4}},
    };
    const AdtTable table(path);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        Slots slots = {99};
        table.find(c.field, c.key, c.ignoreCase, slots);
        EXPECT_EQ(slots, c.expected);
    }
}

TEST_F(AdsFind, ChecksCandidatesAgainstTheRecordAsItIsNow) {
    const AdtTable table(path);
    Slots slots;
    table.find(0, "AB001", false, slots); // builds the index
    ASSERT_EQ(slots, (Slots{0, 2}));
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(400 + 2 * 200 + 5); // slot 0's chart number
        file.write("ZZ999   ", 8);
    }
    table.find(0, "AB001", false, slots);
    EXPECT_EQ(slots, (Slots{2}));
}

TEST_F(AdsFind, ConcurrentFirstLookupsBuildOneIndex) {
    const AdtTable table(path);
    std::vector<Slots> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&table, &result] { table.find(0, "ab001", true, result); });
    for (auto& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ(result, (Slots{0, 1, 2}));
}

// A key most records share ("Patient Type" = 'Patient') is checked in one pass over the file, not
// a read per record; the answer must not change.
TEST(AdsFindShared, KeySharedByMostRecords) {
    TempFolder folder;
    const std::string path = folder.file("mwpat.adt");
    std::vector<std::vector<Value>> rows;
    std::vector<bool> deleted;
    for (int i = 0; i < 300; ++i) {
        rows.push_back({text(i % 3 == 0 ? "Guarantor" : i % 2 ? "Patient" : "PATIENT")});
        deleted.push_back(i == 7);
    }
    writeTable(path, {{"Patient Type", FieldType::Character, 10}}, rows, deleted);
    const AdtTable table(path);
    Slots exact;
    table.find(0, "Patient", false, exact);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(400 + 200 + 15 + 5); // slot 1, changed after the index was built
        file.write("Guarantor ", 10);
    }
    Slots exactNow, anyCase;
    table.find(0, "Patient", false, exactNow);
    table.find(0, "patient", true, anyCase);
    Slots expectedExact, expectedNow, expectedAnyCase;
    for (std::uint32_t i = 0; i < 300; ++i) {
        if (i % 3 == 0 || i == 7)
            continue;
        if (i % 2)
            expectedExact.push_back(i);
        if (i % 2 && i != 1)
            expectedNow.push_back(i);
        if (i != 1)
            expectedAnyCase.push_back(i);
    }
    EXPECT_EQ(exact, expectedExact);
    EXPECT_EQ(exactNow, expectedNow);
    EXPECT_EQ(anyCase, expectedAnyCase);

    Connection connection;
    connection.connect(folder.path());
    Query query(connection);
    query.open("SELECT COUNT(*) AS n FROM mwpat WHERE \"Patient Type\" = 'Patient'");
    EXPECT_EQ(query.text("n"), std::to_string(expectedNow.size()));
}

} // namespace
} // namespace quillory::ads
