#include "platform/dbase/PosixFile.h"

#include "core/Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillory::dbase {

namespace {

int openFlags(PosixFile::Mode mode) {
    switch (mode) {
    case PosixFile::Mode::ReadOnly:
        return O_RDONLY;
    case PosixFile::Mode::ReadWrite:
        return O_RDWR;
    case PosixFile::Mode::CreateNew:
        return O_RDWR | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolderOf(const std::string& path) {
    const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace

PosixFile::PosixFile(std::string path, Mode mode)
    : path_(std::move(path)), writable_(mode != Mode::ReadOnly) {
    do {
        fd_ = ::open(path_.c_str(), openFlags(mode) | O_CLOEXEC, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw Error("Cannot open " + path_ + ": " + std::strerror(errno));
}

PosixFile::~PosixFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

PosixFile::PosixFile(PosixFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)), writable_(other.writable_) {
}

PosixFile& PosixFile::operator=(PosixFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
        writable_ = other.writable_;
    }
    return *this;
}

void PosixFile::fail(const std::string& what) const {
    throw Error(path_ + ": " + what + ": " + std::strerror(errno));
}

std::uint64_t PosixFile::size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        fail("cannot read the file size");
    return static_cast<std::uint64_t>(info.st_size);
}

std::string PosixFile::read(std::uint64_t offset, std::size_t length) const {
    std::string bytes(length, '\0');
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n =
            ::pread(fd_, bytes.data() + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail("read error");
        if (n == 0)
            throw Error(path_ + ": the file ends before offset " + std::to_string(offset + length));
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

void PosixFile::write(std::uint64_t offset, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail("write error");
        done += static_cast<std::size_t>(n);
    }
}

void PosixFile::truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        fail("cannot change the file size");
}

void PosixFile::sync() {
    if (::fdatasync(fd_) != 0)
        fail("cannot flush the file to disk");
}

void PosixFile::copyModeFrom(const PosixFile& other) {
    struct stat info {};
    if (::fstat(other.fd_, &info) == 0)
        ::fchmod(fd_, info.st_mode & 07777);
}

void PosixFile::renameTo(const std::string& to) {
    replaceFile(path_, to);
    path_ = to;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void replaceFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw Error("Cannot rename " + from + " to " + to + ": " + std::strerror(errno));
    syncFolderOf(to);
}

void linkAsNew(const std::string& from, const std::string& to) {
    const int result = ::link(from.c_str(), to.c_str());
    const int error = errno;
    ::unlink(from.c_str());
    if (result != 0 && error == EEXIST)
        throw Error(to + " already exists");
    if (result != 0)
        throw Error("Cannot create " + to + ": " + std::strerror(error));
    syncFolderOf(to);
}

} // namespace quillory::dbase
