#include "platform/ads/SqlTables.h"

#include "core/Error.h"
#include "platform/ads/AdtCalendar.h"
#include "platform/ads/AdtTable.h"
#include "platform/ads/FieldDecoder.h"
#include "platform/ads/RecordScanner.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <sqlite3.h>
#include <vector>

namespace quillory::ads {

struct SqlTables::Registry {
    std::vector<std::shared_ptr<AdtTable>> tables; // indexed by the module argument
};

namespace {

enum class SqlKind { Text, NoCaseText, Integer, Real, Blob };

SqlKind sqlKindOf(const FieldDef& field) {
    switch (field.type) {
    case FieldType::CiCharacter:
        return SqlKind::NoCaseText;
    case FieldType::Integer:
    case FieldType::ShortInteger:
    case FieldType::AutoIncrement:
    case FieldType::RowVersion:
        return SqlKind::Integer;
    case FieldType::Numeric:
        return field.decimals == 0 ? SqlKind::Integer : SqlKind::Real;
    case FieldType::Double:
    case FieldType::CurrencyDouble:
    case FieldType::Money:
        return SqlKind::Real;
    case FieldType::Binary:
    case FieldType::Image:
        return SqlKind::Blob;
    default:
        return SqlKind::Text;
    }
}

const char* declaredType(SqlKind kind) {
    switch (kind) {
    case SqlKind::Text:
        return "TEXT";
    case SqlKind::NoCaseText:
        return "TEXT COLLATE NOCASE";
    case SqlKind::Integer:
        return "INTEGER";
    case SqlKind::Real:
        return "REAL";
    case SqlKind::Blob:
        return "BLOB";
    }
    return "";
}

bool isCharacterField(const FieldDef& field) {
    return field.type == FieldType::Character || field.type == FieldType::CiCharacter;
}

bool isIntegerField(const FieldDef& field) {
    return field.type == FieldType::Integer || field.type == FieldType::ShortInteger ||
           field.type == FieldType::AutoIncrement;
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? char(c | 0x20) : c;
    return text;
}

std::string schemaOf(const AdtTable& table) {
    std::string sql = "CREATE TABLE x(";
    std::set<std::string> used;
    for (const FieldDef& field : table.fields()) {
        // SQL column names must differ in more than letter case.
        std::string name = field.name;
        for (int n = 2; !used.insert(lowerAscii(name)).second; ++n)
            name = field.name + "_" + std::to_string(n);
        if (used.size() > 1)
            sql += ", ";
        sql += quoteIdentifier(name) + " " + declaredType(sqlKindOf(field));
    }
    return sql + ")";
}

struct VirtualTable : sqlite3_vtab {
    std::shared_ptr<AdtTable> table;
};

struct Cursor : sqlite3_vtab_cursor {
    std::shared_ptr<AdtTable> table;
    Record record;
    std::optional<RecordScanner> scanner; // full scans
    std::vector<std::uint32_t> slots;     // index lookups
    std::size_t position = 0;
    bool eof = true;
};

int fail(sqlite3_vtab* vtab, const char* message) {
    sqlite3_free(vtab->zErrMsg);
    vtab->zErrMsg = sqlite3_mprintf("%s", message);
    return SQLITE_ERROR;
}

int connect(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out,
            char** error) {
    auto* registry = static_cast<SqlTables::Registry*>(aux);
    const std::size_t id = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : registry->tables.size();
    if (id >= registry->tables.size()) {
        *error = sqlite3_mprintf("no Advantage table was registered for this name");
        return SQLITE_ERROR;
    }
    auto vtab = std::make_unique<VirtualTable>();
    vtab->table = registry->tables[id];
    try {
        const int rc = sqlite3_declare_vtab(db, schemaOf(*vtab->table).c_str());
        if (rc != SQLITE_OK)
            return rc;
    } catch (const std::exception& e) {
        *error = sqlite3_mprintf("%s", e.what());
        return SQLITE_ERROR;
    }
    *out = vtab.release();
    return SQLITE_OK;
}

int disconnect(sqlite3_vtab* vtab) {
    delete static_cast<VirtualTable*>(vtab);
    return SQLITE_OK;
}

bool indexableCollation(const char* collation) {
    // Lookups match case-blind and ignore trailing blanks, a superset of these collations; SQLite
    // checks each row again.
    return collation == nullptr || sqlite3_stricmp(collation, "BINARY") == 0 ||
           sqlite3_stricmp(collation, "NOCASE") == 0 || sqlite3_stricmp(collation, "RTRIM") == 0;
}

int bestIndex(sqlite3_vtab* vtab, sqlite3_index_info* info) {
    const AdtTable& table = *static_cast<VirtualTable*>(vtab)->table;
    const auto& fields = table.fields();
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& c = info->aConstraint[i];
        if (!c.usable || c.op != SQLITE_INDEX_CONSTRAINT_EQ || c.iColumn < 0)
            continue;
        const FieldDef& field = fields[std::size_t(c.iColumn)];
        if (!(isCharacterField(field) || isIntegerField(field)) ||
            !indexableCollation(sqlite3_vtab_collation(info, i)))
            continue;
        info->aConstraintUsage[i].argvIndex = 1;
        info->aConstraintUsage[i].omit = 0;
        info->idxNum = c.iColumn + 1;
        info->estimatedCost = 10;
        info->estimatedRows = 2;
        return SQLITE_OK;
    }
    info->idxNum = 0;
    info->estimatedCost = 1000.0 + table.slotCount();
    info->estimatedRows = std::max<sqlite3_int64>(1, table.slotCount());
    return SQLITE_OK;
}

int open(sqlite3_vtab* vtab, sqlite3_vtab_cursor** out) {
    auto cursor = std::make_unique<Cursor>();
    cursor->table = static_cast<VirtualTable*>(vtab)->table;
    *out = cursor.release();
    return SQLITE_OK;
}

int close(sqlite3_vtab_cursor* cursor) {
    delete static_cast<Cursor*>(cursor);
    return SQLITE_OK;
}

// Moves to the next live record of the scan or of the looked-up slots.
void advance(Cursor& c) {
    if (c.scanner) {
        c.eof = !c.scanner->next(c.record);
        return;
    }
    while (c.position < c.slots.size()) {
        if (c.table->read(c.slots[c.position++], c.record))
            return;
    }
    c.eof = true;
}

// The key to look up, or nothing when the value's type could compare in a way the index does
// not model (SQLite's affinity rules); the cursor then scans.
std::optional<std::string> lookupKeyOf(const FieldDef& field, sqlite3_value* value) {
    const int type = sqlite3_value_type(value);
    if (isCharacterField(field) && type == SQLITE_TEXT)
        return std::string(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                           std::size_t(sqlite3_value_bytes(value)));
    if (isIntegerField(field) && type == SQLITE_INTEGER)
        return std::to_string(sqlite3_value_int64(value));
    return std::nullopt;
}

int filter(sqlite3_vtab_cursor* base, int idxNum, const char*, int argc, sqlite3_value** argv) {
    auto& c = *static_cast<Cursor*>(base);
    try {
        c.scanner.reset();
        c.slots.clear();
        c.position = 0;
        c.eof = false;
        std::optional<std::string> key;
        if (idxNum > 0 && argc == 1) {
            if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
                c.eof = true; // nothing equals NULL
                return SQLITE_OK;
            }
            key = lookupKeyOf(c.table->fields()[std::size_t(idxNum - 1)], argv[0]);
        }
        if (key)
            c.table->findCandidates(idxNum - 1, *key, c.slots);
        // SQLite checks every row it is given, so candidates need no check here; but a key that
        // most rows share is read faster by a scan than by a read per row.
        if (!key || c.slots.size() > std::max<std::size_t>(64, c.table->slotCount() / 16)) {
            c.slots.clear();
            c.scanner.emplace(*c.table);
        }
        advance(c);
        return SQLITE_OK;
    } catch (const std::exception& e) {
        c.eof = true;
        return fail(base->pVtab, e.what());
    }
}

