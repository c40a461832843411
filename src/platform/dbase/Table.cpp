#include "platform/dbase/Table.h"

#include "core/Error.h"
#include "platform/dbase/DbfLayout.h"
#include "platform/dbase/FileLock.h"
#include "platform/dbase/KeyIndex.h"
#include "platform/dbase/MemoFile.h"
#include "platform/dbase/PosixFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>
#include <unistd.h>

namespace quillory::dbase {

namespace {

constexpr std::size_t kReadChunk = 1 << 20; // bytes of records read at once when indexing

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

PosixFile openTableFile(const std::string& path, Access access) {
    try {
        return PosixFile(path, PosixFile::Mode::ReadWrite);
    } catch (const Error&) {
        // A viewer may still read a table it cannot write.
        if (access == Access::Exclusive)
            throw;
        return PosixFile(path, PosixFile::Mode::ReadOnly);
    }
}

void claimOpenLock(const PosixFile& file, Access access) {
    if (access == Access::Shared) {
        if (!tryLockByte(file.fd(), kOpenLockByte, LockKind::Read))
            throw Error(file.path() + " is open exclusively elsewhere");
        return;
    }
    if (!tryLockByte(file.fd(), kOpenLockByte, LockKind::Write))
        throw Error(file.path() + " is in use elsewhere and cannot be opened exclusively");
}

std::string hexByte(char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned char>(c));
    return text;
}

} // namespace

struct Table::Impl {
    std::mutex mutex;
    std::string path; // kept apart from dbf, which pack() replaces
    Access access = Access::Shared;
    Durability durability = Durability::ProcessCrash;
    PosixFile dbf;
    std::optional<MemoFile> memo;
    DbfLayout layout;
    std::uint32_t count = 0;
    bool checked = false; // the file was seen to hold count records
    std::map<int, KeyIndex> indexes;

    [[noreturn]] void fail(const std::string& text) const { throw Error(path + ": " + text); }
    void readLayout();
    void refresh();
    std::string recordBytes(std::uint32_t first, std::uint32_t records) const;
    Record decode(std::uint32_t number, std::string_view bytes) const;
    std::string memoValue(std::uint32_t number, int field, std::string_view stored) const;
    void catchUp(int field, KeyIndex& index) const;
    bool holds(std::uint32_t number, int field, const std::string& key) const;
    void emptyTable();
    PosixFile writeReplacement(const std::string& bytes);
    void requireWritable() const;
    void requireExclusive(const char* what) const;
    void requireField(int field, FieldType type) const;
    void requireRecord(std::uint32_t number) const;
    void syncIfDurable(PosixFile& file) {
        if (durability == Durability::PowerLoss)
            file.sync();
    }
    void syncMemoIfDurable() {
        if (durability == Durability::PowerLoss && memo)
            memo->sync();
    }
};

void Table::Impl::readLayout() {
    const std::uint64_t size = dbf.size();
    if (size < kHeaderPrefix)
        fail("the file is too short to be a table");
    const std::uint16_t headerLength = announcedHeaderLength(dbf.read(0, kHeaderPrefix));
    if (headerLength <= kHeaderPrefix || headerLength > size)
        fail("the header length " + std::to_string(headerLength) + " does not fit the file");
    layout = parseHeader(dbf.read(0, headerLength), path);
}

void Table::Impl::refresh() {
    const std::string prefix = dbf.read(0, kHeaderPrefix);
    if (announcedHeaderLength(prefix) != layout.headerLength ||
        announcedRecordLength(prefix) != layout.recordLength)
        fail("the table's structure changed while it was open");
    const std::uint32_t records = announcedRecordCount(prefix);
    if (records == count && checked)
        return; // the records were found in the file before; a shorter file now fails on reading
    const std::uint64_t size = dbf.size();
    if (layout.recordOffset(records) > size) {
        const std::uint64_t present =
            size < layout.headerLength ? 0 : (size - layout.headerLength) / layout.recordLength;
        fail("the header counts " + std::to_string(records) + " records, but the file holds only " +
             std::to_string(present));
    }
    if (records < count)
        indexes.clear(); // emptied or packed elsewhere: record numbers changed
    count = records;
    checked = true;
}

