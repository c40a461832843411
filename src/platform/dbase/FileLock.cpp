#include "platform/dbase/FileLock.h"

#include "core/Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>

namespace quillory::dbase {

namespace {

int setLock(int fd, int command, std::uint64_t byte, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(byte);
    lock.l_len = 1;
    lock.l_pid = 0; // required to be 0 for open-file-description locks
    int result;
    do {
        result = ::fcntl(fd, command, &lock);
    } while (result != 0 && errno == EINTR);
    return result;
}

short typeOf(LockKind kind) {
    return kind == LockKind::Read ? F_RDLCK : F_WRLCK;
}

} // namespace

bool tryLockByte(int fd, std::uint64_t byte, LockKind kind) {
    if (setLock(fd, F_OFD_SETLK, byte, typeOf(kind)) == 0)
        return true;
    if (errno == EAGAIN || errno == EACCES)
        return false;
    throw Error(std::string("Cannot lock the table: ") + std::strerror(errno));
}

void lockByte(int fd, std::uint64_t byte, LockKind kind) {
    if (setLock(fd, F_OFD_SETLKW, byte, typeOf(kind)) != 0)
        throw Error(std::string("Cannot lock the table: ") + std::strerror(errno));
}

void unlockByte(int fd, std::uint64_t byte) {
    setLock(fd, F_OFD_SETLK, byte, F_UNLCK);
}

} // namespace quillory::dbase
