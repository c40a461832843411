#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillory::ads {

class ByteSource;

// The .adm file beside a table: a big-endian header (next free block, block size) and memo
// texts that start at block number x block size.
class MemoFile {
public:
    // Checks the header; throws quillory::Error naming the file.
    explicit MemoFile(std::unique_ptr<ByteSource> source);
    ~MemoFile();

    // The length bytes at block. Throws when they lie past the end of the file.
    std::string read(std::uint32_t block, std::uint32_t length) const;
    std::uint32_t blockSize() const { return blockSize_; }

private:
    std::unique_ptr<ByteSource> source_;
    std::uint32_t blockSize_ = 0;
};

// The memo file path beside table path: "x.adt" -> "x.adm", "X.ADT" -> "X.ADM".
std::string memoPathFor(const std::string& tablePath);

} // namespace quillory::ads