std::string Table::Impl::recordBytes(std::uint32_t first, std::uint32_t records) const {
    return dbf.read(layout.recordOffset(first), std::size_t(records) * layout.recordLength);
}

std::string Table::Impl::memoValue(std::uint32_t number, int field, std::string_view stored) const {
    const std::string where =
        "record " + std::to_string(number) + ", field " + layout.fields[field].name + ": ";
    const std::optional<std::uint32_t> block = decodeMemoPointer(layout.format, stored);
    if (!block)
        fail(where + "the memo pointer is not a block number");
    try {
        return memo->read(*block);
    } catch (const Error& e) {
        fail(where + e.what());
    }
}

Record Table::Impl::decode(std::uint32_t number, std::string_view bytes) const {
    if (bytes[0] != kLiveFlag && bytes[0] != kDeletedFlag)
        fail("record " + std::to_string(number) + " is damaged (deletion flag " +
             hexByte(bytes[0]) + ")");
    Record record;
    record.number = number;
    record.deleted = bytes[0] == kDeletedFlag;
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        const Field& field = layout.fields[i];
        const std::string_view stored = bytes.substr(layout.offsets[i], field.width);
        if (field.type == FieldType::Character)
            record.values.emplace_back(decodeCharacter(stored));
        else
            record.values.push_back(memoValue(number, static_cast<int>(i), stored));
    }
    return record;
}

void Table::Impl::catchUp(int field, KeyIndex& index) const {
    const std::size_t length = layout.recordLength;
    const auto chunk = static_cast<std::uint32_t>(std::max<std::size_t>(1, kReadChunk / length));
    const int offset = layout.offsets[field];
    const auto width = static_cast<std::size_t>(layout.fields[field].width);
    while (index.covered() < count) {
        const std::uint32_t first = index.covered();
        const std::uint32_t records = std::min(chunk, count - first);
        const std::string bytes = recordBytes(first, records);
        for (std::uint32_t i = 0; i < records; ++i) {
            const std::string_view record = std::string_view(bytes).substr(i * length, length);
            if (record[0] == kLiveFlag)
                index.add(decodeCharacter(record.substr(offset, width)), first + i);
        }
        index.setCovered(first + records);
    }
}

bool Table::Impl::holds(std::uint32_t number, int field, const std::string& key) const {
    const std::string bytes = recordBytes(number, 1);
    return bytes[0] == kLiveFlag && decodeCharacter(std::string_view(bytes).substr(
                                        layout.offsets[field], layout.fields[field].width)) == key;
}

void Table::Impl::emptyTable() {
    // The count is the commit point; cutting the file afterwards only frees the space.
    dbf.write(kDateAndCountOffset, dateAndCount(0));
    syncIfDurable(dbf);
    dbf.write(layout.headerLength, std::string(1, kEndOfFile));
    dbf.truncate(layout.headerLength + 1);
    if (memo)
        memo->reset();
    syncIfDurable(dbf);
    syncMemoIfDurable();
    count = 0;
    indexes.clear();
}

