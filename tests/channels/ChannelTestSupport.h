#pragma once

#include "core/Error.h"
#include "log/TransferLog.h"

#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace quillory::test {

struct LogRecord {
    std::string transType, recPort, repPort, request, result;
    bool operator==(const LogRecord&) const = default;
};

// Keeps the records in memory; can be told to refuse appends.
class FakeTransferLog : public TransferLog {
public:
    void AppendLogRecord(const std::string& transType, const std::string& recPort,
                         const std::string& repPort, const std::string& request,
                         const std::string& result) override {
        std::lock_guard lock(mutex_);
        if (failing_)
            throw Error("log.dbf is locked");
        records_.push_back({transType, recPort, repPort, request, result});
    }
    std::vector<LogRecord> records() const {
        std::lock_guard lock(mutex_);
        return records_;
    }
    void setFailing(bool failing) {
        std::lock_guard lock(mutex_);
        failing_ = failing;
    }

private:
    mutable std::mutex mutex_;
    std::vector<LogRecord> records_;
    bool failing_ = false;
};

// A settings file in a temporary folder.
class TempSettings {
public:
    explicit TempSettings(const std::string& options);
    std::string path() const;
    std::string dir() const { return dir_.path().toStdString(); }
    void write(const std::string& options) const;

private:
    QTemporaryDir dir_;
};

// Pumps Qt events of this thread until done() or the timeout; returns done().
bool pumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A query as a laboratory sends it: MSH with MSH-9 QRY^Q01, then QRD (QRD-3 "I"), each segment
// ended by a carriage return.
inline const std::string kQuery = "MSH|^~\\&|LAB|ROR|QUILLORY|PRACTICE|20240101120000||QRY^Q01|"
                                  "MSG00001|P|2.3.1\rQRD|20240101120000|R|I|Q0001|||1^RD|"
                                  "SMIJA000|DEM\r";
// kQuery without its last carriage return: what the peer gets back.
inline const std::string kReply = kQuery.substr(0, kQuery.size() - 1);

inline std::string framed(const std::string& message) {
    return "\x0B" + message + "\x1C\r";
}

} // namespace quillory::test
