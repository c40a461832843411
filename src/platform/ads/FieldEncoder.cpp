#include "platform/ads/FieldEncoder.h"

#include "core/Error.h"
#include "platform/ads/AdtCalendar.h"
#include "platform/ads/LittleEndian.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace quillory::ads {
namespace {

[[noreturn]] void unsuitable(const FieldDef& field, const std::string& why) {
    throw Error("field \"" + field.name + "\" (" + fieldTypeName(field.type) + "): " + why);
}

void requireKind(const FieldDef& field, const Value& value,
                 std::initializer_list<Value::Kind> kinds) {
    for (const Value::Kind kind : kinds) {
        if (value.kind == kind)
            return;
    }
    unsuitable(field, "the value is of the wrong kind");
}

void encodeCharacters(const FieldDef& field, const Value& value, char* p) {
    requireKind(field, value, {Value::Kind::Text, Value::Kind::Bytes});
    if (value.text.size() > field.length)
        unsuitable(field, "the text is longer than " + std::to_string(field.length) + " bytes");
    std::memset(p, ' ', field.length);
    std::memcpy(p, value.text.data(), value.text.size());
}

// UTF-8 in, UTF-16LE out, blank-padded.
void encodeUnicode(const FieldDef& field, const Value& value, char* p) {
    requireKind(field, value, {Value::Kind::Text});
    std::u16string units;
    const std::string& s = value.text;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        if (i + std::size_t(extra) >= s.size() && extra > 0)
            unsuitable(field, "the text is not valid UTF-8");
        std::uint32_t code = extra == 0 ? c : c & (0x3Fu >> extra);
        for (int k = 1; k <= extra; ++k)
            code = code << 6 | (static_cast<unsigned char>(s[i + std::size_t(k)]) & 0x3F);
        i += std::size_t(extra) + 1;
        if (code >= 0x10000) {
            units += char16_t(0xD800 + ((code - 0x10000) >> 10));
            units += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units += char16_t(code);
        }
    }
    if (units.size() * 2 > field.length)
        unsuitable(field, "the text is too long");
    for (std::size_t i = 0; i < field.length / 2u; ++i)
        writeLe16(p + 2 * i, i < units.size() ? std::uint16_t(units[i]) : std::uint16_t(' '));
}

void encodeNumeric(const FieldDef& field, const Value& value, char* p) {
    requireKind(field, value, {Value::Kind::Integer, Value::Kind::Real});
    std::string text;
    if (value.kind == Value::Kind::Integer && field.decimals == 0) {
        text = std::to_string(value.integer);
    } else {
        const double v = value.kind == Value::Kind::Integer ? double(value.integer) : value.real;
        if (!std::isfinite(v))
            unsuitable(field, "the number is not finite");
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.*f", int(field.decimals), v);
        text = buffer;
    }
    if (text.size() > field.length)
        unsuitable(field, "the number " + text + " is wider than " + std::to_string(field.length) +
                              " characters");
    std::memset(p, ' ', field.length);
    std::memcpy(p + field.length - text.size(), text.data(), text.size());
}

std::int64_t julianDayOf(const FieldDef& field, const Value& value) {
    requireKind(field, value, {Value::Kind::Date, Value::Kind::Timestamp});
    const LocalDateTime& t = value.dateTime;
    if (!t.isValid() || t.year < 1 || t.year > 9999)
        unsuitable(field, "the date is not valid");
    return julianDayFromDate(t.year, t.month, t.day);
}

std::uint32_t timeOfDay(const FieldDef& field, const Value& value) {
    requireKind(field, value, {Value::Kind::Time, Value::Kind::Timestamp});
    const LocalDateTime& t = value.dateTime;
    if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 ||
        t.second > 59 || t.msec < 0 || t.msec > 999)
        unsuitable(field, "the time of day is not valid");
    return std::uint32_t(millisecondsOfDay(t));
}

std::int64_t integerIn(const FieldDef& field, const Value& value, std::int64_t low,
                       std::int64_t high) {
    requireKind(field, value, {Value::Kind::Integer});
    if (value.integer < low || value.integer > high)
        unsuitable(field, "the number " + std::to_string(value.integer) + " is out of range");
    return value.integer;
}

