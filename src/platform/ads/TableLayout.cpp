#include "platform/ads/TableLayout.h"

#include "core/Error.h"
#include "platform/ads/ByteSource.h"
#include "platform/ads/LittleEndian.h"

#include <cstring>

namespace quillory::ads {
namespace {

[[noreturn]] void fail(const ByteSource& source, const std::string& fault) {
    throw Error(source.name() + ": " + fault);
}

// Encrypted tables scramble the field descriptors, so their names are not text.
bool isReadableName(const char* name) {
    const void* end = std::memchr(name, 0, header::kNameSize);
    if (end == nullptr || end == name)
        return false;
    for (const char* p = name; p != end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

FieldDef parseDescriptor(const ByteSource& source, const char* d, std::uint32_t recordLength) {
    FieldDef field;
    field.name = d;
    const std::uint16_t type = readLe16(d + header::kTypeAt);
    if (!isKnownFieldType(type))
        fail(source, "field \"" + field.name + "\" has an unknown type " + std::to_string(type));
    field.type = FieldType(type);
    field.offset = readLe32(d + header::kOffsetAt);
    field.length = readLe16(d + header::kLengthAt);
    field.decimals = readLe16(d + header::kDecimalsAt);
    const std::uint64_t end = std::uint64_t(field.offset) + field.length;
    if (field.length == 0 || field.offset < header::kRecordPrefix || end > recordLength)
        fail(source, "field \"" + field.name + "\" lies outside the record (offset " +
                         std::to_string(field.offset) + ", length " + std::to_string(field.length) +
                         ", record length " + std::to_string(recordLength) +
                         "); the table is damaged");
    if (field.length < fixedFieldSize(field.type))
        fail(source, "field \"" + field.name + "\" of type " + fieldTypeName(field.type) +
                         " is too short (" + std::to_string(field.length) +
                         " bytes); the table is damaged");
    return field;
}

void checkSizes(const ByteSource& source, const TableLayout& layout, std::uint16_t fieldCount,
                std::uint64_t fileSize) {
    if (fieldCount == 0)
        fail(source, "the table has no fields; it is damaged");
    if (layout.recordLength <= header::kRecordPrefix ||
        layout.recordLength > header::kMaxRecordLength)
        fail(source, "the record length " + std::to_string(layout.recordLength) +
                         " is invalid; the table is damaged");
    if (fieldCount > layout.recordLength - header::kRecordPrefix)
        fail(source, "the field count " + std::to_string(fieldCount) +
                         " does not fit the record length; the table is damaged");
    const std::uint64_t descriptorsEnd =
        header::kSize + std::uint64_t(fieldCount) * header::kDescriptorSize;
    if (descriptorsEnd > fileSize)
        fail(source, "the field descriptors lie outside the file; it is damaged or cut short");
    if (layout.firstRecord < descriptorsEnd)
        fail(source, "the first record offset " + std::to_string(layout.firstRecord) +
                         " overlaps the field descriptors; the table is damaged");
    // A live writer may have appended a record before updating the count, so a longer file is
    // read as far as the count says; a shorter one has lost records.
    const std::uint64_t recordsEnd =
        layout.firstRecord + std::uint64_t(layout.recordCount) * layout.recordLength;
    if (recordsEnd > fileSize)
        fail(source, "the file is cut short: its header lists " +
                         std::to_string(layout.recordCount) + " records of " +
                         std::to_string(layout.recordLength) + " bytes (" +
                         std::to_string(recordsEnd) + " bytes in all) but it has " +
                         std::to_string(fileSize) + " bytes");
}

} // namespace

bool TableLayout::hasMemoFields() const {
    for (const FieldDef& field : fields) {
        if (isMemoType(field.type))
            return true;
    }
    return false;
}

std::uint16_t fixedFieldSize(FieldType type) {
    switch (type) {
    case FieldType::Logical:
        return 1;
    case FieldType::ShortInteger:
        return 2;
    case FieldType::Date:
    case FieldType::Integer:
    case FieldType::Time:
    case FieldType::AutoIncrement:
        return 4;
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::Image:
    case FieldType::Double:
    case FieldType::Timestamp:
    case FieldType::CurrencyDouble:
    case FieldType::Money:
    case FieldType::RowVersion:
    case FieldType::ModTime:
        return 8;
    case FieldType::Numeric:
    case FieldType::Character:
    case FieldType::CiCharacter:
    case FieldType::NCharacter:
        return 0;
    }
    return 0;
}

bool isMemoType(FieldType type) {
    return type == FieldType::Memo || type == FieldType::Binary || type == FieldType::Image;
}

TableLayout readTableLayout(const ByteSource& source) {
    const std::uint64_t fileSize = source.size();
    char head[header::kSize] = {};
    const std::size_t got = source.readAt(0, head, sizeof head);
    if (got < sizeof header::kSignature ||
        std::memcmp(head, header::kSignature, sizeof header::kSignature) != 0)
        fail(source, "not an Advantage table (its signature is missing)");
    if (got < sizeof head)
        fail(source, "the header is cut short; the table is damaged");

    TableLayout layout;
    layout.recordCount = readLe32(head + header::kRecordCountAt);
    layout.firstRecord = readLe32(head + header::kFirstRecordAt);
    layout.recordLength = readLe32(head + header::kRecordLengthAt);
    const std::uint16_t fieldCount = readLe16(head + header::kFieldCountAt);
    checkSizes(source, layout, fieldCount, fileSize);

    std::string descriptors(std::size_t(fieldCount) * header::kDescriptorSize, '\0');
    readExactly(source, header::kSize, descriptors.data(), descriptors.size());
    for (std::uint16_t i = 0; i < fieldCount; ++i) {
        if (!isReadableName(descriptors.data() + std::size_t(i) * header::kDescriptorSize))
            throw Error(source.name() + " is an encrypted table and cannot be read.");
    }
    layout.fields.reserve(fieldCount);
    for (std::uint16_t i = 0; i < fieldCount; ++i)
        layout.fields.push_back(
            parseDescriptor(source, descriptors.data() + std::size_t(i) * header::kDescriptorSize,
                            layout.recordLength));
    return layout;
}

} // namespace quillory::ads
