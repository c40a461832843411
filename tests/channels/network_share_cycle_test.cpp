#include "channels/DbfSentDataTable.h"
#include "channels/NetworkShareCycle.h"
#include "log/DbfTransferLog.h"
#include "platform/dbase/LocalTables.h"
#include "settings/SettingsFile.h"
#include "support/PracticeBuilder.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::stamp;
using test::text;

const LocalDateTime firstPull{2020, 1, 1, 8, 0, 0, 0};
const LocalDateTime secondPull{2020, 1, 2, 8, 0, 0, 0};

class NetworkShareCycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        addPatient("AAA", "12 ELM ST");
        addPatient("BBB", "1 OAK AVE");
        addPatient("CCC", "9 PINE CT");
        write();
        dbase::createLogTable(DbfTransferLog::pathBeside(settings));
        dbase::createSentDataTable(DbfSentDataTable::pathBeside(settings));
        log = std::make_unique<DbfTransferLog>(DbfTransferLog::pathBeside(settings));
        sent = std::make_unique<DbfSentDataTable>(DbfSentDataTable::pathBeside(settings));
        cycle = std::make_unique<NetworkShareCycle>(settings, *log, *sent, clock);
    }

    void addPatient(const char* chart, const char* street,
                    const LocalDateTime& modified = {2019, 1, 1}) {
        practice.patient({{"Chart Number", text(chart)},
                          {"Last Name", text("DOE")},
                          {"Street 1", text(street)},
                          {"Patient Type", text("Patient")},
                          {"Date Modified", ads::Value::ofTimestamp(modified)}});
    }

    void write() {
        settings = practice.write(
            "TransferType=Network\nNetworkRequest=req\nNetworkResult=" + resultDir() + "\n");
        QDir().mkpath(QString::fromStdString(resultDir()));
    }

    std::string resultDir() const { return practice.root() + "/results"; }

    CycleSummary runAt(const LocalDateTime& when, const KeepGoing& keepGoing = {}) {
        clock.set(when);
        return cycle->FileCheckTimer(keepGoing);
    }

    std::vector<DbfTransferLog::Entry> logEntries() {
        std::vector<DbfTransferLog::Entry> entries;
        log->forEach([&entries](const DbfTransferLog::Entry& e) { entries.push_back(e); });
        return entries;
    }

    QStringList resultFiles() const {
        return QDir(QString::fromStdString(resultDir())).entryList(QDir::Files, QDir::Name);
    }

    std::string readResult(const char* name) const {
        QFile file(QString::fromStdString(resultDir() + "/" + name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        return file.readAll().toStdString();
    }

    LocalDateTime lastPull() const {
        return SettingsFile(settings).ReadDateTime("Options", "Last Pull Date",
                                                   LocalDateTime::zero());
    }

    test::PracticeBuilder practice;
    std::string settings;
    FixedClock clock{firstPull};
    std::unique_ptr<DbfTransferLog> log;
    std::unique_ptr<DbfSentDataTable> sent;
    std::unique_ptr<NetworkShareCycle> cycle;
};

TEST_F(NetworkShareCycleTest, FirstRunWritesEveryMessageIntoOneFile) {
    const CycleSummary summary = runAt(firstPull);
    EXPECT_EQ(summary.collected, 3u);
    EXPECT_EQ(summary.written, 3u);
    EXPECT_EQ(resultFiles(), QStringList{"CPLMPL.HL7"});
    const std::string file = readResult("CPLMPL.HL7");
    EXPECT_EQ(file.find("PID|1||AAA^"), file.find("\rPID|") + 1);
    EXPECT_LT(file.find("PID|1||AAA^"), file.find("PID|1||BBB^"));
    EXPECT_LT(file.find("PID|1||BBB^"), file.find("PID|1||CCC^"));
    EXPECT_EQ(file, *sent->find("AAA") + *sent->find("BBB") + *sent->find("CCC"));
    const auto entries = logEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].transType, "Network");
    EXPECT_EQ(entries[1].recPort, "req");
    EXPECT_EQ(entries[1].repPort, resultDir());
    EXPECT_EQ(entries[1].request, "BBB");
    EXPECT_EQ(entries[1].result, "Demographics Exported Successfully");
    EXPECT_EQ(lastPull(), firstPull);
}

