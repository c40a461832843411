#include "platform/dbase/LocalTables.h"

#include "platform/dbase/CreateTable.h"
#include "platform/dbase/Table.h"

namespace quillory::dbase {

std::vector<Field> logTableFields() {
    return {{"TRANSTYPE", FieldType::Character, 10},
            {"RECPORT", FieldType::Character, 100},
            {"REPPORT", FieldType::Character, 100},
            {"REQUEST", FieldType::Memo, 0},
            {"RESULT", FieldType::Character, 254}};
}

std::vector<Field> sentDataTableFields() {
    return {{"CHARTNUM", FieldType::Character, 20}, {"DATA", FieldType::Memo, 0}};
}

void createLogTable(const std::string& path) {
    createTable(path, Format::DBase4, logTableFields());
}

void createSentDataTable(const std::string& path) {
    createTable(path, Format::VisualFoxPro, sentDataTableFields());
}

void emptyForGood(std::unique_ptr<Table>& table) {
    const std::string path = table->path();
    table.reset();
    try {
        Table exclusive(path, Access::Exclusive);
        exclusive.deleteAll();
        exclusive.pack();
    } catch (...) {
        table = std::make_unique<Table>(path, Access::Shared);
        throw;
    }
    table = std::make_unique<Table>(path, Access::Shared);
}

} // namespace quillory::dbase
