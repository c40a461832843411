#pragma once

#include <map>
#include <string>
#include <string_view>

namespace quillory::ads {

// The table files (*.adt, any letter case) of a folder, by base name folded to lower case.
// Files copied from Windows may differ only in letter case; the first in byte order wins.
std::map<std::string, std::string> listTableFiles(const std::string& folder);

// "mwpat.adt", "MWPAT" and "mwpat" all give "mwpat"; "" for a name that cannot be a table.
std::string tableKey(std::string_view name);

std::string toLowerAscii(std::string_view text);

} // namespace quillory::ads
