#pragma once

#include "platform/dbase/DbfTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory::dbase {

// Byte layout of a .dbf file: the header, the field descriptors and the values inside a record.
// Pure functions on bytes; the file access lives in Table.
struct DbfLayout {
    Format format = Format::DBase4;
    std::uint16_t headerLength = 0;
    std::uint16_t recordLength = 0;
    std::vector<Field> fields;
    std::vector<int> offsets; // of each field inside a record; byte 0 is the deletion flag

    bool hasMemo() const;
    std::uint64_t recordOffset(std::uint32_t record) const {
        return headerLength + std::uint64_t(recordLength) * record;
    }
};

constexpr std::size_t kHeaderPrefix = 32; // version, date, record count, lengths
constexpr char kEndOfFile = 0x1A;
constexpr char kLiveFlag = ' ';
constexpr char kDeletedFlag = '*';

// Checks the field list of a new table and computes its layout. Throws quillory::Error.
DbfLayout makeLayout(Format format, std::vector<Field> fields);

// The header length announced by the first kHeaderPrefix bytes.
std::uint16_t announcedHeaderLength(std::string_view prefix);
std::uint16_t announcedRecordLength(std::string_view prefix);
std::uint32_t announcedRecordCount(std::string_view prefix);

// Reads and checks a whole header (announcedHeaderLength() bytes). name names the file in errors.
DbfLayout parseHeader(std::string_view header, const std::string& name);

// The header of a table holding count records, last updated today.
std::string buildHeader(const DbfLayout& layout, std::uint32_t count);
// Bytes 1 to 7 of the header (update date and record count), written in one piece.
std::string dateAndCount(std::uint32_t count);
constexpr std::uint64_t kDateAndCountOffset = 1;

// Character values are cut to the width and padded with blanks.
std::string encodeCharacter(std::string_view value, int width);
// The stored bytes without trailing blanks and zero bytes; lookups compare keys in this form.
std::string_view decodeCharacter(std::string_view stored);
// The key as it would read back after being stored in a field of that width.
std::string_view normaliseKey(std::string_view key, int width);

// Memo pointers: a block number, 0 for an empty memo. dBASE writes it as decimal text,
// Visual FoxPro as a 4-byte little-endian number.
std::string encodeMemoPointer(Format format, std::uint32_t block);
// Nothing when the bytes are not a block number.
std::optional<std::uint32_t> decodeMemoPointer(Format format, std::string_view stored);

} // namespace quillory::dbase