TEST_F(NetworkShareCycleTest, LaterRunsWriteOnlyChangedChartsIntoTheirOwnFiles) {
    runAt(firstPull);
    QFile::remove(QString::fromStdString(resultDir() + "/CPLMPL.HL7"));
    log->deleteAllRecords();
    // AAA is touched without a change (only its header would differ); BBB moves house.
    practice.clearRows();
    addPatient("AAA", "12 ELM ST", {2020, 1, 1, 9});
    addPatient("BBB", "2 NEW RD", {2020, 1, 1, 9});
    addPatient("CCC", "9 PINE CT");
    write();
    SettingsFile(settings).WriteDateTime("Options", "Last Pull Date", firstPull);

    const CycleSummary summary = runAt(secondPull);
    EXPECT_EQ(summary.collected, 2u);
    EXPECT_EQ(summary.unchanged, 1u);
    EXPECT_EQ(summary.written, 1u);
    EXPECT_EQ(resultFiles(), QStringList{"BBB.HL7"});
    EXPECT_NE(readResult("BBB.HL7").find("2 NEW RD"), std::string::npos);
    EXPECT_EQ(*sent->find("BBB"), readResult("BBB.HL7"));
    ASSERT_EQ(logEntries().size(), 1u);
    EXPECT_EQ(logEntries()[0].request, "BBB");
    EXPECT_EQ(lastPull(), secondPull);

    // Nothing changed since: no file, no record; only the pull date moves.
    QFile::remove(QString::fromStdString(resultDir() + "/BBB.HL7"));
    const LocalDateTime third{2020, 1, 3};
    EXPECT_EQ(runAt(third).collected, 0u);
    EXPECT_TRUE(resultFiles().isEmpty());
    EXPECT_EQ(logEntries().size(), 1u);
    EXPECT_EQ(lastPull(), third);
}

TEST_F(NetworkShareCycleTest, StopKeepsWhatWasWrittenAndTheOldPullDate) {
    int charts = 0;
    const CycleSummary summary = runAt(firstPull, [&charts] { return ++charts <= 3 + 2; });
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.written, 2u);
    const std::string file = readResult("CPLMPL.HL7");
    EXPECT_NE(file.find("PID|1||BBB^"), std::string::npos);
    EXPECT_EQ(file.find("PID|1||CCC^"), std::string::npos);
    EXPECT_TRUE(lastPull().isZero());
}

TEST_F(NetworkShareCycleTest, MissingResultFolderLogsButRemembersNothing) {
    QDir(QString::fromStdString(resultDir())).removeRecursively();
    const CycleSummary summary = runAt(firstPull);
    EXPECT_EQ(summary.failed, 3u);
    EXPECT_EQ(logEntries().size(), 3u);
    EXPECT_TRUE(sent->isEmpty());
    EXPECT_EQ(lastPull(), firstPull);
}

TEST_F(NetworkShareCycleTest, FailedCollectionIsLoggedAndKeepsThePullDate) {
    QFile::remove(QString::fromStdString(practice.folder() + "/mwddf.add"));
    const CycleSummary summary = runAt(firstPull);
    EXPECT_TRUE(summary.listFailed);
    const auto entries = logEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].request, "Get Patient List");
    EXPECT_EQ(entries[0].result, summary.listError);
    EXPECT_NE(entries[0].result.find("mwddf.add"), std::string::npos);
    EXPECT_TRUE(lastPull().isZero());
}

// A full disk in the middle of a first run: the charts already in the lost file must not stay
// remembered as sent, so the next cycle starts over as a first run.
TEST_F(NetworkShareCycleTest, FirstRunFileThatCannotBeCompletedIsStartedOverNextTime) {
    practice.clearRows();
    for (int i = 0; i < 300; ++i)
        addPatient(("P" + std::to_string(1000 + i)).c_str(), "12 ELM ST");
    write();
    const std::string mount = "mount -t tmpfs -o size=32k tmpfs '" + resultDir() + "' 2>/dev/null";
    if (std::system(mount.c_str()) != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    const CycleSummary summary = runAt(firstPull);
    std::system(("umount '" + resultDir() + "'").c_str());
    EXPECT_GT(summary.failed, 0u);
    EXPECT_TRUE(sent->isEmpty());
    EXPECT_TRUE(lastPull().isZero());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(resultDir() + "/CPLMPL.HL7")));

    EXPECT_EQ(runAt(secondPull).written, 300u);
    EXPECT_EQ(readResult("CPLMPL.HL7").size(), 300 * sent->find("P1000")->size());
}

// A chart number is never allowed to name a file outside the result folder.
TEST_F(NetworkShareCycleTest, UnsafeChartNumbersAreLoggedNotWritten) {
    sent->store("seed", "x"); // not a first run
    practice.clearRows();
    for (const char* chart : {"../EVIL", "A/B", "..", "OK"})
        addPatient(chart, "1 MAIN ST");
    write();

    const CycleSummary summary = runAt(firstPull);
    EXPECT_EQ(summary.written, 1u);
    EXPECT_EQ(summary.failed, 3u);
    EXPECT_EQ(resultFiles(), QStringList{"OK.HL7"});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(practice.root() + "/EVIL.HL7")));
    int invalid = 0;
    for (const auto& e : logEntries())
        invalid += e.result == "Invalid chart number for a file name";
    EXPECT_EQ(invalid, 3);
    EXPECT_FALSE(sent->find("../EVIL"));
}

} // namespace
} // namespace quillory
