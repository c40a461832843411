#pragma once

#include "platform/ads/AdtField.h"

#include <memory>
#include <string>
#include <vector>

namespace quillory::ads {

struct FieldSpec {
    std::string name;
    FieldType type = FieldType::Character;
    std::uint16_t length = 0; // 0: the type's fixed size (required for character and numeric)
    std::uint16_t decimals = 0;
};

// Writes a new Advantage table (and its .adm memo file when a field is a memo) in the format
// AdtTable reads. Records are streamed to disk, so tables of millions of rows take little memory.
// Failures throw quillory::Error.
class AdtWriter {
public:
    // Creates (or replaces) path.
    AdtWriter(std::string path, std::vector<FieldSpec> fields);
    ~AdtWriter(); // finishes the table when finish() was not called; never throws
    AdtWriter(const AdtWriter&) = delete;
    AdtWriter& operator=(const AdtWriter&) = delete;

    int fieldIndex(std::string_view name) const; // letter case ignored; -1 when absent
    // Appends one record. values holds one Value per field, in field order; a value must suit
    // its field's type (text for character and memo fields, and so on) and fit its width.
    void append(const std::vector<Value>& values, bool deleted = false);
    // Writes the record count and closes the files.
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quillory::ads
