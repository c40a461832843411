#pragma once

#include "platform/ads/AdtField.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillory::ads {

class MemoFile;

// Decoders of one field's stored bytes: p points at the field inside a record and holds
// field.length bytes, which the table layout has checked to be at least the type's size.
// Values that the engine never writes (a date outside the years 1 to 9999, a logical that is not
// one of its letters) read as null rather than failing a whole query.
namespace decode {

bool isNull(const FieldDef& field, const char* p);
// Character and case-insensitive character fields without trailing blanks; "" for null.
std::string_view chars(const FieldDef& field, const char* p);
// Integer, short integer, autoincrement and row version fields.
std::optional<std::int64_t> integer(const FieldDef& field, const char* p);
// Double, currency double and money fields.
std::optional<double> real(const FieldDef& field, const char* p);
std::optional<bool> logical(const char* p);
std::optional<LocalDateTime> date(const char* p);
std::optional<LocalDateTime> time(const char* p);
std::optional<LocalDateTime> timestamp(const char* p); // timestamp and modification time
// Numeric (ASCII) fields: Integer when the field has no decimals, else Real; null when blank.
Value numeric(const FieldDef& field, const char* p);
// Unicode character fields, stored as UTF-16LE, as UTF-8 without trailing blanks.
std::string unicodeChars(const FieldDef& field, const char* p);

struct MemoPointer {
    std::uint32_t block = 0;
    std::uint32_t length = 0;
};
// Memo, binary and image fields; nothing when no memo is stored (block 0).
std::optional<MemoPointer> memoPointer(const char* p);

// Any field as a Value. Memo fields are read from memo, which may be null only for tables without
// memo fields. Throws quillory::Error on a damaged memo pointer.
Value value(const FieldDef& field, const char* p, const MemoFile* memo);

} // namespace decode
} // namespace quillory::ads
