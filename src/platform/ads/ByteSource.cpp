#include "platform/ads/ByteSource.h"

#include "core/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory::ads {
namespace {

std::string systemError(int code) {
    return std::strerror(code);
}

class FileSource final : public ByteSource {
public:
    FileSource(std::string path, int fd) : ByteSource(std::move(path)), fd_(fd) {}
    ~FileSource() override { ::close(fd_); }

    std::uint64_t size() const override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0)
            throw Error(name() + " cannot be read: " + systemError(errno));
        return std::uint64_t(info.st_size);
    }

    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const override {
        std::size_t done = 0;
        while (done < size) {
            const std::uint64_t position = offset + done;
            if (position > std::uint64_t(std::numeric_limits<off_t>::max()))
                break;
            const ssize_t n = ::pread(fd_, buffer + done, size - done, off_t(position));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw Error(name() + " cannot be read: " + systemError(errno));
            if (n == 0)
                break;
            done += std::size_t(n);
        }
        return done;
    }

private:
    int fd_;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(std::string name, std::string bytes)
        : ByteSource(std::move(name)), bytes_(std::move(bytes)) {}

    std::uint64_t size() const override { return bytes_.size(); }

    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const override {
        if (offset >= bytes_.size())
            return 0;
        const std::size_t n = std::min<std::uint64_t>(size, bytes_.size() - offset);
        std::memcpy(buffer, bytes_.data() + offset, n);
        return n;
    }

private:
    std::string bytes_;
};

} // namespace

std::unique_ptr<ByteSource> openFileSource(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR)
            throw Error(path + " does not exist.");
        throw Error(path + " cannot be read: " + systemError(code));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw Error(path + " is not a file.");
    }
    return std::make_unique<FileSource>(path, fd);
}

std::unique_ptr<ByteSource> memorySource(std::string name, std::string bytes) {
    return std::make_unique<MemorySource>(std::move(name), std::move(bytes));
}

void readExactly(const ByteSource& source, std::uint64_t offset, char* buffer, std::size_t size) {
    const std::size_t n = source.readAt(offset, buffer, size);
    if (n != size)
        throw Error(source.name() + " is shorter than expected: " + std::to_string(size) +
                    " bytes at offset " + std::to_string(offset) + " could not be read (the file " +
                    "may have been cut short while it was open).");
}

} // namespace quillory::ads
