#pragma once

#include "log/TransferLog.h"

#include <functional>
#include <ostream>
#include <string>

namespace quillory::cli {

// Run the TCP or the serial query channel headless until keepGoing() returns false; it is asked
// about every 100 ms. They need a QCoreApplication and run on its thread. Return 0, or 1 with a
// message on err when the channel cannot be started (TCPPort or CommPort unusable) or the serial
// port is lost. Failures the peer never sees (a log append) are written to err as they happen.
int serveTcp(const std::string& settingsPath, TransferLog& log, LoggingSwitch& logging,
             std::ostream& err, const std::function<bool()>& keepGoing);
int serveSerial(const std::string& settingsPath, TransferLog& log, LoggingSwitch& logging,
                std::ostream& err, const std::function<bool()>& keepGoing);

} // namespace quillory::cli
