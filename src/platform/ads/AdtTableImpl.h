#pragma once

#include "platform/ads/AdtTable.h"
#include "platform/ads/ByteSource.h"
#include "platform/ads/KeyIndex.h"
#include "platform/ads/MemoFile.h"
#include "platform/ads/TableLayout.h"

#include <map>
#include <mutex>

namespace quillory::ads {

struct AdtTable::Impl {
    std::string path;
    std::unique_ptr<ByteSource> source;
    TableLayout layout;
    std::unique_ptr<MemoFile> memo; // only for tables with memo fields
    mutable std::mutex indexMutex;
    mutable std::map<int, std::unique_ptr<KeyIndex>> indexes;

    // Reads and checks the header of source.
    static std::unique_ptr<Impl> open(std::string path, std::unique_ptr<ByteSource> source);

    // Reads count whole records from slot first into out; throws when the file is cut short.
    void readSlots(std::uint32_t first, std::uint32_t count, char* out) const;
    const KeyIndex& indexOf(int field, const AdtTable& table) const;
    const FieldDef& fieldAt(int field) const; // throws for a field number out of range
};

inline bool isDeletedRecord(const char* record) {
    return (record[0] & 0x01) != 0;
}

// The text a field is matched by in lookups: character fields unpadded, others as text().
std::string_view lookupKey(const Record& record, int field, const FieldDef& def,
                           std::string& scratch);

} // namespace quillory::ads
