#pragma once

#include <cstdint>

namespace quillory::dbase {

// Advisory byte-range locks on an open file (Linux open-file-description locks, fcntl
// F_OFD_SETLK). Unlike classic POSIX record locks they belong to the open file, not to the
// process: two table objects of one program exclude each other, and closing one file never drops
// the locks of another. They still conflict with classic fcntl locks of other processes.
// The locked bytes lie far beyond the data, so they only name the lock.
enum class LockKind { Read, Write };

// One byte marks "the table is open" (read lock: shared, write lock: exclusive), another guards
// each single operation on the data.
constexpr std::uint64_t kOpenLockByte = 0x7FFFFFFF00000000ull;
constexpr std::uint64_t kDataLockByte = kOpenLockByte + 1;

// False when another open file holds a conflicting lock.
bool tryLockByte(int fd, std::uint64_t byte, LockKind kind);
// Waits for the lock. Throws quillory::Error when the system refuses it.
void lockByte(int fd, std::uint64_t byte, LockKind kind);
void unlockByte(int fd, std::uint64_t byte);

// Holds the data lock for one operation.
class DataLock {
public:
    DataLock(int fd, LockKind kind) : fd_(fd) { lockByte(fd, kDataLockByte, kind); }
    ~DataLock() { unlockByte(fd_, kDataLockByte); }
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;

private:
    int fd_;
};

} // namespace quillory::dbase
