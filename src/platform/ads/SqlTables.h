#pragma once

#include <memory>
#include <string>

struct sqlite3;

namespace quillory::ads {

class AdtTable;

// Exposes Advantage tables to SQLite as read-only virtual tables. Column names are the field
// names; values are typed as the header of Connection.h describes. An equality constraint on a
// character or integer column is answered through the table's in-memory key index.
class SqlTables {
public:
    // Registers the "adt" module on db, which must outlive this object's tables.
    explicit SqlTables(sqlite3* db);
    ~SqlTables();
    SqlTables(const SqlTables&) = delete;
    SqlTables& operator=(const SqlTables&) = delete;

    // CREATE VIRTUAL TABLE sqlName over table. Throws quillory::Error with SQLite's message.
    void add(const std::string& sqlName, std::shared_ptr<AdtTable> table);

    struct Registry;

private:
    sqlite3* db_;
    Registry* registry_; // owned by the module, which SQLite destroys with db
};

// name as a quoted SQL identifier.
std::string quoteIdentifier(const std::string& name);

} // namespace quillory::ads
