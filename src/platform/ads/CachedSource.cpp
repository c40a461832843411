#include "platform/ads/CachedSource.h"

#include <cstring>
#include <list>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace quillory::ads {

namespace {

// Small enough that a miss costs little more than reading the record itself.
constexpr std::size_t blockSize = 8 * 1024;

class CachedSource final : public ByteSource {
public:
    CachedSource(std::unique_ptr<ByteSource> source, std::size_t budget)
        : ByteSource(source->name()), source_(std::move(source)),
          maxBlocks_(std::max<std::size_t>(1, budget / blockSize)) {}

    std::uint64_t size() const override { return source_->size(); }

    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const override {
        const std::lock_guard lock(mutex_);
        std::size_t done = 0;
        while (done < size) {
            const std::uint64_t position = offset + done;
            const Block& block = blockAt(position / blockSize);
            const std::size_t inBlock = position % blockSize;
            if (inBlock >= block.bytes.size())
                break; // end of the file
            const std::size_t n = std::min(size - done, block.bytes.size() - inBlock);
            std::memcpy(buffer + done, block.bytes.data() + inBlock, n);
            done += n;
            if (block.bytes.size() < blockSize)
                break;
        }
        return done;
    }

private:
    struct Block {
        std::vector<char> bytes;
        std::list<std::uint64_t>::iterator age;
    };

    const Block& blockAt(std::uint64_t number) const {
        auto found = blocks_.find(number);
        if (found != blocks_.end() && found->second.bytes.size() == blockSize) {
            ages_.splice(ages_.begin(), ages_, found->second.age);
            return found->second;
        }
        if (found == blocks_.end()) {
            if (blocks_.size() >= maxBlocks_)
                evictOldest();
            ages_.push_front(number);
            found = blocks_.emplace(number, Block{{}, ages_.begin()}).first;
        }
        std::vector<char> bytes;
        bytes.resize(blockSize); // no need to clear: what is not read is cut off below
        try {
            bytes.resize(source_->readAt(number * blockSize, bytes.data(), blockSize));
        } catch (...) {
            ages_.erase(found->second.age);
            blocks_.erase(found);
            throw;
        }
        found->second.bytes = std::move(bytes);
        return found->second;
    }

    void evictOldest() const {
        blocks_.erase(ages_.back());
        ages_.pop_back();
    }

    std::unique_ptr<ByteSource> source_;
    std::size_t maxBlocks_;
    mutable std::mutex mutex_;
    mutable std::unordered_map<std::uint64_t, Block> blocks_;
    mutable std::list<std::uint64_t> ages_; // most recently used first
};

} // namespace

std::unique_ptr<ByteSource> cachedSource(std::unique_ptr<ByteSource> source, std::size_t budget) {
    return std::make_unique<CachedSource>(std::move(source), budget);
}

} // namespace quillory::ads
