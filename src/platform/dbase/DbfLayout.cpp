#include "platform/dbase/DbfLayout.h"

#include "core/Clock.h"
#include "core/Error.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace quillory::dbase {

namespace {

constexpr std::size_t kDescriptorSize = 32;
constexpr char kDescriptorEnd = 0x0D;
constexpr std::size_t kFoxProBacklink = 263; // path of a database container; zeros when none
constexpr int kMaxCharacterWidth = 254;

constexpr std::uint8_t kDBase4NoMemo = 0x03;
constexpr std::uint8_t kDBase4Memo = 0x8B;
constexpr std::uint8_t kDBase3Memo = 0x83;
constexpr std::uint8_t kFoxProFlagMemo = 0x02;
constexpr std::uint8_t kCodePage1252 = 0x03;

[[noreturn]] void fail(const std::string& name, const std::string& text) {
    throw Error(name + ": " + text);
}

std::uint32_t readLe(std::string_view bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void putLe(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

int memoWidth(Format format) {
    return format == Format::DBase4 ? 10 : 4;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

void checkUniqueNames(const std::vector<Field>& fields, const std::string& name) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (upper(fields[i].name) == upper(fields[j].name))
                fail(name, "field " + fields[i].name + " appears twice");
}

// Offsets and record length; false when the record would exceed the format's 65,535 bytes.
bool computeOffsets(DbfLayout& layout) {
    int offset = 1;
    layout.offsets.clear();
    for (const Field& field : layout.fields) {
        layout.offsets.push_back(offset);
        offset += field.width;
    }
    if (offset > 0xFFFF)
        return false;
    layout.recordLength = static_cast<std::uint16_t>(offset);
    return true;
}

std::size_t headerLengthFor(Format format, std::size_t fieldCount) {
    return kHeaderPrefix + kDescriptorSize * fieldCount + 1 +
           (format == Format::VisualFoxPro ? kFoxProBacklink : 0);
}

Format formatOfVersion(std::uint8_t version, const std::string& name) {
    switch (version) {
    case kDBase4NoMemo:
    case kDBase4Memo:
        return Format::DBase4;
    case 0x30:
    case 0x31:
    case 0x32:
        return Format::VisualFoxPro;
    case kDBase3Memo:
        fail(name, "dBASE III tables with memo fields are not supported");
    default:
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", version);
        fail(name, std::string("not a dBASE IV or Visual FoxPro table (version byte ") + hex + ")");
    }
}

Field parseDescriptor(std::string_view d, Format format, const std::string& name) {
    Field field;
    std::string_view rawName = d.substr(0, 11);
    field.name = std::string(rawName.substr(0, rawName.find('\0')));
    if (field.name.empty())
        fail(name, "a field has no name");
    const char type = d[11];
    field.width = static_cast<unsigned char>(d[16]);
    if (type == 'C') {
        if (field.width == 0)
            fail(name, "field " + field.name + " has width 0");
    } else if (type == 'M') {
        field.type = FieldType::Memo;
        if (field.width != memoWidth(format))
            fail(name, "memo field " + field.name + " has width " + std::to_string(field.width) +
                           " instead of " + std::to_string(memoWidth(format)));
    } else {
        fail(name, "field " + field.name + " has type '" + std::string(1, type) +
                       "', which this program does not handle");
    }
    return field;
}

} // namespace

bool DbfLayout::hasMemo() const {
    return std::any_of(fields.begin(), fields.end(),
                       [](const Field& f) { return f.type == FieldType::Memo; });
}

DbfLayout makeLayout(Format format, std::vector<Field> fields) {
    const std::string name = "new table";
    if (fields.empty())
        fail(name, "a table needs at least one field");
    for (Field& field : fields) {
        if (field.name.empty() || field.name.size() > 10 ||
            field.name.find_first_of(std::string("\0\r", 2)) != std::string::npos)
            fail(name, "field name \"" + field.name + "\" is not 1 to 10 characters");
        if (field.type == FieldType::Memo)
            field.width = memoWidth(format);
        else if (field.width < 1 || field.width > kMaxCharacterWidth)
            fail(name, "field " + field.name + " must be 1 to 254 characters wide");
    }
    checkUniqueNames(fields, name);
    DbfLayout layout;
    layout.format = format;
    layout.fields = std::move(fields);
    const std::size_t headerLength = headerLengthFor(format, layout.fields.size());
    if (headerLength > 0xFFFF || !computeOffsets(layout))
        fail(name, "too many fields");
    layout.headerLength = static_cast<std::uint16_t>(headerLength);
    return layout;
}

std::uint16_t announcedHeaderLength(std::string_view prefix) {
    return static_cast<std::uint16_t>(readLe(prefix, 8, 2));
}

std::uint16_t announcedRecordLength(std::string_view prefix) {
    return static_cast<std::uint16_t>(readLe(prefix, 10, 2));
}

std::uint32_t announcedRecordCount(std::string_view prefix) {
    return readLe(prefix, 4, 4);
}

DbfLayout parseHeader(std::string_view header, const std::string& name) {
    if (header.size() < kHeaderPrefix + 1)
        fail(name, "the header is too short");
    DbfLayout layout;
    const auto version = static_cast<std::uint8_t>(header[0]);
    layout.format = formatOfVersion(version, name);
    layout.headerLength = announcedHeaderLength(header);
    const std::uint16_t recordLength = announcedRecordLength(header);
    std::size_t at = kHeaderPrefix;
    while (true) {
        if (at >= header.size())
            fail(name, "the field list has no end mark inside the header");
        if (header[at] == kDescriptorEnd)
            break;
        if (at + kDescriptorSize > header.size())
            fail(name, "the field list runs past the header");
        layout.fields.push_back(
            parseDescriptor(header.substr(at, kDescriptorSize), layout.format, name));
        at += kDescriptorSize;
    }
    if (layout.fields.empty())
        fail(name, "the table has no fields");
    checkUniqueNames(layout.fields, name);
    if (!computeOffsets(layout) || layout.recordLength != recordLength)
        fail(name, "the record length in the header (" + std::to_string(recordLength) +
                       ") does not match the fields (" + std::to_string(layout.recordLength) + ")");
    if (layout.hasMemo() && version == kDBase4NoMemo)
        fail(name, "the table has memo fields but its header announces no memo file");
    return layout;
}

std::string dateAndCount(std::uint32_t count) {
    const LocalDateTime today = SystemClock().now();
    std::string bytes(7, '\0');
    bytes[0] = static_cast<char>(std::clamp(today.year - 1900, 0, 255));
    bytes[1] = static_cast<char>(today.month);
    bytes[2] = static_cast<char>(today.day);
    putLe(bytes, 3, count, 4);
    return bytes;
}

std::string buildHeader(const DbfLayout& layout, std::uint32_t count) {
    std::string header(layout.headerLength, '\0');
    const bool fox = layout.format == Format::VisualFoxPro;
    header[0] = static_cast<char>(fox ? 0x30 : (layout.hasMemo() ? kDBase4Memo : kDBase4NoMemo));
    header.replace(kDateAndCountOffset, 7, dateAndCount(count));
    putLe(header, 8, layout.headerLength, 2);
    putLe(header, 10, layout.recordLength, 2);
    if (fox && layout.hasMemo())
        header[28] = static_cast<char>(kFoxProFlagMemo);
    header[29] = static_cast<char>(kCodePage1252);
    std::size_t at = kHeaderPrefix;
    for (std::size_t i = 0; i < layout.fields.size(); ++i, at += kDescriptorSize) {
        const Field& field = layout.fields[i];
        header.replace(at, field.name.size(), field.name);
        header[at + 11] = field.type == FieldType::Memo ? 'M' : 'C';
        putLe(header, at + 12, static_cast<std::uint32_t>(layout.offsets[i]), 4);
        header[at + 16] = static_cast<char>(field.width);
    }
    header[at] = kDescriptorEnd;
    return header;
}

std::string encodeCharacter(std::string_view value, int width) {
    std::string stored(value.substr(0, static_cast<std::size_t>(width)));
    stored.resize(static_cast<std::size_t>(width), ' ');
    return stored;
}

std::string_view decodeCharacter(std::string_view stored) {
    const std::size_t end = stored.find_last_not_of(std::string_view(" \0", 2));
    return end == std::string_view::npos ? std::string_view() : stored.substr(0, end + 1);
}

std::string_view normaliseKey(std::string_view key, int width) {
    return decodeCharacter(key.substr(0, static_cast<std::size_t>(width)));
}

std::string encodeMemoPointer(Format format, std::uint32_t block) {
    if (format == Format::VisualFoxPro) {
        std::string bytes(4, '\0');
        putLe(bytes, 0, block, 4);
        return bytes;
    }
    if (block == 0)
        return std::string(10, ' ');
    char text[16];
    std::snprintf(text, sizeof text, "%10u", static_cast<unsigned>(block));
    return text;
}

std::optional<std::uint32_t> decodeMemoPointer(Format format, std::string_view stored) {
    if (format == Format::VisualFoxPro)
        return stored.size() == 4 ? std::optional(readLe(stored, 0, 4)) : std::nullopt;
    const std::string_view blank(" \0", 2);
    const std::size_t first = stored.find_first_not_of(blank);
    if (first == std::string_view::npos)
        return 0;
    const std::string_view digits =
        stored.substr(first, stored.find_last_not_of(blank) + 1 - first);
    std::uint64_t block = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        block = block * 10 + static_cast<unsigned>(c - '0');
        if (block > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(block);
}

} // namespace quillory::dbase
