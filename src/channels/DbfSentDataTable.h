#pragma once

#include "channels/SentDataTable.h"

#include <memory>
#include <mutex>
#include <string>

namespace quillory {

namespace dbase {
class Table;
}

// The sent-data table "ZAVPatData.dbf" beside the settings file, open in shared mode.
class DbfSentDataTable : public SentDataTable {
public:
    // Opens the table; throws quillory::Error when it is missing or damaged.
    explicit DbfSentDataTable(std::string path);
    ~DbfSentDataTable() override;

    static std::string pathBeside(const std::string& settingsPath);

    bool isEmpty() override;
    std::optional<std::string> find(const std::string& chart) override;
    void store(const std::string& chart, const std::string& message) override;
    void clear() override { ClearSentData(); }

    // Empties the table for good (exclusive open, delete all, pack, shared again), so that the
    // next cycle is a first run. Throws when another program holds the table.
    void ClearSentData();

private:
    void open();

    std::string path_;
    std::mutex mutex_;
    std::unique_ptr<dbase::Table> table_;
    int chartField_ = -1, dataField_ = -1;
};

} // namespace quillory
