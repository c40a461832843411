#include "core/Error.h"
#include "log/DbfTransferLog.h"
#include "log/LogCommands.h"
#include "platform/dbase/LocalTables.h"
#include "platform/dbase/Table.h"
#include "settings/SettingsFile.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillory {
namespace {

class FakeMenu : public LoggingMenu {
public:
    void setChecked(bool on, bool off) override {
        onChecked = on;
        offChecked = off;
    }
    void setOnEnabled(bool enabled) override { onEnabled = enabled; }
    bool onChecked = false, offChecked = false, onEnabled = true;
};

class LogCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings = dir.path().toStdString() + "/quillory.NFO";
        dbase::createLogTable(DbfTransferLog::pathBeside(settings));
        log = std::make_unique<DbfTransferLog>(DbfTransferLog::pathBeside(settings));
        commands = std::make_unique<LogCommands>(settings, *log, logging, menu, dialogs);
        log->AppendLogRecord("Network", "in", "out", "CHART1",
                             "Demographics Exported Successfully");
    }
    std::size_t records() {
        std::size_t n = 0;
        log->forEach([&n](const DbfTransferLog::Entry&) { ++n; });
        return n;
    }
    std::string setting() { return SettingsFile(settings).ReadString("Options", "Logging", "?"); }

    QTemporaryDir dir;
    std::string settings;
    std::unique_ptr<DbfTransferLog> log;
    LoggingSwitch logging;
    FakeMenu menu;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<LogCommands> commands;
};

TEST_F(LogCommandsTest, SwitchFollowsTheSettingAndWritesIt) {
    struct Case {
        const char* stored;
        bool on;
    };
    for (const Case& c : {Case{nullptr, true}, Case{"1", true}, Case{"0", false},
                          Case{"yes", false}, Case{"", false}}) {
        if (c.stored)
            SettingsFile(settings).WriteString("Options", "Logging", c.stored);
        commands->applyStartupSetting();
        EXPECT_EQ(logging.isOn(), c.on) << (c.stored ? c.stored : "absent");
        EXPECT_EQ(menu.onChecked, c.on);
        EXPECT_EQ(menu.offChecked, !c.on);
    }
    commands->On1Click();
    EXPECT_TRUE(logging.isOn());
    EXPECT_EQ(setting(), "1");
    commands->Off1Click();
    EXPECT_FALSE(logging.isOn());
    EXPECT_TRUE(menu.offChecked);
    EXPECT_EQ(setting(), "0");
}

TEST_F(LogCommandsTest, DeleteEmptiesTheLogAndReenablesOnOnlyForAKnownSetting) {
    struct Case {
        const char* stored;
        bool onEnabled;
    };
    for (const Case& c :
         {Case{nullptr, false}, Case{"1", true}, Case{"0", true}, Case{"x", false}}) {
        if (c.stored)
            SettingsFile(settings).WriteString("Options", "Logging", c.stored);
        dialogs.shown.clear();
        commands->Delete1Click();
        EXPECT_EQ(records(), 0u);
        EXPECT_EQ(menu.onEnabled, c.onEnabled) << (c.stored ? c.stored : "absent");
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].caption, "");
        EXPECT_EQ(dialogs.shown[0].text, "Log Deleted!");
        EXPECT_FALSE(commands->bLogBusy);
    }
    log->AppendLogRecord("TCP", "a", "b", "c", std::string(300, 'r'));
    std::string result;
    log->forEach([&result](const DbfTransferLog::Entry& e) { result = e.result; });
    EXPECT_EQ(result, std::string(254, 'r'));
}

TEST_F(LogCommandsTest, DeleteWhileBusyOnlyClearsTheFlag) {
    commands->bLogBusy = true;
    commands->Delete1Click();
    EXPECT_FALSE(commands->bLogBusy);
    EXPECT_EQ(records(), 1u);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LogCommandsTest, FailedDeleteLeavesOnDisabledAndTheFlagSet) {
    SettingsFile(settings).WriteString("Options", "Logging", "1");
    {
        // Another program holds the table, so it cannot be opened exclusively.
        dbase::Table other(DbfTransferLog::pathBeside(settings), dbase::Access::Shared);
        EXPECT_THROW(commands->Delete1Click(), Error);
        EXPECT_FALSE(menu.onEnabled);
        EXPECT_TRUE(commands->bLogBusy);
        EXPECT_EQ(records(), 1u);
        log->AppendLogRecord("TCP", "a", "b", "c", "still writable");
    }
    commands->Delete1Click(); // only clears the flag
    EXPECT_EQ(records(), 2u);
    commands->Delete1Click();
    EXPECT_EQ(records(), 0u);
    EXPECT_TRUE(menu.onEnabled);
}

} // namespace
} // namespace quillory
