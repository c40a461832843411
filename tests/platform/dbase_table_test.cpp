#include "dbase_TestFiles.h"

#include "core/Error.h"
#include "platform/dbase/CreateTable.h"
#include "platform/dbase/LocalTables.h"
#include "platform/dbase/Table.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory::dbase {
namespace {

using test::memoBytes;
using test::TempFolder;

// NAME C(8), BODY memo, NOTE C(5): a memo between two character fields, as in log.dbf.
std::vector<Field> smallFields() {
    return {{"NAME", FieldType::Character, 8},
            {"BODY", FieldType::Memo, 0},
            {"NOTE", FieldType::Character, 5}};
}

class DbaseTable : public ::testing::TestWithParam<Format> {
protected:
    std::string createSmall() {
        const std::string path = folder.file("small.dbf");
        createTable(path, GetParam(), smallFields());
        return path;
    }

    std::string memoPath(const std::string& path) const {
        return path.substr(0, path.size() - 3) + (GetParam() == Format::DBase4 ? "dbt" : "fpt");
    }

    TempFolder folder;
};

INSTANTIATE_TEST_SUITE_P(Formats, DbaseTable,
                         ::testing::Values(Format::DBase4, Format::VisualFoxPro),
                         [](const auto& info) {
                             return info.param == Format::DBase4 ? "DBase4" : "VisualFoxPro";
                         });

TEST_P(DbaseTable, StoresValuesAndReadsThemBackAfterReopening) {
    struct Case {
        std::string name, body, note;
        std::string nameRead, noteRead;
    };
    const std::vector<Case> cases = {
        {"C1", "MSH|^~\\&\rPID|1\r", "ok", "C1", "ok"},
        {"LONGER-THAN-8", "", "cut me", "LONGER-T", "cut m"}, // cut to the width; empty memo
        {" AB  ", memoBytes(1, 1), "", " AB", ""},            // trailing blanks go, leading stay
        {"C4", memoBytes(1000, 2), "x", "C4", "x"},
        {"C5", memoBytes(70000, 3), "y", "C5", "y"},
        {"C6", std::string("\x1A\x1A\0\x1F\r", 5), "z", "C6", "z"}, // end marks inside a memo
    };
    const std::string path = createSmall();
    {
        Table table(path, Access::Shared);
        for (const Case& c : cases)
            table.append({c.name, c.body, c.note});
    }
    Table table(path, Access::Shared);
    EXPECT_EQ(table.format(), GetParam());
    ASSERT_EQ(table.recordCount(), cases.size());
    for (std::uint32_t i = 0; i < cases.size(); ++i) {
        const Record record = table.read(i);
        EXPECT_EQ(record.number, i);
        EXPECT_FALSE(record.deleted);
        EXPECT_EQ(record.values,
                  (std::vector<std::string>{cases[i].nameRead, cases[i].body, cases[i].noteRead}))
            << "record " << i;
    }
}

TEST_P(DbaseTable, FindsByExactKeyAndKeepsItsIndexUpToDate) {
    const std::string path = createSmall();
    Table table(path, Access::Shared);
    const int name = table.requireField("name");
    for (const char* key : {"AB", "ab", "AB", "12345678"})
        table.append({key, "", ""});

    struct Case {
        std::string key;
        std::optional<std::uint32_t> record;
    };
    const std::vector<Case> cases = {
        {"AB", 0},             // the first of two equal keys
        {"ab", 1},             // letter case counts
        {"AB  ", 0},           // blanks at the end cannot be stored, so they do not count
        {" AB", std::nullopt}, // blanks in front do
        {"1234567890", 3},     // cut to the width, as it would be stored
        {"A", std::nullopt},   // no prefix matches
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.find(name, c.key), c.record) << '"' << c.key << '"';

    // Appends through this object and through another one both reach the index.
    table.append({"NEW1", "", ""});
    Table(path, Access::Shared).append({"NEW2", "", ""});
    EXPECT_EQ(table.find(name, "NEW1"), 4u);
    EXPECT_EQ(table.find(name, "NEW2"), 5u);
    EXPECT_THROW(table.find(table.requireField("BODY"), "x"), Error);
}

TEST_P(DbaseTable, ReplacesAMemoAndLeavesTheOtherRecordsAlone) {
    const std::string path = createSmall();
    Table table(path, Access::Shared);
    const int body = table.requireField("BODY");
    for (int i = 0; i < 3; ++i)
        table.append({"C" + std::to_string(i), memoBytes(600, i), ""});

    for (const std::string& value : {memoBytes(70000, 9), std::string(), memoBytes(5, 8)}) {
        table.replaceMemo(1, body, value);
        EXPECT_EQ(Table(path, Access::Shared).read(1).values[body], value);
    }
    EXPECT_EQ(table.read(0).values[body], memoBytes(600, 0));
    EXPECT_EQ(table.read(2).values[body], memoBytes(600, 2));
    EXPECT_THROW(table.replaceMemo(3, body, "x"), Error);
    EXPECT_THROW(table.replaceMemo(0, table.requireField("NAME"), "x"), Error);
}

TEST_P(DbaseTable, DeleteAllEmptiesTheTableAndItsMemoFile) {
    const std::string path = createSmall();
    const auto emptyMemoSize = std::filesystem::file_size(memoPath(path));
    {
        Table table(path, Access::Shared);
        table.append({"A", memoBytes(5000, 1), ""});
        EXPECT_THROW(table.deleteAll(), Error); // only with exclusive access
    }
    Table table(path, Access::Exclusive);
    table.deleteAll();
    EXPECT_EQ(table.recordCount(), 0u);
    EXPECT_EQ(std::filesystem::file_size(memoPath(path)), emptyMemoSize);
    EXPECT_EQ(table.find(table.requireField("NAME"), "A"), std::nullopt);
    table.append({"B", "after", ""});
    EXPECT_EQ(table.read(0).values, (std::vector<std::string>{"B", "after", ""}));
}

TEST_P(DbaseTable, PackDropsRecordsOtherProgramsMarkedDeleted) {
    const std::string path = createSmall();
    std::uint64_t headerLength = 0, recordLength = 0;
    {
        Table table(path, Access::Shared);
        for (int i = 0; i < 4; ++i)
            table.append({"C" + std::to_string(i), memoBytes(700, i), ""});
        const std::string bytes = test::readFile(path);
        headerLength = test::le16(bytes, 8);
        recordLength = test::le16(bytes, 10);
    }
    for (std::uint64_t record : {0u, 2u}) // as dBASE's DELETE does
        test::patchFile(path, headerLength + record * recordLength, "*");

    Table table(path, Access::Exclusive);
    EXPECT_TRUE(table.read(0).deleted);
    std::vector<std::string> seen;
    table.forEach([&](const Record& r) { return seen.push_back(r.values[0]), true; });
    EXPECT_EQ(seen, (std::vector<std::string>{"C1", "C3"}));
    EXPECT_EQ(table.find(0, "C0"), std::nullopt);

    table.pack();
    EXPECT_EQ(table.recordCount(), 2u);
    EXPECT_EQ(table.read(0).values, (std::vector<std::string>{"C1", memoBytes(700, 1), ""}));
    EXPECT_EQ(table.read(1).values, (std::vector<std::string>{"C3", memoBytes(700, 3), ""}));
    EXPECT_EQ(table.find(0, "C3"), 1u);
    table.pack(); // nothing left to drop
    EXPECT_EQ(table.recordCount(), 2u);
    EXPECT_FALSE(std::filesystem::exists(path + ".pack"));
    table.append({"C4", "x", ""});
    EXPECT_EQ(table.read(2).values[0], "C4");
}

TEST(DbaseAccess, ExclusiveOpenFailsWhileAnotherObjectHasTheTable) {
    TempFolder folder;
    const std::string path = folder.file("log.dbf");
    createLogTable(path);
    struct Case {
        Access first, second;
        bool secondOpens;
    };
    const std::vector<Case> cases = {
        {Access::Shared, Access::Shared, true},
        {Access::Shared, Access::Exclusive, false},
        {Access::Exclusive, Access::Shared, false},
        {Access::Exclusive, Access::Exclusive, false},
    };
    for (const Case& c : cases) {
        Table first(path, c.first);
        if (c.secondOpens)
            EXPECT_NO_THROW(Table(path, c.second));
        else
            EXPECT_THROW(Table(path, c.second), Error);
    }
    // Closing the other object frees the table again.
    EXPECT_NO_THROW(Table(path, Access::Exclusive));
}

TEST(DbaseCreate, MakesTheTwoLocalTablesAndRefusesToReplaceOne) {
    TempFolder folder;
    const std::string log = folder.file("log.dbf");
    const std::string sent = folder.file("ZAVPatData.dbf");
    createLogTable(log);
    createSentDataTable(sent);
    EXPECT_TRUE(std::filesystem::exists(folder.file("log.dbt")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("ZAVPatData.fpt")));

    struct Case {
        std::string path;
        Format format;
        std::vector<Field> fields;
    };
    for (const Case& c : {Case{log, Format::DBase4, logTableFields()},
                          Case{sent, Format::VisualFoxPro, sentDataTableFields()}}) {
        Table table(c.path, Access::Shared);
        EXPECT_EQ(table.format(), c.format);
        EXPECT_EQ(table.recordCount(), 0u);
        ASSERT_EQ(table.fields().size(), c.fields.size());
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ(table.fields()[i].name, c.fields[i].name);
            EXPECT_EQ(table.fields()[i].type, c.fields[i].type);
            if (c.fields[i].type == FieldType::Character) {
                EXPECT_EQ(table.fields()[i].width, c.fields[i].width);
            }
        }
    }
    const std::string before = test::readFile(log);
    EXPECT_THROW(createLogTable(log), Error);
    EXPECT_EQ(test::readFile(log), before);
}

TEST(DbaseCreate, RefusesFieldListsDBaseCannotHold) {
    TempFolder folder;
    const std::vector<std::vector<Field>> cases = {
        {},
        {{"ELEVENCHARS", FieldType::Character, 5}},
        {{"", FieldType::Character, 5}},
        {{"A", FieldType::Character, 0}},
        {{"A", FieldType::Character, 255}},
        {{"A", FieldType::Character, 5}, {"a", FieldType::Memo, 0}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string path = folder.file("t" + std::to_string(i) + ".dbf");
        EXPECT_THROW(createTable(path, Format::DBase4, cases[i]), Error) << "case " << i;
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

} // namespace
} // namespace quillory::dbase
