#pragma once

#include <string>
#include <string_view>

namespace quillory::platform {

struct WholeFileRead {
    enum class Status { Read, Missing, Failed };
    Status status = Status::Missing;
    std::string bytes;
};

// The whole content of a regular file. Missing when nothing is at path; Failed when something is
// there but cannot be read as a regular file (a folder, a device, no permission).
WholeFileRead readWholeFile(const std::string& path);

// Replaces the file at path (following a symbolic link) by bytes so that a reader sees either
// the old or the new content, never a part: a temporary file in the same folder is written,
// synced and renamed over it, keeping the replaced file's permission bits and owner.
// False when any step fails; the file is then left as it was.
bool replaceWholeFile(const std::string& path, std::string_view bytes);

} // namespace quillory::platform
