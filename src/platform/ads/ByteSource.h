#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quillory::ads {

// Positioned reads from a table or memo file. Files are read with pread, never mapped: Medisoft
// writes them while we read, and a mapping of a file that shrinks kills the process.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The current size; a live file may grow or shrink between calls.
    virtual std::uint64_t size() const = 0;
    // Reads up to size bytes at offset; fewer only at the end of the data. Throws on I/O errors.
    virtual std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const = 0;
    const std::string& name() const { return name_; }

protected:
    explicit ByteSource(std::string name) : name_(std::move(name)) {}

private:
    std::string name_;
};

// Throws quillory::Error naming path when it is missing, not a file or unreadable.
std::unique_ptr<ByteSource> openFileSource(const std::string& path);
// Bytes held in memory under the given file name (used to fuzz the reader without disk I/O).
std::unique_ptr<ByteSource> memorySource(std::string name, std::string bytes);

// Reads exactly size bytes or throws: "<file> is shorter than expected (...)".
void readExactly(const ByteSource& source, std::uint64_t offset, char* buffer, std::size_t size);

} // namespace quillory::ads
