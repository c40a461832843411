// Damaged, cut-short and foreign files are refused with a text that names the file and the fault;
// none of them may crash the reader or make it read past its buffers.
#include "ads_test_support.h"
#include "core/Error.h"
#include "platform/ads/AdtTable.h"

#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillory::ads {
namespace {
using namespace test;

void putLe(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + std::size_t(i)] = char(value >> (8 * i));
}

// Chart Number C8 at 5, Note memo at 13, Born date at 22; record length 26.
void writeGoodTable(const std::string& path) {
    writeTable(path,
               {{"Chart Number", FieldType::Character, 8},
                {"Note", FieldType::Memo},
                {"Born", FieldType::Date}},
               {{text("AB001"), text("first note"), Value::ofDate(1980, 5, 17)},
                {text("AB002"), text("second"), Value::null()}});
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

constexpr std::size_t kField0 = 400; // descriptor of "Chart Number"
constexpr std::size_t kField2 = 800; // descriptor of "Born"

TEST(AdsBadFiles, DamagedTablesAreRefused) {
    struct Case {
        const char* name;
        std::function<void(std::string& table, std::string& memo)> damage;
        const char* fragment;
    };
    const std::vector<Case> cases = {
        {"empty file", [](std::string& t, std::string&) { t.clear(); }, "not an Advantage table"},
        {"bad signature", [](std::string& t, std::string&) { t[0] = 'X'; },
         "not an Advantage table"},
        {"header cut short", [](std::string& t, std::string&) { t.resize(200); },
         "header is cut short"},
        {"records cut short", [](std::string& t, std::string&) { t.pop_back(); }, "cut short"},
        {"descriptors cut short", [](std::string& t, std::string&) { t.resize(700); },
         "descriptors lie outside the file"},
        {"no fields", [](std::string& t, std::string&) { putLe(t, 0x166, 0, 2); }, "no fields"},
        {"absurd field count", [](std::string& t, std::string&) { putLe(t, 0x166, 0xFFFF, 2); },
         "field count 65535"},
        {"descriptors past the end", [](std::string& t, std::string&) { putLe(t, 0x166, 21, 2); },
         "descriptors lie outside the file"},
        {"record length 0", [](std::string& t, std::string&) { putLe(t, 0x24, 0, 4); },
         "record length 0"},
        {"huge record length", [](std::string& t, std::string&) { putLe(t, 0x24, ~0u, 4); },
         "record length 4294967295"},
        {"first record inside the descriptors",
         [](std::string& t, std::string&) { putLe(t, 0x20, 100, 4); }, "overlaps"},
        {"first record past the end", [](std::string& t, std::string&) { putLe(t, 0x20, ~0u, 4); },
         "cut short"},
        {"huge record count", [](std::string& t, std::string&) { putLe(t, 0x18, ~0u, 4); },
         "header lists 4294967295 records"},
        {"field past the record",
         [](std::string& t, std::string&) { putLe(t, kField0 + 131, 20, 4); },
         "\"Chart Number\" lies outside the record"},
        {"field in the record prefix",
         [](std::string& t, std::string&) { putLe(t, kField0 + 131, 2, 4); },
         "\"Chart Number\" lies outside the record"},
        {"huge field offset", [](std::string& t, std::string&) { putLe(t, kField0 + 131, ~0u, 4); },
         "\"Chart Number\" lies outside the record"},
        {"field of length 0", [](std::string& t, std::string&) { putLe(t, kField0 + 135, 0, 2); },
         "\"Chart Number\" lies outside the record"},
        {"date field too short",
         [](std::string& t, std::string&) { putLe(t, kField2 + 135, 2, 2); },
         "\"Born\" of type date is too short"},
        {"unknown type", [](std::string& t, std::string&) { putLe(t, kField2 + 129, 99, 2); },
         "field \"Born\" has an unknown type 99"},
        {"encrypted",
         [](std::string& t, std::string&) {
             for (std::size_t i = 400; i < 1000; ++i)
                 t[i] = char(t[i] ^ 0x9C);
         },
         "is an encrypted table and cannot be read"},
        {"memo file missing", [](std::string&, std::string& m) { m = "(none)"; }, "memo file"},
        {"memo block size 0", [](std::string&, std::string& m) { putLe(m, 4, 0, 4); },
         "block size of 0"},
        {"memo header cut short", [](std::string&, std::string& m) { m.resize(5); },
         "memo file header is cut short"},
    };
    TempFolder folder;
    const std::string good = folder.file("good.adt");
    writeGoodTable(good);
    const std::string table = readBytes(good);
    const std::string memo = readBytes(folder.file("good.adm"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string t = table;
        std::string m = memo;
        c.damage(t, m);
        const std::string path = folder.file("bad.adt");
        writeBytes(path, t);
        if (m == "(none)")
            ::unlink(folder.file("bad.adm").c_str());
        else
            writeBytes(folder.file("bad.adm"), m);
        const std::string error = errorOf([&] { AdtTable{path}; });
        EXPECT_NE(error.find(c.fragment), std::string::npos) << error;
        EXPECT_NE(error.find("bad.ad"), std::string::npos) << error;
    }
}

TEST(AdsBadFiles, MissingOrForeignPathsAreRefused) {
    TempFolder folder;
    EXPECT_EQ(errorOf([&] { AdtTable{folder.file("none.adt")}; }),
              folder.file("none.adt") + " does not exist.");
    EXPECT_EQ(errorOf([&] { AdtTable{folder.path()}; }), folder.path() + " is not a file.");
}

TEST(AdsBadFiles, DamagedMemoPointerFailsOnlyThatValue) {
    TempFolder folder;
    const std::string path = folder.file("t.adt");
    writeGoodTable(path);
    std::string bytes = readBytes(path);
    const std::size_t record2 = 400 + 3 * 200 + 26;
    putLe(bytes, record2 + 13, 0x7FFFFFFF, 4); // block far past the end of the memo file
    putLe(bytes, record2 + 17, 0xFFFFFFFF, 4); // and a 4 GiB length
    writeBytes(path, bytes);

    const AdtTable table(path);
    Record record;
    ASSERT_TRUE(table.read(1, record));
    EXPECT_EQ(record.text(0), "AB002");
    EXPECT_FALSE(record.isNull(1));
    const std::string error = errorOf([&] { record.value(1); });
    EXPECT_NE(error.find("past the end of the memo file"), std::string::npos) << error;
    EXPECT_NE(error.find("record 2"), std::string::npos) << error;
    ASSERT_TRUE(table.read(0, record));
    EXPECT_EQ(record.text(1), "first note");
}

TEST(AdsBadFiles, FileCutShortWhileOpenThrowsOnRead) {
    TempFolder folder;
    const std::string path = folder.file("t.adt");
    writeGoodTable(path);
    const AdtTable table(path);
    ASSERT_EQ(::truncate(path.c_str(), 400 + 3 * 200 + 10), 0);

    Record record;
    const std::string error = errorOf([&] { table.read(1, record); });
    EXPECT_NE(error.find("was cut short while it was open"), std::string::npos) << error;
    std::vector<std::uint32_t> slots;
    EXPECT_THROW(table.find(0, "AB001", false, slots), Error);
    EXPECT_THROW(table.read(2, record), Error); // past the slots the header listed
}

} // namespace
} // namespace quillory::ads