double realOf(const FieldDef& field, const Value& value) {
    requireKind(field, value, {Value::Kind::Integer, Value::Kind::Real});
    return value.kind == Value::Kind::Integer ? double(value.integer) : value.real;
}

void encodeMoney(const FieldDef& field, const Value& value, char* p) {
    if (value.kind == Value::Kind::Integer) {
        const std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 10000;
        writeLe64(p, std::uint64_t(integerIn(field, value, -limit, limit) * 10000));
        return;
    }
    const double scaled = std::round(realOf(field, value) * 10000.0);
    // 2^63 itself does not fit; the lowest value is the null mark.
    if (!(scaled > -9.2233720368547758e18 && scaled < 9.2233720368547758e18))
        unsuitable(field, "the amount is out of range");
    writeLe64(p, std::uint64_t(std::int64_t(scaled)));
}

void encodeLogical(const FieldDef& field, const Value& value, char* p) {
    requireKind(field, value, {Value::Kind::Logical});
    *p = value.integer ? 'T' : 'F';
}

void encodeMemo(const FieldDef& field, const Value& value, char* p, const MemoStore& storeMemo) {
    if (field.type == FieldType::Memo)
        requireKind(field, value, {Value::Kind::Text});
    else
        requireKind(field, value, {Value::Kind::Bytes, Value::Kind::Text});
    if (value.text.size() > std::numeric_limits<std::uint32_t>::max())
        unsuitable(field, "the memo is longer than 4 GiB");
    writeLe32(p, storeMemo(value.text));
    writeLe32(p + 4, std::uint32_t(value.text.size()));
}

// Null as the engine marks it for each type.
void encodeNull(const FieldDef& field, char* p) {
    std::memset(p, 0, field.length);
    switch (field.type) {
    case FieldType::Logical:
    case FieldType::Numeric:
        std::memset(p, ' ', field.length);
        break;
    case FieldType::Integer:
    case FieldType::Time:
        writeLe32(p, 0x80000000u);
        break;
    case FieldType::ShortInteger:
        writeLe16(p, 0x8000u);
        break;
    case FieldType::Money:
        writeLe64(p, 0x8000000000000000ULL);
        break;
    case FieldType::Double:
    case FieldType::CurrencyDouble:
        writeLeDouble(p, std::numeric_limits<double>::quiet_NaN());
        break;
    default:
        break;
    }
}

} // namespace

void encodeField(const FieldDef& field, const Value& value, char* p, const MemoStore& storeMemo) {
    if (value.isNull()) {
        encodeNull(field, p);
        return;
    }
    switch (field.type) {
    case FieldType::Character:
    case FieldType::CiCharacter:
        return encodeCharacters(field, value, p);
    case FieldType::NCharacter:
        return encodeUnicode(field, value, p);
    case FieldType::Numeric:
        return encodeNumeric(field, value, p);
    case FieldType::Logical:
        return encodeLogical(field, value, p);
    case FieldType::Date:
        writeLe32(p, std::uint32_t(julianDayOf(field, value)));
        return;
    case FieldType::Time:
        writeLe32(p, timeOfDay(field, value));
        return;
    case FieldType::Timestamp:
    case FieldType::ModTime:
        writeLe32(p, std::uint32_t(julianDayOf(field, value)));
        writeLe32(p + 4, value.kind == Value::Kind::Date ? 0 : timeOfDay(field, value));
        return;
    case FieldType::Integer:
        writeLe32(p, std::uint32_t(integerIn(field, value, -2147483647, 2147483647)));
        return;
    case FieldType::ShortInteger:
        writeLe16(p, std::uint16_t(integerIn(field, value, -32767, 32767)));
        return;
    case FieldType::AutoIncrement:
        writeLe32(p, std::uint32_t(integerIn(field, value, 0, 0xFFFFFFFFLL)));
        return;
    case FieldType::RowVersion:
        writeLe64(
            p, std::uint64_t(integerIn(field, value, 0, std::numeric_limits<std::int64_t>::max())));
        return;
    case FieldType::Double:
    case FieldType::CurrencyDouble:
        writeLeDouble(p, realOf(field, value));
        return;
    case FieldType::Money:
        return encodeMoney(field, value, p);
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::Image:
        return encodeMemo(field, value, p, storeMemo);
    }
}

} // namespace quillory::ads
