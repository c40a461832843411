#include "channels/QueryLog.h"

#include "settings/SettingsFile.h"

namespace quillory {

QueryLog::QueryLog(TransferLog& log, const LoggingSwitch& logging, std::string settingsPath)
    : log_(log), logging_(logging), settingsPath_(std::move(settingsPath)) {}

std::string QueryLog::setting(std::string_view key) const {
    return SettingsFile(settingsPath_).ReadString("Options", key, "");
}

void QueryLog::answered(const std::string& port, std::string_view request,
                        const std::string& result) {
    if (!logging_.isOn())
        return;
    log_.AppendLogRecord(setting("TransferType"), port, port, logRequestText(request), result);
}

void QueryLog::invalid(const std::string& port, std::string_view received) {
    log_.AppendLogRecord(setting("TransferType"), port, port, logRequestText(received),
                         std::string(kInvalidRequest));
}

} // namespace quillory
