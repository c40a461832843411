#pragma once

#include "platform/dbase/DbfTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory::dbase {

// One record as read from a table.
struct Record {
    std::uint32_t number = 0; // position in the table, from 0
    bool deleted = false;     // marked deleted by another program; this one never marks records
    // One value per field: character fields without trailing blanks, memo fields in full.
    std::vector<std::string> values;
};

// A dBASE IV or Visual FoxPro table (.dbf) with its memo file (.dbt or .fpt).
//
// Every call is serialised by the object's mutex, so one object may be shared by threads. Other
// objects and other processes are kept in step with file locks: a write lock for each change, a
// read lock for each read, so nobody ever sees half a record. Each call first looks at the record
// count in the header, so records appended elsewhere show up.
//
// The record count in the header is what counts: an append writes its memo blocks, then the
// record and the end-of-file mark, and only then the new count. Bytes left past the counted
// records by an append that died are ignored and overwritten by the next append; opening never
// cuts a file.
//
// Values are bytes, stored and returned unchanged apart from the width of character fields.
// Failures throw quillory::Error with a text that names the file and the fault; a damaged table is
// refused when opened, a damaged record when read.
class Table {
public:
    Table(std::string path, Access access, Durability durability = Durability::ProcessCrash);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& path() const;
    Format format() const;
    Access access() const;
    const std::vector<Field>& fields() const;
    // The field named name, letter case ignored; -1 when there is none.
    int fieldIndex(std::string_view name) const;
    // As fieldIndex(), but a missing field throws.
    int requireField(std::string_view name) const;

    // Records in the table, marked-deleted ones included.
    std::uint32_t recordCount();

    // Appends one record and returns its number. values holds one value per field, in field
    // order; character values longer than their field are cut to its width.
    std::uint32_t append(const std::vector<std::string>& values);

    // Reads a record in full. Throws when it does not exist or is damaged.
    Record read(std::uint32_t number);

    // The first record not marked deleted whose character field equals key, compared byte for
    // byte after dropping trailing blanks (which the stored value cannot keep) and cutting the
    // key to the field's width (as storing it would). Uses an index kept in memory, built on the
    // first lookup on that field and kept up to date.
    std::optional<std::uint32_t> find(int field, std::string_view key);

    // Gives a memo field of a record a new value. The new value is written to new blocks and the
    // record then points at it, so a crash leaves the old or the new value, never a mix.
    void replaceMemo(std::uint32_t number, int field, std::string_view value);

    // Calls visit for each record not marked deleted, in table order, until visit returns false.
    // The table is not locked while visit runs, and visit may use the table. A damaged record is
    // skipped; the returned list describes each one skipped.
    std::vector<std::string> forEach(const std::function<bool(const Record&)>& visit);

    // Removes every record and empties the memo file. Needs exclusive access.
    void deleteAll();
    // Removes the records that other programs marked deleted. Needs exclusive access. The table
    // file is rewritten beside the old one and then takes its place. Memo blocks are left as they
    // are: deleteAll() is what empties the memo file.
    void pack();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quillory::dbase
