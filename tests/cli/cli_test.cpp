#include "cli/CommandLine.h"

#include "support/CliRunner.h"
#include "support/PracticeBuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillory::cli {
namespace {

using Result = test::CliResult;
using test::runCli;

std::string afterFirstSegment(const std::string& message) {
    return message.substr(message.find('\r') + 1);
}

TEST(Cli, HelpAndCommandLineErrors) {
    const Result help = runCli({"--help"});
    EXPECT_EQ(help.code, Success);
    for (const char* command : {"message CHART", "charts", "table FILE.adt", "demo DIR"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    EXPECT_EQ(runCli({}).code, Usage);
    EXPECT_EQ(runCli({"frobnicate"}).code, Usage);
    EXPECT_EQ(runCli({"--settings"}).code, Usage);
    EXPECT_EQ(runCli({"message"}).code, Usage);
    EXPECT_EQ(runCli({"charts", "--since", "yesterday"}).code, Usage);
    EXPECT_EQ(runCli({"demo", "/tmp/x", "--patients", "many"}).code, Usage);
}

TEST(Cli, MessageAndChartsOnAPractice) {
    test::PracticeBuilder practice;
    test::addWorkedExample(practice);
    const std::string settings = practice.write();

    const Result message = runCli({"--settings", settings, "message", "DOEJO000"});
    EXPECT_EQ(message.code, Success) << message.err;
    EXPECT_EQ(afterFirstSegment(message.out),
              "PID|1||DOEJO000^^^^PATACCT^OFFICE||DOE^JOHN^||19500101|M|||^^^^|||||||DOEJO000|||"
              "||\rGT1|||^^^^||^^^^|^^^^^^|^^^^^^||U|H|21||||||^^^^|^^^^^^|U||\r");

    const Result missing = runCli({"--settings", settings, "message", "NOBODY"});
    EXPECT_EQ(missing.code, Failure);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "Chart Number \"NOBODY\" Not Found!\n");

    const Result all = runCli({"--settings", settings, "charts"});
    EXPECT_EQ(all.code, Success) << all.err;
    EXPECT_EQ(all.out, "DOEJO000\nSMIJA000\nSMIJO000\n");
    const Result since =
        runCli({"--settings", settings, "charts", "--since", "2030-01-01 00:00:00"});
    EXPECT_EQ(since.code, Success) << since.err;
    EXPECT_EQ(since.out, "");
}

TEST(Cli, MissingPracticeFailsWithItsReason) {
    QTemporaryDir dir;
    const std::string settings = dir.path().toStdString() + "/q.NFO";
    QFile file(QString::fromStdString(settings));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Options]\nDataPath=/nonexistent/practice\n");
    file.close();
    const Result charts = runCli({"--settings", settings, "charts"});
    EXPECT_EQ(charts.code, Failure);
    EXPECT_NE(charts.err.find("mwddf.add"), std::string::npos) << charts.err;
}

TEST(Cli, TablePrintsCsvWithHeaderAndEmptyNulls) {
    const Result table =
        runCli({"table", std::string(QUILLORY_SHARED_DIR) + "/fixtures/adt/AbrGru.ADT"});
    ASSERT_EQ(table.code, Success) << table.err;
    EXPECT_EQ(table.out.substr(0, table.out.find("\r\n")),
              "AbrGruId,Such,Bez,AbrKennz,AbrEmpfId,VerrKennz,ZrAbr,PsAbr,OpKennz,OplKennz,"
              "HonKennz,ErstHonLst,FolgHonLst,KassenArt,MtglNrKennz,FAnzeige,MwstAusgl,"
              "DateHidden,Wahlarzt,MwstGrup");
    EXPECT_NE(table.out.find("\r\n8,PRIV,Privat,"), std::string::npos);
    EXPECT_NE(table.out.find(",$00006BD7,"), std::string::npos);
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 10);

    EXPECT_EQ(runCli({"table", "/nonexistent.adt"}).code, Failure);
}

} // namespace
} // namespace quillory::cli
