#pragma once

#include "core/LocalDateTime.h"
#include "platform/ads/Connection.h"

#include <functional>
#include <string>
#include <vector>

namespace quillory {

// The chart numbers to send: every patient when the last pull date is zero, else the charts
// whose case changed at or after it, then the patients changed at or after it whose cases did not.
class ChartSelection {
public:
    ChartSelection(ads::Query& query, const std::function<bool()>& keepGoing);

    // Appends to charts. False when keepGoing stopped it (charts then holds the stop text alone).
    // Database failures throw quillory::Error.
    bool collect(std::vector<std::string>& charts, const LocalDateTime& lastPullDate);

    static std::string allPatientsSql();
    static std::string changedCasesSql(const LocalDateTime& since);
    static std::string changedPatientsSql(const LocalDateTime& since);

private:
    bool appendRows(const std::string& sql, std::vector<std::string>& charts);

    ads::Query& query_;
    const std::function<bool()>& keepGoing_;
};

} // namespace quillory
