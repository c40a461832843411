#include "cli/CommandLine.h"

#include "support/CliRunner.h"
#include "support/PracticeBuilder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace quillory::cli {
namespace {

using Result = test::CliResult;
using test::runCli;

TEST(ChannelCommands, InitTablesCycleAndLog) {
    test::PracticeBuilder practice;
    test::addWorkedExample(practice);
    const std::string results = practice.root() + "/results";
    QDir().mkpath(QString::fromStdString(results));
    const std::string settings =
        practice.write("TransferType=Network\nNetworkResult=" + results + "\n");

    EXPECT_EQ(runCli({"--settings", settings, "cycle"}).code, Failure); // no tables yet
    const Result init = runCli({"--settings", settings, "init-tables"});
    EXPECT_EQ(init.code, Success) << init.err;
    EXPECT_NE(init.out.find("created "), std::string::npos);
    EXPECT_EQ(runCli({"--settings", settings, "init-tables"}).out.find("created"),
              std::string::npos);

    const Result cycle = runCli({"--settings", settings, "cycle"});
    EXPECT_EQ(cycle.code, Success) << cycle.err;
    EXPECT_EQ(cycle.out.rfind("charts collected 3, files written 3, unchanged 0, failed 0, "
                              "seconds ",
                              0),
              0u)
        << cycle.out;
    EXPECT_TRUE(QFile::exists(QString::fromStdString(results + "/CPLMPL.HL7")));

    const Result again = runCli({"--settings", settings, "cycle"});
    EXPECT_EQ(again.out.rfind("charts collected 0,", 0), 0u) << again.out;

    const Result log = runCli({"--settings", settings, "log"});
    EXPECT_EQ(log.code, Success) << log.err;
    EXPECT_EQ(log.out,
              "Network\t\t" + results + "\tDOEJO000\tDemographics Exported Successfully\n" +
                  "Network\t\t" + results + "\tSMIJA000\tDemographics Exported Successfully\n" +
                  "Network\t\t" + results + "\tSMIJO000\tDemographics Exported Successfully\n");
}

TEST(ChannelCommands, CycleWithUnreachablePracticeLogsAndFails) {
    test::PracticeBuilder practice;
    const std::string settings = practice.write("TransferType=Network\n");
    QFile::remove(QString::fromStdString(practice.folder() + "/mwddf.add"));
    ASSERT_EQ(runCli({"--settings", settings, "init-tables"}).code, Success);
    const Result cycle = runCli({"--settings", settings, "cycle"});
    EXPECT_EQ(cycle.code, Failure);
    EXPECT_NE(cycle.err.find("mwddf.add"), std::string::npos) << cycle.err;
    const Result log = runCli({"--settings", settings, "log"});
    EXPECT_NE(log.out.find("\tGet Patient List\t"), std::string::npos) << log.out;
}

TEST(ChannelCommands, ServeRefusesAnUnknownTransferType) {
    test::PracticeBuilder practice;
    const std::string settings = practice.write("TransferType=serial\n");
    ASSERT_EQ(runCli({"--settings", settings, "init-tables"}).code, Success);
    const Result serve = runCli({"--settings", settings, "serve"});
    EXPECT_EQ(serve.code, Failure);
    EXPECT_NE(serve.err.find("\"serial\""), std::string::npos) << serve.err;
}

} // namespace
} // namespace quillory::cli
