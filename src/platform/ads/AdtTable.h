#pragma once

#include "platform/ads/AdtField.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory::ads {

class AdtTable;

// The bytes of one record slot, read from its table. Field accessors take the field's index in
// AdtTable::fields(); they never read outside the record.
class Record {
public:
    std::uint32_t slot() const { return slot_; }
    bool isNull(int field) const;
    // Character fields: the stored bytes without trailing blanks ("" for null); a view into this
    // record, valid until the record is read again. Other types: empty.
    std::string_view chars(int field) const;
    // Any type, as displayText() gives it.
    std::string text(int field) const;
    // Date and timestamp fields; nothing for null or another type.
    std::optional<LocalDateTime> dateTime(int field) const;
    Value value(int field) const; // memo fields are read from the memo file (throws on damage)

private:
    friend class AdtTable;
    friend class RecordScanner;
    const FieldDef& field(int index) const; // throws for an index out of range or no record
    const AdtTable* table_ = nullptr;
    std::uint32_t slot_ = 0;
    std::string bytes_;
};

// One Advantage table file (.adt), opened read-only, with its memo file (.adm) when it has
// memo fields. Reads never go past the end of the file or of a record. Every failure throws
// quillory::Error with a text that names the file and the fault. The slot count is taken when the
// table is opened: records that Medisoft appends later are seen by a table opened later.
class AdtTable {
public:
    // Opens the file and checks its header: signature, field descriptors (readable names, known
    // types, fields inside the record) and file size. Encrypted tables are refused.
    explicit AdtTable(std::string path);
    // As above, keeping up to readCacheBytes of the table file in memory: far fewer system calls
    // for scattered reads, but a block once read is not read again while the table is open, so
    // later changes to it are not seen. For work that reads a table in one pass, like a cycle.
    AdtTable(std::string path, std::size_t readCacheBytes);
    // The same, over bytes held in memory (the fuzzer's way in); path only names the table in
    // error texts. memoBytes stands for the .adm file, which is missing when it is nothing.
    static std::unique_ptr<AdtTable> fromBytes(std::string path, std::string tableBytes,
                                               std::optional<std::string> memoBytes);
    ~AdtTable();
    AdtTable(const AdtTable&) = delete;
    AdtTable& operator=(const AdtTable&) = delete;

    const std::string& path() const;
    const std::vector<FieldDef>& fields() const;
    // The field named name, letter case ignored; -1 when there is none.
    int fieldIndex(std::string_view name) const;
    // As fieldIndex(), but a missing field throws "Column not found: <name>".
    int requireField(std::string_view name) const;

    // Record slots in the file, deleted ones included.
    std::uint32_t slotCount() const;
    // Reads slot into record. False when the slot holds a deleted record. Throws when the file
    // can no longer be read (for example, it was cut short since it was opened).
    bool read(std::uint32_t slot, Record& record) const;

    // The live slots, in slot order, whose field equals key as a whole value (character fields
    // compared without trailing blanks; ignoreCase folds a-z/A-Z). Uses an in-memory index of
    // the field, built on the first lookup on that field and kept while the table is open.
    void find(int field, std::string_view key, bool ignoreCase,
              std::vector<std::uint32_t>& slots) const;
    // The slots whose field may equal key (letter case and trailing blanks ignored): the index's
    // candidates in slot order, not checked against the records. For callers that check every
    // record they read anyway, as the SQL engine does.
    void findCandidates(int field, std::string_view key, std::vector<std::uint32_t>& slots) const;

private:
    struct Impl;
    explicit AdtTable(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
    friend class Record;
    friend class RecordScanner;
};

} // namespace quillory::ads
