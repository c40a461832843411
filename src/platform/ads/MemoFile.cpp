#include "platform/ads/MemoFile.h"

#include "core/Error.h"
#include "platform/ads/ByteSource.h"
#include "platform/ads/LittleEndian.h"

namespace quillory::ads {

MemoFile::MemoFile(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {
    char head[8];
    if (source_->readAt(0, head, sizeof head) != sizeof head)
        throw Error(source_->name() + ": the memo file header is cut short; it is damaged.");
    blockSize_ = readBe32(head + 4);
    if (blockSize_ == 0)
        throw Error(source_->name() + ": the memo file has a block size of 0; it is damaged.");
}

MemoFile::~MemoFile() = default;

std::string MemoFile::read(std::uint32_t block, std::uint32_t length) const {
    const std::uint64_t offset = std::uint64_t(block) * blockSize_;
    // Checked before allocating: a damaged pointer may claim up to 4 GiB.
    if (offset + length > source_->size())
        throw Error(source_->name() + ": a memo pointer (block " + std::to_string(block) + ", " +
                    std::to_string(length) +
                    " bytes) lies past the end of the memo file; it is damaged.");
    std::string bytes(length, '\0');
    readExactly(*source_, offset, bytes.data(), bytes.size());
    return bytes;
}

std::string memoPathFor(const std::string& tablePath) {
    const std::size_t dot = tablePath.find_last_of("./");
    if (dot == std::string::npos || tablePath[dot] != '.' || tablePath.size() - dot != 4)
        return tablePath + ".adm";
    const bool upper = tablePath.back() >= 'A' && tablePath.back() <= 'Z';
    return tablePath.substr(0, dot) + (upper ? ".ADM" : ".adm");
}

} // namespace quillory::ads
