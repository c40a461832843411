#pragma once

#include "platform/dbase/DbfTypes.h"
#include "platform/dbase/PosixFile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillory::dbase {

// The memo file of a table: a 512-byte header, then memos in whole blocks, each led by an 8-byte
// block header that gives its length, so any bytes can be stored (dBASE IV .dbt: marker FF FF 08
// 00 and the length with the header, little-endian; Visual FoxPro .fpt: type and length,
// big-endian). New memos always go after the last one, and only then does the header's
// next-free-block number move, so a crash leaves at most unused blocks behind. The caller
// serialises all access (Table holds its data lock).
class MemoFile {
public:
    static constexpr std::uint64_t kHeaderSize = 512;

    MemoFile(std::string path, Format format, PosixFile::Mode mode);

    // The bytes of an empty memo file. tableName (the table's file name without its extension)
    // goes into the dBASE IV header, as dBASE writes it there.
    static std::string emptyFile(Format format, std::string_view tableName);

    // The memo file of the table at tablePath: same name, extension .dbt or .fpt, in the letter
    // case of the table's extension unless only the other case exists.
    static std::string pathFor(const std::string& tablePath, Format format);

    const std::string& path() const { return file_.path(); }
    // Block 0 stands for the empty memo. Throws quillory::Error when the block does not hold a
    // complete memo inside the file.
    std::string read(std::uint32_t block) const;
    // Stores data (nothing for an empty memo) and returns its block number.
    std::uint32_t append(std::string_view data);
    // Back to an empty memo file.
    void reset();
    void sync() { file_.sync(); }

private:
    std::uint32_t nextFreeBlock() const;
    void setNextFreeBlock(std::uint32_t block);
    std::uint32_t firstBlock() const;

    PosixFile file_;
    Format format_;
    std::uint32_t blockSize_ = 0;
    mutable std::uint64_t knownSize_ = 0;
};

} // namespace quillory::dbase
