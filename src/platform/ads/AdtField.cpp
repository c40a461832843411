#include "platform/ads/AdtField.h"

#include "platform/ads/AdtCalendar.h"

#include <charconv>

namespace quillory::ads {

bool isKnownFieldType(std::uint16_t code) {
    switch (FieldType(code)) {
    case FieldType::Logical:
    case FieldType::Numeric:
    case FieldType::Date:
    case FieldType::Character:
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::Image:
    case FieldType::Double:
    case FieldType::Integer:
    case FieldType::ShortInteger:
    case FieldType::Time:
    case FieldType::Timestamp:
    case FieldType::AutoIncrement:
    case FieldType::CurrencyDouble:
    case FieldType::Money:
    case FieldType::CiCharacter:
    case FieldType::RowVersion:
    case FieldType::ModTime:
    case FieldType::NCharacter:
        return true;
    }
    return false;
}

const char* fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::Logical:
        return "logical";
    case FieldType::Numeric:
        return "numeric";
    case FieldType::Date:
        return "date";
    case FieldType::Character:
        return "character";
    case FieldType::Memo:
        return "memo";
    case FieldType::Binary:
        return "binary";
    case FieldType::Image:
        return "image";
    case FieldType::Double:
        return "double";
    case FieldType::Integer:
        return "integer";
    case FieldType::ShortInteger:
        return "short integer";
    case FieldType::Time:
        return "time";
    case FieldType::Timestamp:
        return "timestamp";
    case FieldType::AutoIncrement:
        return "autoincrement";
    case FieldType::CurrencyDouble:
        return "currency double";
    case FieldType::Money:
        return "money";
    case FieldType::CiCharacter:
        return "case-insensitive character";
    case FieldType::RowVersion:
        return "row version";
    case FieldType::ModTime:
        return "modification time";
    case FieldType::NCharacter:
        return "unicode character";
    }
    return "unknown";
}

std::string displayText(const Value& value) {
    char buffer[400]; // the longest double in fixed notation has 309 digits before the point
    switch (value.kind) {
    case Value::Kind::Null:
        return {};
    case Value::Kind::Text:
    case Value::Kind::Bytes:
        return value.text;
    case Value::Kind::Integer:
        return std::to_string(value.integer);
    case Value::Kind::Real: {
        // Shortest text that reads back as the same double, without an exponent.
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value.real, std::chars_format::fixed);
        if (result.ec == std::errc())
            return std::string(buffer, result.ptr);
        return std::to_string(value.real);
    }
    case Value::Kind::Logical:
        return value.integer ? "T" : "F";
    case Value::Kind::Date:
        return std::string(buffer, std::size_t(formatDate(value.dateTime, buffer)));
    case Value::Kind::Time:
        return std::string(buffer, std::size_t(formatTime(value.dateTime, true, buffer)));
    case Value::Kind::Timestamp:
        return std::string(buffer, std::size_t(formatDateTime(value.dateTime, true, buffer)));
    }
    return {};
}

} // namespace quillory::ads