int next(sqlite3_vtab_cursor* base) {
    auto& c = *static_cast<Cursor*>(base);
    try {
        advance(c);
        return SQLITE_OK;
    } catch (const std::exception& e) {
        c.eof = true;
        return fail(base->pVtab, e.what());
    }
}

int eof(sqlite3_vtab_cursor* base) {
    return static_cast<Cursor*>(base)->eof ? 1 : 0;
}

void resultText(sqlite3_context* ctx, const char* text, int length) {
    sqlite3_result_text(ctx, text, length, SQLITE_TRANSIENT);
}

void resultDateTime(sqlite3_context* ctx, FieldType type, const std::optional<LocalDateTime>& t) {
    if (!t)
        return sqlite3_result_null(ctx);
    char buffer[32];
    const bool withMsec = t->msec != 0;
    const int length = type == FieldType::Date   ? formatDate(*t, buffer)
                       : type == FieldType::Time ? formatTime(*t, withMsec, buffer)
                                                 : formatDateTime(*t, withMsec, buffer);
    resultText(ctx, buffer, length);
}

void resultValue(sqlite3_context* ctx, const Value& value) {
    switch (value.kind) {
    case Value::Kind::Null:
        return sqlite3_result_null(ctx);
    case Value::Kind::Integer:
        return sqlite3_result_int64(ctx, value.integer);
    case Value::Kind::Real:
        return sqlite3_result_double(ctx, value.real);
    case Value::Kind::Bytes:
        return sqlite3_result_blob64(ctx, value.text.data(), value.text.size(), SQLITE_TRANSIENT);
    default:
        return sqlite3_result_text64(ctx, value.text.data(), value.text.size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
    }
}

void resultField(sqlite3_context* ctx, const Record& record, int index, const FieldDef& field) {
    switch (field.type) {
    case FieldType::Character:
    case FieldType::CiCharacter: {
        if (record.isNull(index))
            return sqlite3_result_null(ctx);
        const std::string_view text = record.chars(index);
        return resultText(ctx, text.data(), int(text.size()));
    }
    case FieldType::Logical: {
        const Value value = record.value(index);
        if (value.isNull())
            return sqlite3_result_null(ctx);
        return resultText(ctx, value.integer ? "T" : "F", 1);
    }
    case FieldType::Time: {
        const Value value = record.value(index);
        return resultDateTime(ctx, field.type,
                              value.isNull() ? std::nullopt : std::optional(value.dateTime));
    }
    case FieldType::Date:
    case FieldType::Timestamp:
    case FieldType::ModTime:
        return resultDateTime(ctx, field.type, record.dateTime(index));
    default:
        return resultValue(ctx, record.value(index));
    }
}

int column(sqlite3_vtab_cursor* base, sqlite3_context* ctx, int index) {
    auto& c = *static_cast<Cursor*>(base);
    try {
        const FieldDef& field = c.table->fields()[std::size_t(index)];
        resultField(ctx, c.record, index, field);
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
    return SQLITE_OK;
}

int rowid(sqlite3_vtab_cursor* base, sqlite3_int64* out) {
    *out = static_cast<Cursor*>(base)->record.slot();
    return SQLITE_OK;
}

// Read-only: no xUpdate, no transactions. Filled by name so that newer SQLite headers, which add
// members at the end, need no change here.
const sqlite3_module& adtModule() {
    static const sqlite3_module module = [] {
        sqlite3_module m{};
        m.xCreate = connect;
        m.xConnect = connect;
        m.xBestIndex = bestIndex;
        m.xDisconnect = disconnect;
        m.xDestroy = disconnect;
        m.xOpen = open;
        m.xClose = close;
        m.xFilter = filter;
        m.xNext = next;
        m.xEof = eof;
        m.xColumn = column;
        m.xRowid = rowid;
        return m;
    }();
    return module;
}

} // namespace

std::string quoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

SqlTables::SqlTables(sqlite3* db) : db_(db), registry_(new Registry) {
    const int rc = sqlite3_create_module_v2(db, "adt", &adtModule(), registry_,
                                            [](void* p) { delete static_cast<Registry*>(p); });
    if (rc != SQLITE_OK)
        throw Error(std::string("The SQL engine cannot be set up: ") + sqlite3_errmsg(db));
}

SqlTables::~SqlTables() = default;

void SqlTables::add(const std::string& sqlName, std::shared_ptr<AdtTable> table) {
    registry_->tables.push_back(std::move(table));
    const std::string sql = "CREATE VIRTUAL TABLE " + quoteIdentifier(sqlName) + " USING adt(" +
                            std::to_string(registry_->tables.size() - 1) + ")";
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        registry_->tables.pop_back();
        throw Error(message);
    }
}

} // namespace quillory::ads
