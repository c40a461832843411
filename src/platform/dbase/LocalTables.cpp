#include "platform/dbase/LocalTables.h"

#include "platform/dbase/CreateTable.h"

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

} // namespace quillory::dbase
