#include "platform/ads/CachedSource.h"

#include <algorithm>
#include <cstring>
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
          slots_(std::max<std::size_t>(1, budget / blockSize)) {}

    std::uint64_t size() const override { return source_->size(); }

    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const override {
        const std::lock_guard lock(mutex_);
        std::size_t done = 0;
        while (done < size) {
            const std::uint64_t position = offset + done;
            const Slot& slot = blockAt(position / blockSize);
            const std::size_t inBlock = position % blockSize;
            if (inBlock >= slot.length)
                break; // end of the file
            const std::size_t n = std::min(size - done, slot.length - inBlock);
            std::memcpy(buffer + done, slot.bytes.get() + inBlock, n);
            done += n;
            if (slot.length < blockSize)
                break;
        }
        return done;
    }

private:
    struct Slot {
        std::uint64_t number = 0;
        std::unique_ptr<char[]> bytes;
        std::size_t length = 0;
        bool referenced = false;
    };

    const Slot& blockAt(std::uint64_t number) const {
        const auto found = where_.find(number);
        if (found != where_.end()) {
            Slot& slot = slots_[found->second];
            if (slot.length == blockSize) {
                slot.referenced = true;
                return slot;
            }
            return fill(found->second); // read short at the end: the file may have grown
        }
        return fill(claimSlot(number));
    }

    // The clock algorithm: a block used since the hand last passed gets one more round.
    std::size_t claimSlot(std::uint64_t number) const {
        for (;;) {
            const std::size_t index = hand_;
            hand_ = (hand_ + 1) % slots_.size();
            Slot& slot = slots_[index];
            if (slot.bytes && slot.referenced) {
                slot.referenced = false;
                continue;
            }
            if (slot.bytes)
                where_.erase(slot.number);
            else
                slot.bytes = std::make_unique<char[]>(blockSize);
            slot.number = number;
            slot.length = 0;
            where_[number] = index;
            return index;
        }
    }

    const Slot& fill(std::size_t index) const {
        Slot& slot = slots_[index];
        try {
            slot.length = source_->readAt(slot.number * blockSize, slot.bytes.get(), blockSize);
        } catch (...) {
            where_.erase(slot.number);
            slot.bytes.reset();
            throw;
        }
        slot.referenced = true;
        return slot;
    }

    std::unique_ptr<ByteSource> source_;
    mutable std::mutex mutex_;
    mutable std::vector<Slot> slots_;
    mutable std::unordered_map<std::uint64_t, std::size_t> where_;
    mutable std::size_t hand_ = 0;
};

} // namespace

std::unique_ptr<ByteSource> cachedSource(std::unique_ptr<ByteSource> source, std::size_t budget) {
    return std::make_unique<CachedSource>(std::move(source), budget);
}

} // namespace quillory::ads
