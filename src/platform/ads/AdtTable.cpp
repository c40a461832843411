#include "platform/ads/AdtTable.h"

#include "core/Error.h"
#include "platform/ads/AdtTableImpl.h"
#include "platform/ads/CachedSource.h"
#include "platform/ads/FieldDecoder.h"
#include "platform/ads/RecordScanner.h"
#include "platform/files/FileLookup.h"

#include <filesystem>

namespace quillory::ads {
namespace {

bool isCharacterType(FieldType type) {
    return type == FieldType::Character || type == FieldType::CiCharacter;
}

std::string_view trimTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::unique_ptr<ByteSource> openMemoFile(const std::string& tablePath) {
    const std::string wanted = memoPathFor(tablePath);
    const std::filesystem::path p(wanted);
    const auto found =
        platform::findFileIgnoringCase(p.parent_path().string(), p.filename().string());
    if (!found)
        throw Error(tablePath + " has memo fields, but its memo file " + wanted +
                    " does not exist.");
    return openFileSource(*found);
}

} // namespace

// ---- AdtTable::Impl

std::unique_ptr<AdtTable::Impl> AdtTable::Impl::open(std::string path,
                                                     std::unique_ptr<ByteSource> source) {
    auto impl = std::make_unique<Impl>();
    impl->path = std::move(path);
    impl->source = std::move(source);
    impl->layout = readTableLayout(*impl->source);
    return impl;
}

void AdtTable::Impl::readSlots(std::uint32_t first, std::uint32_t count, char* out) const {
    const std::uint64_t offset = layout.firstRecord + std::uint64_t(first) * layout.recordLength;
    const std::size_t size = std::size_t(count) * layout.recordLength;
    if (source->readAt(offset, out, size) != size)
        throw Error(path + " was cut short while it was open: record " +
                    std::to_string(std::uint64_t(first) + 1) + " can no longer be read.");
}

const FieldDef& AdtTable::Impl::fieldAt(int field) const {
    if (field < 0 || std::size_t(field) >= layout.fields.size())
        throw Error(path + ": no field number " + std::to_string(field) + ".");
    return layout.fields[std::size_t(field)];
}

const KeyIndex& AdtTable::Impl::indexOf(int field, const AdtTable& table) const {
    const std::lock_guard lock(indexMutex);
    auto& index = indexes[field];
    if (index)
        return *index;
    auto built = std::make_unique<KeyIndex>();
    built->reserve(layout.recordCount);
    const FieldDef& def = layout.fields[std::size_t(field)];
    RecordScanner scanner(table);
    Record record;
    std::string scratch;
    while (scanner.next(record))
        built->add(hashFoldedKey(lookupKey(record, field, def, scratch)), record.slot());
    built->seal();
    index = std::move(built);
    return *index;
}

std::string_view lookupKey(const Record& record, int field, const FieldDef& def,
                           std::string& scratch) {
    if (isCharacterType(def.type))
        return record.chars(field);
    scratch = record.text(field);
    return scratch;
}

// ---- AdtTable

AdtTable::AdtTable(std::string path) : AdtTable(std::move(path), 0) {}

AdtTable::AdtTable(std::string path, std::size_t readCacheBytes) {
    auto source = openFileSource(path);
    if (readCacheBytes > 0)
        source = cachedSource(std::move(source), readCacheBytes);
    d = Impl::open(path, std::move(source));
    if (d->layout.hasMemoFields())
        d->memo = std::make_unique<MemoFile>(openMemoFile(d->path));
}

AdtTable::AdtTable(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

std::unique_ptr<AdtTable> AdtTable::fromBytes(std::string path, std::string tableBytes,
                                              std::optional<std::string> memoBytes) {
    auto impl = Impl::open(path, memorySource(path, std::move(tableBytes)));
    if (impl->layout.hasMemoFields()) {
        if (!memoBytes)
            throw Error(path + " has memo fields, but its memo file does not exist.");
        impl->memo =
            std::make_unique<MemoFile>(memorySource(memoPathFor(path), std::move(*memoBytes)));
    }
    return std::unique_ptr<AdtTable>(new AdtTable(std::move(impl)));
}

AdtTable::~AdtTable() = default;

const std::string& AdtTable::path() const {
    return d->path;
}

const std::vector<FieldDef>& AdtTable::fields() const {
    return d->layout.fields;
}

int AdtTable::fieldIndex(std::string_view name) const {
    const auto& fields = d->layout.fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (equalsIgnoringCase(fields[i].name, name))
            return int(i);
    }
    return -1;
}

int AdtTable::requireField(std::string_view name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw Error("Column not found: " + std::string(name));
    return index;
}

std::uint32_t AdtTable::slotCount() const {
    return d->layout.recordCount;
}

bool AdtTable::read(std::uint32_t slot, Record& record) const {
    if (slot >= d->layout.recordCount)
        throw Error(d->path + ": record " + std::to_string(std::uint64_t(slot) + 1) +
                    " does not exist.");
    record.table_ = this;
    record.slot_ = slot;
    record.bytes_.resize(d->layout.recordLength);
    d->readSlots(slot, 1, record.bytes_.data());
    return !isDeletedRecord(record.bytes_.data());
}

void AdtTable::findCandidates(int field, std::string_view key,
                              std::vector<std::uint32_t>& slots) const {
    slots.clear();
    const FieldDef& def = d->fieldAt(field);
    if (isCharacterType(def.type))
        key = trimTrailingBlanks(key);
    for (const KeyIndex::Entry& entry : d->indexOf(field, *this).candidates(hashFoldedKey(key)))
        slots.push_back(entry.slot);
}

void AdtTable::find(int field, std::string_view key, bool ignoreCase,
                    std::vector<std::uint32_t>& slots) const {
    std::vector<std::uint32_t> candidates;
    findCandidates(field, key, candidates);
    const FieldDef& def = d->fieldAt(field);
    if (isCharacterType(def.type))
        key = trimTrailingBlanks(key);
    std::string scratch;
    // The file may have changed since the index was built: check each record as it is now.
    const auto matches = [&](const Record& record) {
        const std::string_view stored = lookupKey(record, field, def, scratch);
        return ignoreCase ? equalsIgnoringCase(stored, key) : stored == key;
    };
    slots.clear();
    Record record;
    if (candidates.size() <= std::max<std::size_t>(64, d->layout.recordCount / 16)) {
        for (const std::uint32_t slot : candidates) {
            if (read(slot, record) && matches(record))
                slots.push_back(slot);
        }
        return;
    }
    // A key that most records share: one pass in large reads beats a read per record.
    RecordScanner scanner(*this);
    auto candidate = candidates.begin();
    while (candidate != candidates.end() && scanner.next(record)) {
        while (candidate != candidates.end() && *candidate < record.slot())
            ++candidate;
        if (candidate != candidates.end() && *candidate == record.slot() && matches(record))
            slots.push_back(record.slot());
    }
}

// ---- Record

const FieldDef& Record::field(int index) const {
    if (table_ == nullptr)
        throw Error("No record has been read.");
    const auto& fields = table_->d->layout.fields;
    if (index < 0 || std::size_t(index) >= fields.size())
        throw Error(table_->d->path + ": no field number " + std::to_string(index) + ".");
    return fields[std::size_t(index)];
}

bool Record::isNull(int index) const {
    const FieldDef& def = field(index);
    return decode::isNull(def, bytes_.data() + def.offset);
}

std::string_view Record::chars(int index) const {
    const FieldDef& def = field(index);
    return decode::chars(def, bytes_.data() + def.offset);
}

std::string Record::text(int index) const {
    const FieldDef& def = field(index);
    if (isCharacterType(def.type))
        return std::string(decode::chars(def, bytes_.data() + def.offset));
    return displayText(value(index));
}

std::optional<LocalDateTime> Record::dateTime(int index) const {
    const FieldDef& def = field(index);
    const char* p = bytes_.data() + def.offset;
    switch (def.type) {
    case FieldType::Date:
        return decode::date(p);
    case FieldType::Timestamp:
    case FieldType::ModTime:
        return decode::timestamp(p);
    default:
        return std::nullopt;
    }
}

Value Record::value(int index) const {
    const FieldDef& def = field(index);
    try {
        return decode::value(def, bytes_.data() + def.offset, table_->d->memo.get());
    } catch (const Error& e) {
        throw Error(table_->d->path + ", record " + std::to_string(std::uint64_t(slot_) + 1) +
                    ", field \"" + def.name + "\": " + e.what());
    }
}

} // namespace quillory::ads
