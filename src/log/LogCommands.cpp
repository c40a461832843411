#include "log/LogCommands.h"

#include "core/Dialogs.h"
#include "log/DbfTransferLog.h"
#include "settings/SettingsFile.h"

namespace quillory {

LogCommands::LogCommands(std::string settingsPath, DbfTransferLog& log, LoggingSwitch& logging,
                         LoggingMenu& menu, Dialogs& dialogs)
    : settingsPath_(std::move(settingsPath)), log_(log), logging_(logging), menu_(menu),
      dialogs_(dialogs) {}

void LogCommands::applyStartupSetting() {
    const bool on = SettingsFile(settingsPath_).ReadString("Options", "Logging", "1") == "1";
    logging_.set(on);
    menu_.setChecked(on, !on);
}

void LogCommands::On1Click() {
    SettingsFile(settingsPath_).WriteString("Options", "Logging", "1");
    menu_.setChecked(true, false);
    logging_.set(true);
}

void LogCommands::Off1Click() {
    SettingsFile(settingsPath_).WriteString("Options", "Logging", "0");
    menu_.setChecked(false, true);
    logging_.set(false);
}

void LogCommands::Delete1Click() {
    if (bLogBusy) {
        bLogBusy = false;
        return;
    }
    menu_.setOnEnabled(false);
    bLogBusy = true;
    log_.deleteAllRecords();
    const std::string logging = SettingsFile(settingsPath_).ReadString("Options", "Logging", "");
    if (logging == "1" || logging == "0")
        menu_.setOnEnabled(true);
    dialogs_.showMessage("", "Log Deleted!");
    bLogBusy = false;
}

} // namespace quillory
