#include "platform/files/WholeFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory::platform {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // close() reports late write errors of some file systems (NFS), so its result counts.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A link is followed so that replacing the file does not replace the link by a plain file.
std::string resolvedTarget(const std::string& path) {
    std::error_code error;
    const auto real = std::filesystem::canonical(path, error);
    return error ? path : real.string();
}

// Created with O_EXCL under a fresh name, with mode 0666 so that the umask applies as it would
// to a file created in place.
std::optional<std::pair<std::string, int>> createTemporary(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path targetPath(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "." + targetPath.filename().string() + "." +
                                 std::to_string(::getpid()) + "." + std::to_string(counter++) +
                                 ".tmp";
        const std::string tempPath = (targetPath.parent_path() / name).string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::make_pair(tempPath, fd);
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

void syncFolderOf(const std::string& target) {
    std::string folder = std::filesystem::path(target).parent_path().string();
    if (folder.empty())
        folder = ".";
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get()); // the rename is done; a failure here only weakens durability
}

} // namespace

WholeFileRead readWholeFile(const std::string& path) {
    using Status = WholeFileRead::Status;
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return {errno == ENOENT ? Status::Missing : Status::Failed, {}};
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {Status::Failed, {}};
    WholeFileRead result{Status::Read, {}};
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {Status::Failed, {}};
        if (got == 0)
            return result;
        result.bytes.append(buffer, static_cast<std::size_t>(got));
        // A regular file reads short only at its end; this spares a read per call on the hot
        // path, where the settings are read before every message.
        if (static_cast<std::size_t>(got) < sizeof buffer)
            return result;
    }
}

bool replaceWholeFile(const std::string& path, std::string_view bytes) {
    const std::string target = resolvedTarget(path);
    // Renaming over a file needs only a writable folder; a file marked read-only stays unchanged,
    // as it would with an in-place write.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return false;
    const auto temporary = createTemporary(target);
    if (!temporary)
        return false;
    const auto& [tempPath, fd] = *temporary;
    FileDescriptor file(fd);
    struct stat old {};
    bool ok = true;
    if (::stat(target.c_str(), &old) == 0) {
        // Owner first: a change of owner clears set-id bits that fchmod then restores.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            if (::fchown(file.get(), old.st_uid, old.st_gid) != 0) {
                // Only root may give a file away; the file then stays ours.
            }
        }
        ok = ::fchmod(file.get(), old.st_mode & 07777) == 0;
    }
    ok = ok && writeAll(file.get(), bytes) && ::fsync(file.get()) == 0;
    ok = file.close() && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return false;
    }
    syncFolderOf(target);
    return true;
}

} // namespace quillory::platform
