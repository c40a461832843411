#pragma once

#include "platform/dbase/DbfTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace quillory::dbase {

// The transfer log "log.dbf" (dBASE IV, .dbt memo): TRANSTYPE C(10), RECPORT C(100),
// REPPORT C(100), REQUEST memo, RESULT C(254).
std::vector<Field> logTableFields();
// The sent-data table "ZAVPatData.dbf" (Visual FoxPro, .fpt memo): CHARTNUM C(20), DATA memo.
std::vector<Field> sentDataTableFields();

class Table;

// Empties a table for good: closes it, removes every record with exclusive access, packs it and
// opens it shared again, also when emptying failed (another program holds it), then rethrows.
void emptyForGood(std::unique_ptr<Table>& table);

// Create the empty tables; see createTable().
void createLogTable(const std::string& path);
void createSentDataTable(const std::string& path);

} // namespace quillory::dbase
