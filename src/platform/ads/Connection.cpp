#include "platform/ads/Connection.h"

#include "core/Error.h"
#include "platform/ads/AdtTable.h"
#include "platform/ads/SqlTables.h"
#include "platform/ads/TableFolder.h"
#include "platform/files/FileLookup.h"

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <sqlite3.h>
#include <unistd.h>

namespace quillory::ads {
namespace fs = std::filesystem;

struct Connection::Impl {
    std::mutex mutex;
    bool connected = false;
    std::string folder;                                      // with a trailing separator
    std::map<std::string, std::shared_ptr<AdtTable>> tables; // by tableKey()
    sqlite3* db = nullptr;
    std::unique_ptr<SqlTables> sqlTables;
    std::size_t readCacheBytes = 0;

    std::shared_ptr<AdtTable> openTable(const std::string& key, std::string_view asked);
    std::shared_ptr<AdtTable> openFile(const std::string& key, const std::string& fileName);
    // Creates the SQL table of key; false when the folder has no such file. Throws the file's
    // error when it cannot be opened.
    bool addSqlTable(const std::string& key);
    void addSqlTable(const std::string& key, const std::string& fileName);
    void openSql();
    void close();
};

namespace {

bool endsWithAdd(const std::string& path) {
    return path.size() >= 4 && toLowerAscii(path.substr(path.size() - 4)) == ".add";
}

bool canOpen(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// The dictionary file as it is on disk: Windows names may differ in letter case.
std::string resolveDictionary(const std::string& path) {
    std::error_code error;
    if (fs::exists(path, error))
        return path;
    const fs::path p(path);
    const auto found =
        platform::findFileIgnoringCase(p.parent_path().string(), p.filename().string());
    return found ? *found : path;
}

std::string folderOfDictionary(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        throw Error("The data dictionary " + path + " does not exist.");
    if (!canOpen(path, O_RDONLY))
        throw Error("The data dictionary " + path + " cannot be read.");
    const std::string parent = fs::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

std::string checkedFolder(const std::string& path) {
    std::error_code error;
    if (!fs::is_directory(path, error))
        throw Error("The data folder " + path + " does not exist.");
    if (!canOpen(path, O_RDONLY | O_DIRECTORY))
        throw Error("The data folder " + path + " cannot be read.");
    return path;
}

} // namespace

std::shared_ptr<AdtTable> Connection::Impl::openTable(const std::string& key,
                                                      std::string_view asked) {
    if (auto it = tables.find(key); it != tables.end())
        return it->second;
    const auto files = listTableFiles(folder);
    const auto file = files.find(key);
    if (key.empty() || file == files.end())
        throw Error("The table " + std::string(asked) + " does not exist in " + folder + ".");
    return openFile(key, file->second);
}

std::shared_ptr<AdtTable> Connection::Impl::openFile(const std::string& key,
                                                     const std::string& fileName) {
    if (auto it = tables.find(key); it != tables.end())
        return it->second;
    auto table = std::make_shared<AdtTable>(folder + fileName, readCacheBytes);
    tables.emplace(key, table);
    return table;
}

bool Connection::Impl::addSqlTable(const std::string& key) {
    const auto files = listTableFiles(folder);
    const auto file = files.find(key);
    if (file == files.end())
        return false;
    addSqlTable(key, file->second);
    return true;
}

void Connection::Impl::addSqlTable(const std::string& key, const std::string& fileName) {
    sqlTables->add(fileName.substr(0, fileName.size() - 4), openFile(key, fileName));
}

void Connection::Impl::openSql() {
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        db = nullptr;
        throw Error("The SQL engine cannot be started: " + message);
    }
    // Without this SQLite reads a misspelt "Column Name" as a string literal, and a WHERE
    // clause on it silently selects nothing.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlTables = std::make_unique<SqlTables>(db);
    // A damaged table must not keep the others from being queried; a statement that names it
    // tries again and reports the file's own error (see Query::open).
    for (const auto& [key, file] : listTableFiles(folder)) {
        try {
            addSqlTable(key, file);
        } catch (const Error&) {
        }
    }
}

void Connection::Impl::close() {
    sqlTables.reset();
    if (db)
        sqlite3_close_v2(db); // statements still open keep it alive until they are finalised
    db = nullptr;
    tables.clear();
    connected = false;
    folder.clear();
}

Connection::Connection() : d(std::make_unique<Impl>()) {}

Connection::~Connection() {
    d->close();
}

void Connection::connect(const std::string& path, const std::string&, const std::string&) {
    const std::lock_guard lock(d->mutex);
    d->close();
    if (path.empty())
        throw Error("No data path is set.");
    std::error_code error;
    const std::string resolved = resolveDictionary(path);
    std::string folder;
    if (fs::is_directory(resolved, error))
        folder = checkedFolder(resolved);
    else if (endsWithAdd(resolved) || fs::exists(resolved, error))
        folder = folderOfDictionary(resolved);
    else
        folder = checkedFolder(resolved);
    d->folder = platform::withTrailingSeparator(folder);
    d->connected = true;
}

void Connection::disconnect() {
    const std::lock_guard lock(d->mutex);
    d->close();
}

void Connection::setReadCache(std::size_t bytes) {
    const std::lock_guard lock(d->mutex);
    d->readCacheBytes = bytes;
}

bool Connection::isConnected() const {
    return d->connected;
}

const std::string& Connection::folder() const {
    return d->folder;
}

std::shared_ptr<AdtTable> Connection::table(std::string_view name) {
    const std::lock_guard lock(d->mutex);
    if (!d->connected)
        throw Error("The database is not connected.");
    return d->openTable(tableKey(name), name);
}

sqlite3* Connection::sql() {
    const std::lock_guard lock(d->mutex);
    if (!d->connected)
        throw Error("The database is not connected.");
    if (!d->db)
        d->openSql();
    return d->db;
}

// ---- Query

struct Query::Impl {
    Connection& connection;
    sqlite3_stmt* statement = nullptr;
    bool eof = true;

