#pragma once

#include "platform/ads/AdtField.h"

#include <cstdint>
#include <vector>

namespace quillory::ads {

class ByteSource;

// The header of an Advantage table: where its records are and what their fields are.
struct TableLayout {
    std::uint32_t recordCount = 0; // slots, deleted ones included
    std::uint64_t firstRecord = 0; // file offset of slot 0
    std::uint32_t recordLength = 0;
    std::vector<FieldDef> fields;

    bool hasMemoFields() const;
};

// Header layout constants, shared with the writer.
namespace header {
constexpr char kSignature[16] = "Advantage Table";
constexpr std::uint32_t kRecordCountAt = 0x18;
constexpr std::uint32_t kFirstRecordAt = 0x20;
constexpr std::uint32_t kRecordLengthAt = 0x24;
constexpr std::uint32_t kFieldCountAt = 0x166;
constexpr std::uint32_t kSize = 400;
constexpr std::uint32_t kDescriptorSize = 200;
constexpr std::uint32_t kNameSize = 129; // up to 128 characters and a terminating zero
constexpr std::uint32_t kTypeAt = 129;
constexpr std::uint32_t kOffsetAt = 131;
constexpr std::uint32_t kLengthAt = 135;
constexpr std::uint32_t kDecimalsAt = 139;
constexpr std::uint32_t kRecordPrefix = 5;           // byte 0: bit 0 marks a deleted record
constexpr std::uint32_t kMaxRecordLength = 1u << 20; // far above the engine's own 65530
} // namespace header

// Minimum stored size of a field of type, or 0 for types of free length.
std::uint16_t fixedFieldSize(FieldType type);
// Memo, binary and image fields point into the memo file.
bool isMemoType(FieldType type);

// Reads and checks the header. Throws quillory::Error naming the file and the fault.
TableLayout readTableLayout(const ByteSource& source);

} // namespace quillory::ads
