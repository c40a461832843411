#include "log/DbfTransferLog.h"

#include "platform/dbase/LocalTables.h"
#include "platform/dbase/Table.h"
#include "platform/files/FileLookup.h"

namespace quillory {

namespace {

constexpr const char* fieldNames[] = {"TRANSTYPE", "RECPORT", "REPPORT", "REQUEST", "RESULT"};

} // namespace

DbfTransferLog::DbfTransferLog(std::string path)
    : path_(std::move(path)), table_(std::make_unique<dbase::Table>(path_, dbase::Access::Shared)) {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i] = table_->requireField(fieldNames[i]);
}

DbfTransferLog::~DbfTransferLog() = default;

std::string DbfTransferLog::pathBeside(const std::string& settingsPath) {
    return platform::fileBeside(settingsPath, "log.dbf");
}

void DbfTransferLog::AppendLogRecord(const std::string& transType, const std::string& recPort,
                                     const std::string& repPort, const std::string& request,
                                     const std::string& result) {
    std::vector<std::string> values(table_->fields().size());
    const std::string* texts[] = {&transType, &recPort, &repPort, &request, &result};
    for (std::size_t i = 0; i < fields_.size(); ++i)
        values[fields_[i]] = *texts[i];
    const std::lock_guard lock(mutex_);
    table_->append(values);
}

void DbfTransferLog::deleteAllRecords() {
    const std::lock_guard lock(mutex_);
    dbase::emptyForGood(table_);
}

std::vector<std::string> DbfTransferLog::forEach(const std::function<void(const Entry&)>& visit) {
    const std::lock_guard lock(mutex_);
    return table_->forEach([this, &visit](const dbase::Record& r) {
        const auto& v = r.values;
        visit({v[fields_[0]], v[fields_[1]], v[fields_[2]], v[fields_[3]], v[fields_[4]]});
        return true;
    });
}

} // namespace quillory