// Writes the new table beside the old one and gives it the table's name. The new file is locked
// for exclusive use before it takes the name, so nobody can open it in between; the old file goes
// when its descriptor closes, and its locks with it.
PosixFile Table::Impl::writeReplacement(const std::string& bytes) {
    const std::string temporary = path + ".pack";
    ::unlink(temporary.c_str()); // left over from a pack that died
    try {
        PosixFile file(temporary, PosixFile::Mode::CreateNew);
        file.copyModeFrom(dbf);
        file.write(0, bytes);
        file.sync();
        if (!tryLockByte(file.fd(), kOpenLockByte, LockKind::Write))
            fail("cannot lock the packed table");
        file.renameTo(path);
        return file;
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

void Table::Impl::requireWritable() const {
    if (!dbf.writable())
        fail("the table was opened read-only");
}

void Table::Impl::requireExclusive(const char* what) const {
    if (access != Access::Exclusive)
        fail(std::string("the table must be opened exclusively to ") + what);
}

void Table::Impl::requireField(int field, FieldType type) const {
    if (field < 0 || static_cast<std::size_t>(field) >= layout.fields.size())
        fail("there is no field number " + std::to_string(field));
    if (layout.fields[field].type != type)
        fail("field " + layout.fields[field].name + " is not a " +
             (type == FieldType::Memo ? "memo" : "character") + " field");
}

void Table::Impl::requireRecord(std::uint32_t number) const {
    if (number >= count)
        fail("there is no record " + std::to_string(number) + " (the table holds " +
             std::to_string(count) + ")");
}

Table::Table(std::string path, Access access, Durability durability) : d(std::make_unique<Impl>()) {
    d->path = path;
    d->access = access;
    d->durability = durability;
    d->dbf = openTableFile(path, access);
    claimOpenLock(d->dbf, access);
    DataLock lock(d->dbf.fd(), LockKind::Read);
    d->readLayout();
    d->refresh();
    if (d->layout.hasMemo()) {
        const std::string memoPath = MemoFile::pathFor(path, d->layout.format);
        if (!fileExists(memoPath))
            d->fail("the memo file " + memoPath + " is missing");
        d->memo.emplace(memoPath, d->layout.format,
                        d->dbf.writable() ? PosixFile::Mode::ReadWrite : PosixFile::Mode::ReadOnly);
    }
}

Table::~Table() = default;

const std::string& Table::path() const {
    return d->path;
}
Format Table::format() const {
    return d->layout.format;
}
Access Table::access() const {
    return d->access;
}
const std::vector<Field>& Table::fields() const {
    return d->layout.fields;
}

int Table::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < d->layout.fields.size(); ++i)
        if (sameName(d->layout.fields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

int Table::requireField(std::string_view name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        d->fail("the table has no field " + std::string(name));
    return index;
}

std::uint32_t Table::recordCount() {
    std::lock_guard guard(d->mutex);
    DataLock lock(d->dbf.fd(), LockKind::Read);
    d->refresh();
    return d->count;
}

std::uint32_t Table::append(const std::vector<std::string>& values) {
    std::lock_guard guard(d->mutex);
    d->requireWritable();
    const DbfLayout& layout = d->layout;
    if (values.size() != layout.fields.size())
        d->fail("a record needs " + std::to_string(layout.fields.size()) + " values, not " +
                std::to_string(values.size()));
    DataLock lock(d->dbf.fd(), LockKind::Write);
    d->refresh();
    const std::uint32_t number = d->count;
    if (number == 0xFFFFFFFFu)
        d->fail("the table is full");

    // Memo blocks first: a record must never point at blocks that are not yet written.
    std::string record(layout.recordLength, kLiveFlag);
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        const Field& field = layout.fields[i];
        const std::string stored =
            field.type == FieldType::Character
                ? encodeCharacter(values[i], field.width)
                : encodeMemoPointer(layout.format, d->memo->append(values[i]));
        record.replace(layout.offsets[i], stored.size(), stored);
    }
    d->syncMemoIfDurable();

    // The record goes in with its flag byte still reading "end of file", and the flag is set
    // last, so readers that scan to the end mark instead of trusting the count (dbfread does)
    // never see a half-written record either.
    record[0] = kEndOfFile;
    record.push_back(kEndOfFile);
    d->dbf.write(layout.recordOffset(number), record);
    d->dbf.write(layout.recordOffset(number), std::string(1, kLiveFlag));
    d->syncIfDurable(d->dbf);
    d->dbf.write(kDateAndCountOffset, dateAndCount(number + 1));
    d->syncIfDurable(d->dbf);
    d->count = number + 1;

    for (auto& [field, index] : d->indexes) {
        if (index.covered() != number)
            continue;
        index.add(decodeCharacter(std::string_view(record).substr(layout.offsets[field],
                                                                  layout.fields[field].width)),
                  number);
        index.setCovered(number + 1);
    }
    return number;
}

Record Table::read(std::uint32_t number) {
    std::lock_guard guard(d->mutex);
    DataLock lock(d->dbf.fd(), LockKind::Read);
    d->refresh();
    d->requireRecord(number);
    return d->decode(number, d->recordBytes(number, 1));
}

std::optional<std::uint32_t> Table::find(int field, std::string_view key) {
    std::lock_guard guard(d->mutex);
    d->requireField(field, FieldType::Character);
    DataLock lock(d->dbf.fd(), LockKind::Read);
    d->refresh();
    const std::string wanted(normaliseKey(key, d->layout.fields[field].width));
    KeyIndex& index = d->indexes[field];
    d->catchUp(field, index);
    std::optional<std::uint32_t> hit = index.find(wanted);
    if (hit && !d->holds(*hit, field, wanted)) {
        // Another program changed the record in place; start the index afresh.
        index.clear();
        d->catchUp(field, index);
        hit = index.find(wanted);
    }
    return hit;
}

void Table::replaceMemo(std::uint32_t number, int field, std::string_view value) {
    std::lock_guard guard(d->mutex);
    d->requireWritable();
    d->requireField(field, FieldType::Memo);
    DataLock lock(d->dbf.fd(), LockKind::Write);
    d->refresh();
    d->requireRecord(number);
    const std::uint64_t offset = d->layout.recordOffset(number);
    const char flag = d->dbf.read(offset, 1)[0];
    if (flag != kLiveFlag && flag != kDeletedFlag)
        d->fail("record " + std::to_string(number) + " is damaged (deletion flag " + hexByte(flag) +
                ")");
    const std::uint32_t block = d->memo->append(value);
    d->syncMemoIfDurable();
    d->dbf.write(offset + d->layout.offsets[field], encodeMemoPointer(d->layout.format, block));
    d->syncIfDurable(d->dbf);
}

std::vector<std::string> Table::forEach(const std::function<bool(const Record&)>& visit) {
    std::vector<std::string> damaged;
    for (std::uint32_t number = 0;; ++number) {
        std::optional<Record> record;
        {
            std::lock_guard guard(d->mutex);
            DataLock lock(d->dbf.fd(), LockKind::Read);
            d->refresh();
            if (number >= d->count)
                break;
            try {
                record = d->decode(number, d->recordBytes(number, 1));
            } catch (const Error& e) {
                damaged.emplace_back(e.what());
            }
        }
        if (record && !record->deleted && !visit(*record))
            break;
    }
    return damaged;
}

void Table::deleteAll() {
    std::lock_guard guard(d->mutex);
    d->requireWritable();
    d->requireExclusive("empty it");
    DataLock lock(d->dbf.fd(), LockKind::Write);
    d->emptyTable();
}

void Table::pack() {
    std::lock_guard guard(d->mutex);
    d->requireWritable();
    d->requireExclusive("pack it");
    std::string live;
    std::uint32_t kept = 0;
    {
        DataLock lock(d->dbf.fd(), LockKind::Write);
        d->refresh();
        for (std::uint32_t number = 0; number < d->count; ++number) {
            const std::string record = d->recordBytes(number, 1);
            if (record[0] == kLiveFlag) {
                live += record;
                ++kept;
            } else if (record[0] != kDeletedFlag) {
                d->fail("record " + std::to_string(number) +
                        " is damaged, so the table was not packed");
            }
        }
        if (kept == 0 && d->count > 0)
            d->emptyTable();
        if (kept == d->count)
            return;
    }
    std::string bytes = d->dbf.read(0, d->layout.headerLength);
    bytes.replace(kDateAndCountOffset, 7, dateAndCount(kept));
    bytes += live;
    bytes.push_back(kEndOfFile);
    d->dbf = d->writeReplacement(bytes);
    d->count = kept;
    d->indexes.clear();
}

} // namespace quillory::dbase
