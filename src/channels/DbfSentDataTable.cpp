#include "channels/DbfSentDataTable.h"

#include "platform/dbase/LocalTables.h"
#include "platform/dbase/Table.h"
#include "platform/files/FileLookup.h"

namespace quillory {

DbfSentDataTable::DbfSentDataTable(std::string path) : path_(std::move(path)) {
    open();
}

DbfSentDataTable::~DbfSentDataTable() = default;

void DbfSentDataTable::open() {
    table_ = std::make_unique<dbase::Table>(path_, dbase::Access::Shared);
    chartField_ = table_->requireField("CHARTNUM");
    dataField_ = table_->requireField("DATA");
}

std::string DbfSentDataTable::pathBeside(const std::string& settingsPath) {
    return platform::fileBeside(settingsPath, "ZAVPatData.dbf");
}

bool DbfSentDataTable::isEmpty() {
    const std::lock_guard lock(mutex_);
    bool empty = true;
    table_->forEach([&empty](const dbase::Record&) {
        empty = false;
        return false;
    });
    return empty;
}

std::optional<std::string> DbfSentDataTable::find(const std::string& chart) {
    const std::lock_guard lock(mutex_);
    const auto number = table_->find(chartField_, chart);
    if (!number)
        return std::nullopt;
    return table_->read(*number).values.at(dataField_);
}

void DbfSentDataTable::store(const std::string& chart, const std::string& message) {
    const std::lock_guard lock(mutex_);
    if (const auto number = table_->find(chartField_, chart)) {
        table_->replaceMemo(*number, dataField_, message);
        return;
    }
    std::vector<std::string> values(table_->fields().size());
    values[chartField_] = chart;
    values[dataField_] = message;
    table_->append(values);
}

void DbfSentDataTable::ClearSentData() {
    const std::lock_guard lock(mutex_);
    dbase::emptyForGood(table_);
}

} // namespace quillory
