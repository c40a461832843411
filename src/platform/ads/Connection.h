#pragma once

#include <memory>
#include <string>
#include <string_view>

struct sqlite3;

namespace quillory::ads {

class AdtTable;

// A connection to a Medisoft data folder: either through its data dictionary file (".add"),
// whose folder holds the tables, or to a folder itself. The dictionary's user rights cannot be
// read without the vendor's engine, so the user name and password are accepted unchecked.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Throws quillory::Error when the dictionary file or folder is missing or unreadable.
    void connect(const std::string& path, const std::string& user = {},
                 const std::string& password = {});
    void disconnect();
    bool isConnected() const;
    const std::string& folder() const; // with a trailing separator

    // Tables opened from now on keep up to bytes of their file in memory (see AdtTable); 0, the
    // default, reads the file every time.
    void setReadCache(std::size_t bytes);

    // The table of the folder named name ("mwpat.adt" or "MWPAT"), letter case ignored. Each
    // table is opened once per connection and shared. Throws quillory::Error.
    std::shared_ptr<AdtTable> table(std::string_view name);

    // The SQL engine over the folder's tables: every .adt file of the folder is a table named
    // after the file without its extension (letter case ignored, as SQL names are). Dates read as
    // 'yyyy-mm-dd', timestamps as 'yyyy-mm-dd hh:nn:ss' ('.zzz' follows when the milliseconds are
    // not zero), so comparisons with such literals and ORDER BY work on the text.
    sqlite3* sql();

private:
    friend class Query;
    // Opens the table file of key for SQL after a statement named it and SQLite knew no such
    // table: its file may have appeared since, or have failed to open (its error is thrown).
    // False when the folder has no such file.
    bool createMissingSqlTable(const std::string& key);

    struct Impl;
    std::unique_ptr<Impl> d;
};

// A SELECT on a connection, walked row by row. Failures throw quillory::Error carrying the SQL
// engine's message.
class Query {
public:
    explicit Query(Connection& connection);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void open(const std::string& sqlText); // runs the statement and moves to its first row
    bool isOpen() const;
    bool eof() const;
    void next();
    void close();
    // The current row's column named name, letter case ignored, as text ("" for null).
    std::string text(std::string_view column) const;
    bool isNull(std::string_view column) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quillory::ads
