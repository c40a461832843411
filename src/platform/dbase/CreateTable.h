#pragma once

#include "platform/dbase/DbfTypes.h"

#include <string>
#include <vector>

namespace quillory::dbase {

// Creates an empty table with these fields, and its memo file when a field is a memo. The files
// are written under temporary names and then given their names, so a crash never leaves half a
// table. Refuses to replace an existing table; throws quillory::Error.
void createTable(const std::string& path, Format format, const std::vector<Field>& fields);

} // namespace quillory::dbase
