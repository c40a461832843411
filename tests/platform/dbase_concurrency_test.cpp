// Writers that die mid-append, threads that append at once, readers beside a writer, and the
// exclusive open across processes.

#include "dbase_TestFiles.h"

#include "core/Error.h"
#include "platform/dbase/LocalTables.h"
#include "platform/dbase/Table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillory::dbase {
namespace {

using test::memoBytes;
using test::TempFolder;

std::string newTable(const TempFolder& folder, Format format) {
    const std::string path = folder.file(format == Format::DBase4 ? "log.dbf" : "sent.dbf");
    format == Format::DBase4 ? createLogTable(path) : createSentDataTable(path);
    return path;
}

// Record n of a test table; its memo is mostly short, sometimes empty, now and then 70,000 bytes.
std::vector<std::string> recordFor(Format format, std::uint32_t n) {
    const std::size_t size = n % 9 == 0 ? 0 : n % 40 == 1 ? 70000 : n * 37 % 3000;
    const std::string memo = memoBytes(size, n);
    const std::string key = "R" + std::to_string(n);
    if (format == Format::DBase4)
        return {"TCP", key, "10.0.0.1:" + std::to_string(n), memo, "result " + key};
    return {key, memo};
}

int keyField(Format format) {
    return format == Format::DBase4 ? 1 : 0;
}

// The record's number as its key gives it, which says what its other values must be.
std::uint32_t numberInKey(Format format, const Record& record) {
    return static_cast<std::uint32_t>(std::stoul(record.values[keyField(format)].substr(1)));
}

// Appends recordFor(count) forever; for a child process that is killed.
[[noreturn]] void appendForever(const std::string& path, Format format) {
    try {
        Table table(path, Access::Shared);
        while (true)
            table.append(recordFor(format, table.recordCount()));
    } catch (...) {
    }
    ::_exit(1);
}

// A reader that scans to the end mark instead of trusting the record count (dbfread does) finds
// nothing past the counted records, or one whole record: the one being appended.
void expectNoTornTail(const std::string& path, Format format) {
    const std::string bytes = test::readFile(path);
    const std::uint32_t count = test::le32(bytes, 4);
    const std::size_t length = test::le16(bytes, 10);
    const std::size_t at = test::le16(bytes, 8) + count * length;
    if (at >= bytes.size() || bytes[at] == '\x1A')
        return;
    ASSERT_EQ(bytes[at], ' ') << "after record " << count;
    ASSERT_GE(bytes.size(), at + length) << "after record " << count;
    const std::string key = "R" + std::to_string(count);
    EXPECT_EQ(bytes.substr(at + (format == Format::DBase4 ? 11 : 1), key.size()), key);
}

class DbaseConcurrency : public ::testing::TestWithParam<Format> {};

INSTANTIATE_TEST_SUITE_P(Formats, DbaseConcurrency,
                         ::testing::Values(Format::DBase4, Format::VisualFoxPro),
                         [](const auto& info) {
                             return info.param == Format::DBase4 ? "DBase4" : "VisualFoxPro";
                         });

TEST_P(DbaseConcurrency, KilledWriterLeavesEveryEarlierRecordIntact) {
    const Format format = GetParam();
    TempFolder folder;
    const std::string path = newTable(folder, format);
    std::mt19937 random(12345);
    std::uint32_t before = 0;
    for (int round = 0; round < 50; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            appendForever(path, format);
        ::usleep(std::uniform_int_distribution<useconds_t>(500, 8000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        expectNoTornTail(path, format);

        Table table(path, Access::Shared);
        const std::uint32_t count = table.recordCount();
        ASSERT_GE(count, before) << "round " << round;
        // Every record, old or new, still holds what was written.
        const std::vector<std::string> damaged = table.forEach([&](const Record& record) {
            EXPECT_EQ(record.values, recordFor(format, record.number))
                << "record " << record.number;
            return true;
        });
        EXPECT_TRUE(damaged.empty()) << damaged.front();
        // And the next append works.
        EXPECT_EQ(table.append(recordFor(format, count)), count);
        EXPECT_EQ(table.read(count).values, recordFor(format, count));
        before = count + 1;
    }
    EXPECT_GT(before, 50u) << "the writer never got going";
}

TEST_P(DbaseConcurrency, ThreadsAppendingThroughOneObjectKeepEveryRecordWhole) {
    const Format format = GetParam();
    TempFolder folder;
    const std::string path = newTable(folder, format);
    constexpr std::uint32_t kThreads = 4, kEach = 150;
    {
        Table table(path, Access::Shared);
        std::vector<std::thread> threads;
        for (std::uint32_t t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                for (std::uint32_t i = 0; i < kEach; ++i)
                    table.append(recordFor(format, t * kEach + i));
            });
        for (std::thread& thread : threads)
            thread.join();
    }
    Table table(path, Access::Shared);
    ASSERT_EQ(table.recordCount(), kThreads * kEach);
    std::set<std::uint32_t> keys;
    table.forEach([&](const Record& record) {
        const std::uint32_t n = numberInKey(format, record);
        EXPECT_EQ(record.values, recordFor(format, n)) << "record " << record.number;
        EXPECT_EQ(table.find(keyField(format), "R" + std::to_string(n)), record.number);
        keys.insert(n);
        return true;
    });
    EXPECT_EQ(keys.size(), kThreads * kEach);
}

// A viewer with its own table object reads while a writer appends: in another process, and in
// this process (where the viewer of the tray program lives).
TEST_P(DbaseConcurrency, ReaderBesideAWriterNeverSeesATornRecord) {
    const Format format = GetParam();
    constexpr std::uint32_t kRecords = 300;
    for (bool otherProcess : {true, false}) {
        SCOPED_TRACE(otherProcess ? "writer in another process" : "writer in a thread");
        TempFolder folder;
        const std::string path = newTable(folder, format);
        const auto write = [&] {
            Table table(path, Access::Shared);
            for (std::uint32_t n = 0; n < kRecords; ++n)
                table.append(recordFor(format, n));
        };
        pid_t child = -1;
        std::thread thread;
        if (otherProcess) {
            child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                write();
                ::_exit(0);
            }
        } else {
            thread = std::thread(write);
        }

        Table viewer(path, Access::Shared);
        std::uint32_t seen = 0;
        while (seen < kRecords) {
            seen = 0;
            const std::vector<std::string> damaged = viewer.forEach([&](const Record& record) {
                EXPECT_EQ(record.values, recordFor(format, record.number));
                ++seen;
                return true;
            });
            ASSERT_TRUE(damaged.empty()) << damaged.front();
        }
        if (otherProcess) {
            int status = 0;
            ::waitpid(child, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        } else {
            thread.join();
        }
    }
}

TEST(DbaseProcesses, ExclusiveOpenFailsWhileAnotherProcessHasTheTable) {
    TempFolder folder;
    const std::string path = newTable(folder, Format::DBase4);
    for (Access held : {Access::Shared, Access::Exclusive}) {
        int ready[2], done[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(done), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Table table(path, held);
            char c = 1;
            (void)!::write(ready[1], &c, 1);
            (void)!::read(done[0], &c, 1); // hold the table until told
            ::_exit(0);
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        EXPECT_THROW(Table(path, Access::Exclusive), Error);
        if (held == Access::Exclusive)
            EXPECT_THROW(Table(path, Access::Shared), Error);
        else
            EXPECT_NO_THROW(Table(path, Access::Shared));
        (void)!::write(done[1], &c, 1);
        ::waitpid(child, nullptr, 0);
        EXPECT_NO_THROW(Table(path, Access::Exclusive)); // the lock went with the process
        for (int fd : {ready[0], ready[1], done[0], done[1]})
            ::close(fd);
    }
}

} // namespace
} // namespace quillory::dbase
