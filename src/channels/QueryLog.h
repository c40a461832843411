#pragma once

#include "channels/QueryExchange.h"
#include "log/TransferLog.h"

#include <functional>
#include <string>
#include <string_view>

namespace quillory {

// Where a channel reports what its peer never sees: a failed log append, a lost port. The TCP
// channel calls it from its own thread.
using ChannelErrorSink = std::function<void(const std::string& message)>;

// The records the query channels write. TransferType (and CommPort for the serial line) are read
// from the settings file when a record is written, so a change made meanwhile shows at once.
// Thread-safe as far as the log and the switch are; append failures pass as quillory::Error.
class QueryLog {
public:
    QueryLog(TransferLog& log, const LoggingSwitch& logging, std::string settingsPath);

    // An answered query; written only while the logging switch is on.
    void answered(const std::string& port, std::string_view request, const std::string& result);
    // Text that never formed a complete frame; written whatever the switch says.
    void invalid(const std::string& port, std::string_view received);

    std::string setting(std::string_view key) const;

private:
    TransferLog& log_;
    const LoggingSwitch& logging_;
    std::string settingsPath_;
};

} // namespace quillory
