#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillory::platform {

// folder with a trailing '/' added when it has none ("" stays "").
std::string withTrailingSeparator(std::string folder);

// The path of the file called name in the folder that holds path (the program keeps its tables
// beside its settings file).
std::string fileBeside(const std::string& path, const std::string& name);

// The path of the regular file called name in folder. Medisoft's data comes from Windows, where
// "MWPAT.ADT" and "mwpat.adt" are one file, so an exact match is tried first and then a match
// that ignores letter case. Nothing when there is no such file.
std::optional<std::string> findFileIgnoringCase(const std::string& folder, std::string_view name);

} // namespace quillory::platform
