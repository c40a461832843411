#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillory::dbase {

// An open file descriptor with positioned reads and writes. Every failure, a short read
// included, throws quillory::Error naming the file.
class PosixFile {
public:
    enum class Mode { ReadOnly, ReadWrite, CreateNew };

    PosixFile() = default;
    PosixFile(std::string path, Mode mode);
    ~PosixFile();
    PosixFile(PosixFile&& other) noexcept;
    PosixFile& operator=(PosixFile&& other) noexcept;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    bool writable() const { return writable_; }

    std::uint64_t size() const;
    std::string read(std::uint64_t offset, std::size_t length) const;
    void write(std::uint64_t offset, std::string_view bytes);
    void truncate(std::uint64_t size);
    void sync();
    void copyModeFrom(const PosixFile& other);
    // Moves the file to the name to, replacing what was there (see replaceFile()).
    void renameTo(const std::string& to);

private:
    [[noreturn]] void fail(const std::string& what) const;

    std::string path_;
    int fd_ = -1;
    bool writable_ = false;
};

bool fileExists(const std::string& path);
// rename(2) followed by a sync of the folder, so the new name survives a power loss.
void replaceFile(const std::string& from, const std::string& to);
// Gives the file from the name to as well, unless to exists; then removes the name from.
// Throws quillory::Error when to exists or the link fails.
void linkAsNew(const std::string& from, const std::string& to);

} // namespace quillory::dbase
