#pragma once

#include "core/LocalDateTime.h"

#include <cstdint>
#include <string>

namespace quillory::ads {

// Field type codes as stored in an Advantage table's field descriptors.
enum class FieldType : std::uint16_t {
    Logical = 1,
    Numeric = 2,
    Date = 3,
    Character = 4,
    Memo = 5,
    Binary = 6,
    Image = 7,
    Double = 10,
    Integer = 11,
    ShortInteger = 12,
    Time = 13,
    Timestamp = 14,
    AutoIncrement = 15,
    CurrencyDouble = 17,
    Money = 18,
    CiCharacter = 20,
    RowVersion = 21,
    ModTime = 22,
    NCharacter = 26,
};

// True for the type codes this reader understands.
bool isKnownFieldType(std::uint16_t code);
const char* fieldTypeName(FieldType type);

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Character;
    std::uint32_t offset = 0; // inside the record, prefix included
    std::uint16_t length = 0;
    std::uint16_t decimals = 0;
};

// One field's value, as read from or written to a table.
struct Value {
    enum class Kind { Null, Text, Integer, Real, Logical, Date, Time, Timestamp, Bytes };

    Kind kind = Kind::Null;
    std::string text;         // Text and Bytes: the bytes as stored (character fields unpadded)
    std::int64_t integer = 0; // Integer; Logical: 1 = true, 0 = false
    double real = 0;          // Real
    LocalDateTime dateTime;   // Date (time of day zero), Time (date part ignored), Timestamp

    static Value null() { return {}; }
    static Value ofText(std::string bytes) {
        Value v;
        v.kind = Kind::Text;
        v.text = std::move(bytes);
        return v;
    }
    static Value ofInteger(std::int64_t i) {
        Value v;
        v.kind = Kind::Integer;
        v.integer = i;
        return v;
    }
    static Value ofReal(double r) {
        Value v;
        v.kind = Kind::Real;
        v.real = r;
        return v;
    }
    static Value ofLogical(bool b) {
        Value v;
        v.kind = Kind::Logical;
        v.integer = b ? 1 : 0;
        return v;
    }
    static Value ofDate(int year, int month, int day) {
        Value v;
        v.kind = Kind::Date;
        v.dateTime = {year, month, day};
        return v;
    }
    static Value ofTimestamp(LocalDateTime t) {
        Value v;
        v.kind = Kind::Timestamp;
        v.dateTime = t;
        return v;
    }
    bool isNull() const { return kind == Kind::Null; }
};

// The value as the support tools print it: "" for null, dates "yyyy-mm-dd", timestamps
// "yyyy-mm-dd hh:nn:ss.zzz", times "hh:nn:ss.zzz", logicals "T"/"F", numbers as plain decimal
// text, character fields without trailing blanks, bytes as stored.
std::string displayText(const Value& value);

} // namespace quillory::ads
