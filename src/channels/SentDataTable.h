#pragma once

#include <optional>
#include <string>

namespace quillory {

// What the network-share cycle remembers of each chart it wrote: the whole message, keyed by
// the chart number exactly as the chart list gave it. Failures throw quillory::Error.
class SentDataTable {
public:
    virtual ~SentDataTable() = default;
    virtual bool isEmpty() = 0;
    // The message last written for chart (exact, case-sensitive match), if any.
    virtual std::optional<std::string> find(const std::string& chart) = 0;
    // Replaces the message of chart, or adds a record for it.
    virtual void store(const std::string& chart, const std::string& message) = 0;
    // Forgets every chart, so that the next cycle is a first run.
    virtual void clear() = 0;
};

} // namespace quillory