    void step();
    int columnOf(std::string_view name) const;
};

namespace {

std::string missingTableOf(const std::string& message) {
    static const std::string prefix = "no such table: ";
    if (message.rfind(prefix, 0) != 0)
        return {};
    std::string name = message.substr(prefix.size());
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(0, dot + 1);
    return tableKey(name);
}

} // namespace

bool Connection::createMissingSqlTable(const std::string& key) {
    const std::lock_guard lock(d->mutex);
    return d->db && d->addSqlTable(key);
}

void Query::Impl::step() {
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        eof = false;
        return;
    }
    eof = true;
    if (rc != SQLITE_DONE)
        throw Error(sqlite3_errmsg(sqlite3_db_handle(statement)));
}

int Query::Impl::columnOf(std::string_view name) const {
    if (!statement)
        throw Error("The query is not open.");
    if (eof)
        throw Error("The query has no current row.");
    const int count = sqlite3_column_count(statement);
    for (int i = 0; i < count; ++i) {
        if (toLowerAscii(sqlite3_column_name(statement, i)) == toLowerAscii(name))
            return i;
    }
    throw Error("Column not found: " + std::string(name));
}

Query::Query(Connection& connection) : d(std::make_unique<Impl>(Impl{connection})) {}

Query::~Query() {
    close();
}

void Query::open(const std::string& sqlText) {
    close();
    Connection& connection = d->connection;
    sqlite3* db = connection.sql();
    // A table that could not be opened earlier, or whose file appeared since, is opened now: its
    // own error says more than "no such table".
    for (int attempt = 0;; ++attempt) {
        if (sqlite3_prepare_v2(db, sqlText.c_str(), int(sqlText.size()), &d->statement, nullptr) ==
            SQLITE_OK)
            break;
        const std::string message = sqlite3_errmsg(db);
        const std::string missing = missingTableOf(message);
        if (missing.empty() || attempt > 64 || !connection.createMissingSqlTable(missing))
            throw Error(message);
    }
    if (!d->statement)
        throw Error("The SQL text holds no statement.");
    try {
        d->step();
    } catch (...) {
        close();
        throw;
    }
}

bool Query::isOpen() const {
    return d->statement != nullptr;
}

bool Query::eof() const {
    return d->eof;
}

void Query::next() {
    if (!d->statement)
        throw Error("The query is not open.");
    if (!d->eof)
        d->step();
}

void Query::close() {
    sqlite3_finalize(d->statement);
    d->statement = nullptr;
    d->eof = true;
}

std::string Query::text(std::string_view column) const {
    const int index = d->columnOf(column);
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(d->statement, index));
    return bytes ? std::string(bytes, std::size_t(sqlite3_column_bytes(d->statement, index)))
                 : std::string();
}

bool Query::isNull(std::string_view column) const {
    return sqlite3_column_type(d->statement, d->columnOf(column)) == SQLITE_NULL;
}

} // namespace quillory::ads
