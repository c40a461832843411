#pragma once

#include "core/Clock.h"
#include "core/LocalDateTime.h"
#include "practice/ErrorReport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillory {

// Asked before each chart or row of long work; false stops it (Exit, SIGINT).
using KeepGoing = std::function<bool()>;

// The practice data object: opens the practice named by the settings file's DataPath when it is
// created and keeps its connection and tables for its lifetime. A failure to open is shown
// through errors; the object still exists and its operations then fail with a text.
class TfrmDataTransfer {
public:
    TfrmDataTransfer(const std::string& settingsPath, ErrorReport& errors,
                     const Clock& clock = systemClock());
    ~TfrmDataTransfer();
    TfrmDataTransfer(const TfrmDataTransfer&) = delete;
    TfrmDataTransfer& operator=(const TfrmDataTransfer&) = delete;

    // On entry text holds a chart number; on return the ADT^A28 message (true) or the error
    // text (false). Never throws.
    bool BuildDemographicsMessage(std::string& text);

    // Fills charts with the chart numbers changed since lastPullDate (every patient when it is
    // zero). False when the selection failed (charts then holds the error text alone) or was
    // stopped by keepGoing (charts then holds stoppedText()). Never throws.
    bool CollectChartNumbers(std::vector<std::string>& charts, const LocalDateTime& lastPullDate,
                             const KeepGoing& keepGoing = {});

    static const char* stoppedText();
    static const Clock& systemClock();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quillory
