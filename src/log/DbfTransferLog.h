#pragma once

#include "log/TransferLog.h"

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quillory {

namespace dbase {
class Table;
}

// The transfer log "log.dbf" beside the settings file, open in shared mode. Appends, deletion and
// reading are serialised by one mutex here and by file locks against other processes.
class DbfTransferLog : public TransferLog {
public:
    // Opens the table; throws quillory::Error when it is missing or damaged.
    explicit DbfTransferLog(std::string path);
    ~DbfTransferLog() override;

    static std::string pathBeside(const std::string& settingsPath);

    void AppendLogRecord(const std::string& transType, const std::string& recPort,
                         const std::string& repPort, const std::string& request,
                         const std::string& result) override;

    // Empties the table for good: reopened exclusively, every record removed, packed, then opened
    // shared again. Throws when another program holds the table.
    void deleteAllRecords();

    struct Entry {
        std::string transType, recPort, repPort, request, result;
    };
    // Calls visit for each record in table order; returns the damage found, one text per record
    // that was skipped. visit must not use this log.
    std::vector<std::string> forEach(const std::function<void(const Entry&)>& visit);

private:
    std::string path_;
    std::mutex mutex_;
    std::unique_ptr<dbase::Table> table_;
    std::array<int, 5> fields_{}; // positions of TRANSTYPE, RECPORT, REPPORT, REQUEST, RESULT
};

} // namespace quillory
