#pragma once

#include <string>

namespace quillory {

class Dialogs;
class DbfTransferLog;
class LoggingSwitch;

// The check marks and the enabled state of the tray menu's Logging items.
class LoggingMenu {
public:
    virtual ~LoggingMenu() = default;
    virtual void setChecked(bool onChecked, bool offChecked) = 0;
    virtual void setOnEnabled(bool enabled) = 0;
};

// The Logging submenu's commands: On, Off and Delete.
class LogCommands {
public:
    LogCommands(std::string settingsPath, DbfTransferLog& log, LoggingSwitch& logging,
                LoggingMenu& menu, Dialogs& dialogs);

    // Sets the switch and the check marks from the setting Logging ("1" or absent: on).
    void applyStartupSetting();
    // Write the setting at once (which may throw "Unable to write to ..."), then switch.
    void On1Click();
    void Off1Click();
    // Empties the log. While bLogBusy is set (the viewer is open) it only clears the flag. A
    // failure propagates to the caller and leaves On disabled and bLogBusy set.
    void Delete1Click();

    bool bLogBusy = false;

private:
    std::string settingsPath_;
    DbfTransferLog& log_;
    LoggingSwitch& logging_;
    LoggingMenu& menu_;
    Dialogs& dialogs_;
};

} // namespace quillory
