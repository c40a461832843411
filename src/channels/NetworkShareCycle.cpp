#include "channels/NetworkShareCycle.h"

#include "channels/ResultFileName.h"
#include "channels/ResultFolder.h"
#include "channels/SentDataTable.h"
#include "log/TransferLog.h"
#include "settings/SettingsFile.h"

#include <chrono>

namespace quillory {

namespace {

constexpr const char* exportedText = "Demographics Exported Successfully";
constexpr const char* invalidNameText = "Invalid chart number for a file name";

// The cycle shows nothing to the user; an unusable practice shows up as the collection's or the
// build's error text in the log.
class SilentErrorReport : public ErrorReport {
public:
    void showError(const std::string&) override {}
};

} // namespace

// The state of one cycle; the settings it logs are read once at its start.
class NetworkShareCycle::Run {
public:
    Run(NetworkShareCycle& cycle, const KeepGoing& keepGoing)
        : cycle_(cycle), keepGoing_(keepGoing), settings_(cycle.settingsPath_),
          transferType_(settings_.ReadString("Options", "TransferType", "")),
          request_(settings_.ReadString("Options", "NetworkRequest", "")),
          result_(settings_.ReadString("Options", "NetworkResult", "")), folder_(result_) {}

    void execute(CycleSummary& summary);

private:
    bool stopRequested() const { return keepGoing_ && !keepGoing_(); }
    void log(const std::string& request, const std::string& result) {
        cycle_.log_.AppendLogRecord(transferType_, request_, result_, request, result);
    }
    enum class Outcome { Written, Unchanged, Failed };

    bool changed(const std::string& chart, const std::string& message);
    bool finishFirstRunFile();
    Outcome sendChart(TfrmDataTransfer& practice, const std::string& chart);
    void handleChart(TfrmDataTransfer& practice, const std::string& chart, CycleSummary& summary);
    void writeMessage(const std::string& chart, const std::string& message);

    NetworkShareCycle& cycle_;
    const KeepGoing& keepGoing_;
    SettingsFile settings_;
    std::string transferType_, request_, result_;
    ResultFolder folder_;
    bool firstRun_ = false;
    SilentErrorReport silent_;
};

void NetworkShareCycle::Run::execute(CycleSummary& summary) {
    const LocalDateTime lastPull =
        settings_.ReadDateTime("Options", "Last Pull Date", LocalDateTime::zero());
    const LocalDateTime start = cycle_.clock_.now();
    try {
        firstRun_ = cycle_.sentData_.isEmpty();
    } catch (const std::exception&) {
        firstRun_ = false; // an unreadable table must not turn into one file of everything
    }
    std::vector<std::string> charts;
    bool collected = false;
    {
        TfrmDataTransfer selection(cycle_.settingsPath_, silent_, cycle_.clock_);
        collected = selection.CollectChartNumbers(charts, lastPull, keepGoing_);
    }
    if (!collected) {
        summary.stopped = charts.size() == 1 && charts.front() == TfrmDataTransfer::stoppedText();
        summary.listFailed = !summary.stopped;
        if (summary.listFailed) {
            summary.listError = charts.empty() ? std::string() : charts.front();
            log("Get Patient List", summary.listError);
        }
        return;
    }
    summary.collected = charts.size();
    if (!charts.empty()) {
        TfrmDataTransfer practice(cycle_.settingsPath_, silent_, cycle_.clock_);
        for (const std::string& chart : charts) {
            if (stopRequested()) {
                summary.stopped = true;
                finishFirstRunFile(); // keeps what was written so far
                return;
            }
            handleChart(practice, chart, summary);
        }
        if (!finishFirstRunFile())
            return;
    }
    settings_.WriteDateTime("Options", "Last Pull Date", start);
}

// Charts remembered as sent whose messages went down with the first-run file would never be sent
// again; forgetting them all, and the pull date staying, makes the next cycle a first run again.
bool NetworkShareCycle::Run::finishFirstRunFile() {
    try {
        folder_.finishFirstRunFile();
    } catch (const std::exception&) {
    }
    if (!folder_.firstRunMessagesLost())
        return true;
    try {
        cycle_.sentData_.clear();
    } catch (const std::exception&) {
        // Nothing better is left: the log shows what was exported.
    }
    return false;
}

bool NetworkShareCycle::Run::changed(const std::string& chart, const std::string& message) {
    try {
        const auto stored = cycle_.sentData_.find(chart);
        return !stored || !sameMessageAfterHeader(*stored, message);
    } catch (const std::exception&) {
        return true;
    }
}

void NetworkShareCycle::Run::handleChart(TfrmDataTransfer& practice, const std::string& chart,
                                         CycleSummary& summary) {
    Outcome outcome = Outcome::Failed;
    try {
        outcome = sendChart(practice, chart);
    } catch (const std::exception&) {
        // A failed log append ends the work on this chart.
    }
    switch (outcome) {
    case Outcome::Written:
        ++summary.written;
        break;
    case Outcome::Unchanged:
        ++summary.unchanged;
        break;
    case Outcome::Failed:
        ++summary.failed;
        break;
    }
}

NetworkShareCycle::Run::Outcome NetworkShareCycle::Run::sendChart(TfrmDataTransfer& practice,
                                                                  const std::string& chart) {
    std::string message = chart;
    if (!practice.BuildDemographicsMessage(message)) {
        log(chart, message);
        return Outcome::Failed;
    }
    if (!changed(chart, message))
        return Outcome::Unchanged;
    if (!firstRun_ && !resultFileName(chart)) {
        log(chart, invalidNameText);
        return Outcome::Failed;
    }
    log(chart, exportedText);
    try {
        writeMessage(chart, message);
    } catch (const std::exception&) {
        return Outcome::Failed; // not remembered, so it is sent when next collected
    }
    try {
        cycle_.sentData_.store(chart, message);
    } catch (const std::exception&) {
        // The chart counts as changed the next time it is collected.
    }
    return Outcome::Written;
}

void NetworkShareCycle::Run::writeMessage(const std::string& chart, const std::string& message) {
    if (firstRun_)
        folder_.appendToFirstRunFile(message);
    else
        folder_.writeFile(*resultFileName(chart), message);
}

NetworkShareCycle::NetworkShareCycle(std::string settingsPath, TransferLog& log,
                                     SentDataTable& sentData, const Clock& clock)
    : settingsPath_(std::move(settingsPath)), log_(log), sentData_(sentData), clock_(clock) {}

CycleSummary NetworkShareCycle::FileCheckTimer(const KeepGoing& keepGoing) {
    CycleSummary summary;
    if (running_) {
        summary.skipped = true;
        return summary;
    }
    running_ = true;
    const auto started = std::chrono::steady_clock::now();
    try {
        Run(*this, keepGoing).execute(summary);
    } catch (const std::exception&) {
        // Nothing is shown; the next cycle tries again.
    }
    running_ = false;
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return summary;
}

} // namespace quillory
