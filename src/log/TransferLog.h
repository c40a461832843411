#pragma once

#include <atomic>
#include <string>

namespace quillory {

// The transfer log as the channels see it. Implementations serialise appends themselves, so
// AppendLogRecord may be called from any thread.
class TransferLog {
public:
    virtual ~TransferLog() = default;
    // Appends one record and writes it to the file at once; texts longer than their field are
    // cut. Throws quillory::Error when the record cannot be written.
    virtual void AppendLogRecord(const std::string& transType, const std::string& recPort,
                                 const std::string& repPort, const std::string& request,
                                 const std::string& result) = 0;
};

// The logging switch (Logging > On / Off). It decides only whether answered queries are logged;
// the query channels read it from their own threads.
class LoggingSwitch {
public:
    explicit LoggingSwitch(bool on = true) : on_(on) {}
    bool isOn() const { return on_.load(std::memory_order_relaxed); }
    void set(bool on) { on_.store(on, std::memory_order_relaxed); }

private:
    std::atomic<bool> on_;
};

} // namespace quillory
