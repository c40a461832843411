// The tables this program writes, read by other programs: dbfread, python3-dbf and LibreOffice.

#include "dbase_TestFiles.h"

#include "platform/dbase/LocalTables.h"
#include "platform/dbase/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace quillory::dbase {
namespace {

using test::memoBytes;
using test::TempFolder;

// 0x1F: dbfread ends a dBASE IV memo there. The others are undefined in Windows-1252, which the
// readers decode by.
constexpr std::string_view kUnreadable = "\x1F\x81\x8D\x8F\x90\x9D";

struct Snapshot {
    std::string path;
    std::vector<std::vector<std::string>> records;
};

std::string hexLine(const std::vector<std::string>& values) {
    std::string line;
    for (const std::string& value : values) {
        if (!line.empty())
            line += ' ';
        if (value.empty())
            line += '-';
        for (unsigned char c : value) {
            static constexpr char digits[] = "0123456789abcdef";
            line += digits[c >> 4];
            line += digits[c & 15];
        }
    }
    return line;
}

std::string expectedOutput(const std::vector<Snapshot>& snapshots) {
    std::string text;
    for (const Snapshot& snapshot : snapshots) {
        text += "== " + snapshot.path + "\n";
        for (const auto& record : snapshot.records)
            text += hexLine(record) + "\n";
    }
    return text;
}

struct ReaderOutput {
    bool skipped = false; // the reader is not installed; output says what is missing
    std::string output;
};

ReaderOutput readWith(const std::string& reader, const std::vector<Snapshot>& snapshots) {
    std::string command =
        "/usr/bin/python3 " QUILLORY_TESTS_DIR "/platform/dbase_read_table.py " + reader;
    for (const Snapshot& snapshot : snapshots)
        command += " '" + snapshot.path + "'";
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    ReaderOutput result;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.skipped = WIFEXITED(status) && WEXITSTATUS(status) == 77;
    if (!result.skipped) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << result.output;
    }
    return result;
}

// Builds a table in steps and keeps a copy of the files after each: memos of 0, 1, 1,000 and
// 70,000 bytes; then replaced memos; then a pack; then delete-all and new records.
class Scenario {
public:
    Scenario(const TempFolder& folder, Format format, std::string_view unreadable = kUnreadable)
        : folder_(folder), format_(format), unreadable_(unreadable) {
        path_ = folder.file(name("work") + ".dbf");
        if (format == Format::DBase4)
            createLogTable(path_);
        else
            createSentDataTable(path_);
    }

    std::vector<Snapshot> run() {
        {
            Table table(path_, Access::Shared);
            for (std::size_t size : {0, 1, 1000, 70000})
                append(table, memo(size, static_cast<unsigned>(size)));
            snapshot("fresh");
            replace(table, 0, memo(70000, 7));
            replace(table, 1, memo(1000, 8));
            replace(table, 3, "");
            snapshot("replaced");
        }
        markDeleted(2);
        Table table(path_, Access::Exclusive);
        table.pack();
        snapshot("packed");
        table.deleteAll();
        records_.clear();
        append(table, memo(1, 9));
        append(table, memo(70000, 10));
        snapshot("emptied");
        return snapshots_;
    }

private:
    std::string name(const std::string& stage) const {
        return (format_ == Format::DBase4 ? "log_" : "sent_") + stage;
    }
    int memoField() const { return format_ == Format::DBase4 ? 3 : 1; }
    std::string memo(std::size_t size, unsigned seed) const {
        return memoBytes(size, seed, unreadable_);
    }

    void append(Table& table, const std::string& memo) {
        const std::string n = std::to_string(records_.size());
        std::vector<std::string> values =
            format_ == Format::DBase4
                ? std::vector<std::string>{"Network", "\\\\server\\in " + n, "/out/" + n, memo,
                                           "Demographics Exported Successfully"}
                : std::vector<std::string>{"CHART" + n, memo};
        table.append(values);
        records_.push_back(values);
    }

    void replace(Table& table, std::uint32_t record, const std::string& memo) {
        table.replaceMemo(record, memoField(), memo);
        records_[record][memoField()] = memo;
    }

    void markDeleted(std::uint32_t record) {
        const std::string bytes = test::readFile(path_);
        test::patchFile(path_, test::le16(bytes, 8) + std::size_t(record) * test::le16(bytes, 10),
                        "*");
        records_.erase(records_.begin() + record);
    }

    void snapshot(const std::string& stage) {
        const std::string memoExtension = format_ == Format::DBase4 ? ".dbt" : ".fpt";
        const std::string copy = folder_.file(name(stage) + ".dbf");
        std::filesystem::copy_file(path_, copy);
        std::filesystem::copy_file(path_.substr(0, path_.size() - 4) + memoExtension,
                                   copy.substr(0, copy.size() - 4) + memoExtension);
        snapshots_.push_back({copy, records_});
    }

    const TempFolder& folder_;
    Format format_;
    std::string unreadable_;
    std::string path_;
    std::vector<std::vector<std::string>> records_;
    std::vector<Snapshot> snapshots_;
};

TEST(DbaseReaders, DbfreadReadsBothTablesAfterEveryKindOfChange) {
    TempFolder folder;
    for (Format format : {Format::DBase4, Format::VisualFoxPro}) {
        const std::vector<Snapshot> snapshots = Scenario(folder, format).run();
        const ReaderOutput read = readWith("dbfread", snapshots);
        if (read.skipped)
            GTEST_SKIP() << read.output;
        EXPECT_EQ(read.output, expectedOutput(snapshots));
    }
}

TEST(DbaseReaders, PythonDbfReadsTheVisualFoxProTable) {
    // python3-dbf reads no dBASE IV memo files (.dbt with length headers), only the FoxPro ones.
    TempFolder folder;
    const std::vector<Snapshot> snapshots = Scenario(folder, Format::VisualFoxPro).run();
    const ReaderOutput read = readWith("dbf", snapshots);
    if (read.skipped)
        GTEST_SKIP() << read.output;
    EXPECT_EQ(read.output, expectedOutput(snapshots));
}

// LibreOffice shows memos as cell text, so the test memos keep to text: no control bytes other
// than the carriage returns that end HL7 segments, which come out as line feeds.
TEST(DbaseReaders, LibreOfficeReadsBothTables) {
    std::string unreadable(kUnreadable);
    for (char c = 0; c < 0x20; ++c)
        if (c != '\r')
            unreadable += c;
    unreadable += '\x7F';
    TempFolder folder;
    std::vector<Snapshot> logs = Scenario(folder, Format::DBase4, unreadable).run();
    std::vector<Snapshot> sent = Scenario(folder, Format::VisualFoxPro, unreadable).run();
    std::vector<Snapshot> all = logs;
    all.insert(all.end(), sent.begin(), sent.end());
    const ReaderOutput read = readWith("soffice", all);
    if (read.skipped)
        GTEST_SKIP() << read.output;

    for (Snapshot& snapshot : logs)
        for (auto& record : snapshot.records)
            std::replace(record[3].begin(), record[3].end(), '\r', '\n');
    // LibreOffice 7.4 reads no Visual FoxPro memo (it takes the binary block number for text),
    // whoever wrote the table; the chart numbers must still come through.
    for (Snapshot& snapshot : sent)
        for (auto& record : snapshot.records)
            record[1].clear();
    std::vector<Snapshot> expected = logs;
    expected.insert(expected.end(), sent.begin(), sent.end());
    EXPECT_EQ(read.output, expectedOutput(expected));
}

} // namespace
} // namespace quillory::dbase
