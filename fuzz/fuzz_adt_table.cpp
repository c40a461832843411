// Opens arbitrary bytes as a table with its memo file and reads everything a caller can: every
// field of every record, lookups through the key index and one SQL scan. Errors are expected;
// crashes, over-reads and undefined behaviour are not.
#include "FuzzInput.h"

#include "core/Error.h"
#include "platform/ads/AdtTable.h"
#include "platform/ads/SqlTables.h"

#include <sqlite3.h>

using namespace quillory;
using namespace quillory::ads;

namespace {

void readAllFields(const AdtTable& table, std::string& firstKey) {
    Record record;
    for (std::uint32_t slot = 0; slot < table.slotCount(); ++slot) {
        table.read(slot, record);
        for (int field = 0; field < int(table.fields().size()); ++field) {
            record.isNull(field);
            record.chars(field);
            record.dateTime(field);
            try {
                const std::string text = record.text(field);
                record.value(field);
                if (slot == 0 && field == 0)
                    firstKey = text;
            } catch (const Error&) {
                // a damaged memo pointer
            }
        }
    }
}

void lookUp(const AdtTable& table, const std::string& key) {
    std::vector<std::uint32_t> slots;
    const int fields = std::min<int>(int(table.fields().size()), 3);
    for (int field = 0; field < fields; ++field) {
        try {
            table.find(field, key, false, slots);
            table.find(field, key, true, slots);
        } catch (const Error&) {
        }
    }
}

void scanThroughSql(std::shared_ptr<AdtTable> table, const std::string& key) {
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK) {
        sqlite3_close(db);
        return;
    }
    try {
        SqlTables tables(db);
        const std::string firstColumn = quoteIdentifier(table->fields().front().name);
        tables.add("t", std::move(table));
        for (const std::string& sql :
             {std::string("SELECT * FROM t"), "SELECT * FROM t WHERE " + firstColumn + " = ?"}) {
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
                sqlite3_bind_text(stmt, 1, key.data(), int(key.size()), SQLITE_TRANSIENT);
                while (sqlite3_step(stmt) == SQLITE_ROW) {
                    for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                        sqlite3_column_text(stmt, i);
                }
            }
            sqlite3_finalize(stmt);
        }
    } catch (const Error&) {
    }
    sqlite3_close(db);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input = FuzzInput::split(data, size);
    std::shared_ptr<AdtTable> table;
    try {
        table = AdtTable::fromBytes("fuzz.adt", std::move(input.table), std::move(input.memo));
    } catch (const Error&) {
        return 0;
    }
    std::string key;
    try {
        readAllFields(*table, key);
    } catch (const Error&) {
        return 0;
    }
    lookUp(*table, key);
    scanThroughSql(table, key);
    return 0;
}
