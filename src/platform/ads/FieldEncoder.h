#pragma once

#include "platform/ads/AdtField.h"

#include <cstdint>
#include <functional>
#include <string>

namespace quillory::ads {

// Stores one value into its field's bytes (p points at the field, field.length bytes), in the
// form the reader decodes. Memo values go through storeMemo, which returns the block number.
// Throws quillory::Error when the value does not suit the field.
using MemoStore = std::function<std::uint32_t(const std::string& bytes)>;
void encodeField(const FieldDef& field, const Value& value, char* p, const MemoStore& storeMemo);

} // namespace quillory::ads
