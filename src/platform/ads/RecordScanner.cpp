#include "platform/ads/RecordScanner.h"

#include "platform/ads/AdtTableImpl.h"

namespace quillory::ads {
namespace {
constexpr std::size_t kChunkBytes = 1 << 20;
}

RecordScanner::RecordScanner(const AdtTable& table) : table_(table) {}

bool RecordScanner::fill() {
    const AdtTable::Impl& t = *table_.d;
    if (nextSlot_ >= t.layout.recordCount)
        return false;
    const std::uint32_t length = t.layout.recordLength;
    const std::uint32_t wanted = std::uint32_t(std::min<std::uint64_t>(
        t.layout.recordCount - nextSlot_, std::max<std::size_t>(1, kChunkBytes / length)));
    chunk_.resize(std::size_t(wanted) * length);
    t.readSlots(nextSlot_, wanted, chunk_.data());
    chunkFirst_ = nextSlot_;
    chunkRecords_ = wanted;
    position_ = 0;
    nextSlot_ += wanted;
    return true;
}

bool RecordScanner::next(Record& record) {
    const std::uint32_t length = table_.d->layout.recordLength;
    for (;;) {
        if (position_ == chunkRecords_ && !fill())
            return false;
        const char* bytes = chunk_.data() + std::size_t(position_) * length;
        const std::uint32_t slot = chunkFirst_ + position_++;
        if (isDeletedRecord(bytes))
            continue;
        record.table_ = &table_;
        record.slot_ = slot;
        record.bytes_.assign(bytes, length);
        return true;
    }
}

} // namespace quillory::ads
