#include "platform/ads/FieldDecoder.h"

#include "core/Error.h"
#include "platform/ads/AdtCalendar.h"
#include "platform/ads/LittleEndian.h"
#include "platform/ads/MemoFile.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quillory::ads::decode {
namespace {

constexpr std::int32_t kNullInteger = std::numeric_limits<std::int32_t>::min();
constexpr std::int16_t kNullShort = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t kNullMoney = std::numeric_limits<std::int64_t>::min();

bool allZero(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] != 0)
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

Value memoValue(const FieldDef& field, const char* p, const MemoFile* memo) {
    const auto pointer = memoPointer(p);
    if (!pointer)
        return Value::null();
    if (memo == nullptr)
        throw Error("field \"" + field.name + "\" has no memo file to read from.");
    Value value = Value::ofText(memo->read(pointer->block, pointer->length));
    if (field.type != FieldType::Memo)
        value.kind = Value::Kind::Bytes;
    return value;
}

Value dateTimeValue(Value::Kind kind, const std::optional<LocalDateTime>& t) {
    if (!t)
        return Value::null();
    Value value;
    value.kind = kind;
    value.dateTime = *t;
    return value;
}

} // namespace

bool isNull(const FieldDef& field, const char* p) {
    switch (field.type) {
    case FieldType::Character:
    case FieldType::CiCharacter:
    case FieldType::NCharacter:
        return allZero(p, field.length);
    case FieldType::Logical:
        return !logical(p);
    case FieldType::Numeric:
        return numeric(field, p).isNull();
    case FieldType::Date:
        return !date(p);
    case FieldType::Time:
        return !time(p);
    case FieldType::Timestamp:
    case FieldType::ModTime:
        return !timestamp(p);
    case FieldType::Integer:
    case FieldType::ShortInteger:
    case FieldType::AutoIncrement:
    case FieldType::RowVersion:
        return !integer(field, p);
    case FieldType::Double:
    case FieldType::CurrencyDouble:
    case FieldType::Money:
        return !real(field, p);
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::Image:
        return !memoPointer(p);
    }
    return true;
}

std::string_view chars(const FieldDef& field, const char* p) {
    if (field.type != FieldType::Character && field.type != FieldType::CiCharacter)
        return {};
    std::size_t length = field.length;
    while (length > 0 && p[length - 1] == ' ')
        --length;
    if (allZero(p, length))
        return {};
    return {p, length};
}

std::optional<std::int64_t> integer(const FieldDef& field, const char* p) {
    switch (field.type) {
    case FieldType::Integer: {
        const auto v = std::int32_t(readLe32(p));
        return v == kNullInteger ? std::nullopt : std::optional<std::int64_t>(v);
    }
    case FieldType::ShortInteger: {
        const auto v = std::int16_t(readLe16(p));
        return v == kNullShort ? std::nullopt : std::optional<std::int64_t>(v);
    }
    case FieldType::AutoIncrement:
        return readLe32(p); // unsigned, never null
    case FieldType::RowVersion:
        return std::int64_t(readLe64(p));
    default:
        return std::nullopt;
    }
}

std::optional<double> real(const FieldDef& field, const char* p) {
    if (field.type == FieldType::Money) {
        const auto v = std::int64_t(readLe64(p));
        return v == kNullMoney ? std::nullopt : std::optional<double>(double(v) / 10000.0);
    }
    if (field.type != FieldType::Double && field.type != FieldType::CurrencyDouble)
        return std::nullopt;
    // A NaN is no number a user entered; the writer stores it for null, and SQL reads it as NULL.
    const double v = readLeDouble(p);
    return std::isnan(v) ? std::nullopt : std::optional<double>(v);
}

std::optional<bool> logical(const char* p) {
    switch (*p) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
    case '1':
        return true;
    case 'F':
    case 'f':
    case 'N':
    case 'n':
    case '0':
        return false;
    default:
        return std::nullopt;
    }
}

std::optional<LocalDateTime> date(const char* p) {
    return dateFromJulianDay(std::int32_t(readLe32(p)));
}

std::optional<LocalDateTime> time(const char* p) {
    return withTimeOfDay(LocalDateTime{}, std::int32_t(readLe32(p)));
}

std::optional<LocalDateTime> timestamp(const char* p) {
    const auto day = dateFromJulianDay(std::int32_t(readLe32(p)));
    if (!day)
        return std::nullopt;
    return withTimeOfDay(*day, std::int32_t(readLe32(p + 4)));
}

Value numeric(const FieldDef& field, const char* p) {
    std::string_view text = trimmed(std::string_view(p, field.length));
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789.-") != std::string_view::npos)
        return Value::null();
    const char* end = text.data() + text.size();
    if (field.decimals == 0) {
        std::int64_t v = 0;
        const auto result = std::from_chars(text.data(), end, v);
        if (result.ec == std::errc() && result.ptr == end)
            return Value::ofInteger(v);
    }
    double v = 0;
    const auto result = std::from_chars(text.data(), end, v);
    if (result.ec != std::errc() || result.ptr != end)
        return Value::null();
    return Value::ofReal(v);
}

std::string unicodeChars(const FieldDef& field, const char* p) {
    std::size_t units = field.length / 2;
    while (units > 0 &&
           (readLe16(p + 2 * (units - 1)) == ' ' || readLe16(p + 2 * (units - 1)) == 0))
        --units;
    std::string out;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t c = readLe16(p + 2 * i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units) {
            const std::uint32_t low = readLe16(p + 2 * (i + 1));
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD; // an unpaired surrogate
        appendUtf8(out, c);
    }
    return out;
}

std::optional<MemoPointer> memoPointer(const char* p) {
    const MemoPointer pointer{readLe32(p), readLe32(p + 4)};
    if (pointer.block == 0)
        return std::nullopt;
    return pointer;
}

Value value(const FieldDef& field, const char* p, const MemoFile* memo) {
    switch (field.type) {
    case FieldType::Character:
    case FieldType::CiCharacter:
        return isNull(field, p) ? Value::null() : Value::ofText(std::string(chars(field, p)));
    case FieldType::NCharacter:
        return isNull(field, p) ? Value::null() : Value::ofText(unicodeChars(field, p));
    case FieldType::Logical: {
        const auto v = logical(p);
        return v ? Value::ofLogical(*v) : Value::null();
    }
    case FieldType::Numeric:
        return numeric(field, p);
    case FieldType::Date:
        return dateTimeValue(Value::Kind::Date, date(p));
    case FieldType::Time:
        return dateTimeValue(Value::Kind::Time, time(p));
    case FieldType::Timestamp:
    case FieldType::ModTime:
        return dateTimeValue(Value::Kind::Timestamp, timestamp(p));
    case FieldType::Integer:
    case FieldType::ShortInteger:
    case FieldType::AutoIncrement:
    case FieldType::RowVersion: {
        const auto v = integer(field, p);
        return v ? Value::ofInteger(*v) : Value::null();
    }
    case FieldType::Double:
    case FieldType::CurrencyDouble:
    case FieldType::Money: {
        const auto v = real(field, p);
        return v ? Value::ofReal(*v) : Value::null();
    }
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::Image:
        return memoValue(field, p, memo);
    }
    return Value::null();
}

} // namespace quillory::ads::decode
