#pragma once

#include "core/Clock.h"
#include "practice/TfrmDataTransfer.h"

#include <string>

namespace quillory {

class SentDataTable;
class TransferLog;

struct CycleSummary {
    std::size_t collected = 0; // charts in the chart list
    std::size_t written = 0;   // messages written to a result file
    std::size_t unchanged = 0; // charts whose message had not changed
    std::size_t failed = 0;    // charts that could not be built, named or written
    double seconds = 0;
    bool listFailed = false; // the chart list could not be collected
    std::string listError;   // why, as the log records it
    bool stopped = false;    // keepGoing ended it; the last pull date was not moved
    bool skipped = false;    // another cycle was still running
};

// One pull of the network-share channel: the charts changed since the last pull date are built,
// compared with what was last written for them, and the changed ones written into the result
// folder (all into one file on a first run), logged and remembered. Shows nothing to the user:
// outcomes go to the transfer log. Cycles never overlap.
class NetworkShareCycle {
public:
    NetworkShareCycle(std::string settingsPath, TransferLog& log, SentDataTable& sentData,
                      const Clock& clock = TfrmDataTransfer::systemClock());

    // Runs one cycle now; keepGoing is asked before each chart and each selected row. Never
    // throws.
    CycleSummary FileCheckTimer(const KeepGoing& keepGoing = {});

    static constexpr int firstIntervalMs = 10'000;
    static constexpr int intervalMs = 150'000;

private:
    class Run;

    std::string settingsPath_;
    TransferLog& log_;
    SentDataTable& sentData_;
    const Clock& clock_;
    bool running_ = false;
};

} // namespace quillory
