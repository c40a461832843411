// Damaged tables are refused with a clear error, or their bad record is skipped and reported;
// nothing is read out of bounds and no file is cut.

#include "dbase_TestFiles.h"

#include "core/Error.h"
#include "platform/dbase/LocalTables.h"
#include "platform/dbase/Table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace quillory::dbase {
namespace {

using test::memoBytes;
using test::patchFile;
using test::readFile;
using test::TempFolder;

// A table of three records; record 1 has a memo of 2,000 bytes, the others short ones.
struct Files {
    Format format;
    std::string table, memo;

    std::size_t headerLength() const { return test::le16(readFile(table), 8); }
    std::size_t recordLength() const { return test::le16(readFile(table), 10); }
    std::size_t record(std::size_t n) const { return headerLength() + n * recordLength(); }
    // Where record n keeps its memo pointer: REQUEST of log.dbf, DATA of ZAVPatData.dbf.
    std::size_t memoPointer(std::size_t n) const {
        return record(n) + (format == Format::DBase4 ? 211 : 21);
    }
    std::uint32_t memoBlock(std::size_t n) const {
        const std::string bytes = readFile(table).substr(memoPointer(n), 10);
        return format == Format::DBase4 ? std::stoul(bytes) : test::le32(bytes, 0);
    }
    std::size_t blockSize() const { return format == Format::DBase4 ? 512 : 64; }
};

Files writeFiles(const TempFolder& folder, Format format) {
    Files files{format, folder.file("t.dbf"),
                folder.file(format == Format::DBase4 ? "t.dbt" : "t.fpt")};
    const bool log = format == Format::DBase4;
    log ? createLogTable(files.table) : createSentDataTable(files.table);
    Table table(files.table, Access::Shared);
    for (int i = 0; i < 3; ++i) {
        const std::string memo = i == 1 ? memoBytes(2000, 1) : "MSH|" + std::to_string(i);
        table.append(log ? std::vector<std::string>{"TCP", "a", "b", memo, "ok"}
                         : std::vector<std::string>{"C" + std::to_string(i), memo});
    }
    return files;
}

std::string littleEndian32(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

struct Case {
    const char* name;
    Format format;
    std::function<void(const Files&)> damage;
    const char* openError;  // part of the error text when opening must fail
    int damagedRecord = -1; // when the table opens: the one record that must be refused
};

const std::vector<Case>& cases() {
    using F = Format;
    static const std::vector<Case> all = {
        {"too short", F::DBase4, [](const Files& f) { std::filesystem::resize_file(f.table, 20); },
         "too short"},
        {"unknown version", F::DBase4, [](const Files& f) { patchFile(f.table, 0, "\x05"); },
         "version byte 0x05"},
        {"dBASE III memo", F::DBase4, [](const Files& f) { patchFile(f.table, 0, "\x83"); },
         "dBASE III"},
        {"header longer than file", F::DBase4,
         [](const Files& f) { patchFile(f.table, 8, "\xFF\xFF"); }, "header length"},
        {"record length off by one", F::VisualFoxPro,
         [](const Files& f) { patchFile(f.table, 10, std::string(1, char(f.recordLength() + 1))); },
         "record length"},
        {"no end of field list", F::DBase4,
         [](const Files& f) { patchFile(f.table, 32 + 5 * 32, "X"); }, "field list"},
        {"unsupported field type", F::DBase4,
         [](const Files& f) { patchFile(f.table, 32 + 3 * 32 + 11, "N"); }, "type 'N'"},
        {"count beyond the records", F::DBase4,
         [](const Files& f) { patchFile(f.table, 4, littleEndian32(9)); }, "holds only 3"},
        {"last record cut short", F::VisualFoxPro,
         [](const Files& f) { std::filesystem::resize_file(f.table, f.record(3) - 3); },
         "holds only 2"},
        {"memo file missing", F::VisualFoxPro,
         [](const Files& f) { std::filesystem::remove(f.memo); }, "is missing"},
        {"memo header cut short", F::DBase4,
         [](const Files& f) { std::filesystem::resize_file(f.memo, 100); }, "memo file header"},
        {"memo pointer past the memo file", F::DBase4,
         [](const Files& f) { patchFile(f.table, f.memoPointer(1), "     99999"); }, "", 1},
        {"memo pointer not a number", F::DBase4,
         [](const Files& f) { patchFile(f.table, f.memoPointer(1), "   12x    "); }, "", 1},
        {"memo pointer into the memo header", F::VisualFoxPro,
         [](const Files& f) { patchFile(f.table, f.memoPointer(1), littleEndian32(3)); }, "", 1},
        {"memo longer than its file", F::VisualFoxPro,
         [](const Files& f) {
             patchFile(f.memo, f.memoBlock(1) * f.blockSize() + 4, "\x7F\xFF\xFF\xFF");
         },
         "", 1},
        {"memo block without its marker", F::DBase4,
         [](const Files& f) { patchFile(f.memo, f.memoBlock(1) * f.blockSize(), "AB"); }, "", 1},
        {"dBASE IV memo length below its header", F::DBase4,
         [](const Files& f) {
             patchFile(f.memo, f.memoBlock(1) * f.blockSize() + 4, littleEndian32(3));
         },
         "", 1},
        {"memo cut short", F::DBase4,
         [](const Files& f) { std::filesystem::resize_file(f.memo, f.memoBlock(2) * 512 + 10); },
         "", 2},
        {"bad deletion flag", F::VisualFoxPro,
         [](const Files& f) { patchFile(f.table, f.record(1), std::string(1, '\0')); }, "", 1},
    };
    return all;
}

TEST(DbaseDamage, IsRefusedOrSkippedAndNeverRepaired) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const Files files = writeFiles(folder, c.format);
        c.damage(files);
        const std::string before = readFile(files.table);

        if (*c.openError) {
            try {
                Table table(files.table, Access::Shared);
                ADD_FAILURE() << "opened";
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find(c.openError), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find(folder.file("")), std::string::npos)
                    << "names no file: " << e.what();
            }
        } else {
            Table table(files.table, Access::Shared);
            EXPECT_THROW(table.read(c.damagedRecord), Error);
            std::vector<std::uint32_t> seen;
            const std::vector<std::string> damaged =
                table.forEach([&](const Record& r) { return seen.push_back(r.number), true; });
            std::vector<std::uint32_t> intact = {0, 1, 2};
            intact.erase(intact.begin() + c.damagedRecord);
            EXPECT_EQ(seen, intact);
            ASSERT_EQ(damaged.size(), 1u);
            EXPECT_NE(damaged[0].find("record " + std::to_string(c.damagedRecord)),
                      std::string::npos)
                << damaged[0];
        }
        EXPECT_EQ(readFile(files.table), before);
    }
}

// An append that died after writing its record but before counting it leaves bytes past the
// counted records. They are ignored, kept until the next append, and then overwritten.
TEST(DbaseDamage, UncountedTailIsIgnoredAndOverwrittenByTheNextAppend) {
    for (Format format : {Format::DBase4, Format::VisualFoxPro}) {
        TempFolder folder;
        const Files files = writeFiles(folder, format);
        patchFile(files.table, 4, littleEndian32(2));
        const auto size = std::filesystem::file_size(files.table);

        Table table(files.table, Access::Shared);
        EXPECT_EQ(table.recordCount(), 2u);
        EXPECT_THROW(table.read(2), Error);
        EXPECT_EQ(std::filesystem::file_size(files.table), size);

        const bool log = format == Format::DBase4;
        table.append(log ? std::vector<std::string>{"NEW", "", "", "memo", ""}
                         : std::vector<std::string>{"NEW", "memo"});
        EXPECT_EQ(table.recordCount(), 3u);
        EXPECT_EQ(table.read(2).values[0], "NEW");
        EXPECT_EQ(std::filesystem::file_size(files.table), size);
    }
}

} // namespace
} // namespace quillory::dbase
