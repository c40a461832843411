#include "platform/ads/KeyIndex.h"

#include <algorithm>

namespace quillory::ads {
namespace {

inline unsigned char fold(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c | 0x20 : c;
}

inline std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return x;
}

} // namespace

void KeyIndex::seal() {
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.slot < b.slot;
    });
    entries_.shrink_to_fit();
    // About two entries a bucket: 2 bytes a record for the directory.
    bucketBits_ = 0;
    while (bucketBits_ < 26 && (std::size_t(2) << bucketBits_) < entries_.size())
        ++bucketBits_;
    directory_.assign((std::size_t(1) << bucketBits_) + 1, 0);
    std::size_t entry = 0;
    for (std::size_t bucket = 0; bucket + 1 < directory_.size(); ++bucket) {
        directory_[bucket] = std::uint32_t(entry);
        while (entry < entries_.size() && bucketOf(entries_[entry].hash) == bucket)
            ++entry;
    }
    directory_.back() = std::uint32_t(entries_.size());
}

std::size_t KeyIndex::bucketOf(std::uint64_t hash) const {
    return bucketBits_ == 0 ? 0 : std::size_t(hash >> (64 - bucketBits_));
}

std::span<const KeyIndex::Entry> KeyIndex::candidates(std::uint64_t hash) const {
    if (entries_.empty())
        return {};
    const std::size_t bucket = bucketOf(hash);
    const auto first = std::lower_bound(entries_.begin() + directory_[bucket],
                                        entries_.begin() + directory_[bucket + 1], hash,
                                        [](const Entry& e, std::uint64_t h) { return e.hash < h; });
    auto last = first;
    while (last != entries_.end() && last->hash == hash)
        ++last;
    return {first, last};
}

std::uint64_t hashFoldedKey(std::string_view key) {
    std::uint64_t h = 0x9e3779b97f4a7c15ULL ^ key.size();
    std::uint64_t word = 0;
    int filled = 0;
    for (const char c : key) {
        word |= std::uint64_t(fold(static_cast<unsigned char>(c))) << (8 * filled);
        if (++filled == 8) {
            h = mix(h ^ word);
            word = 0;
            filled = 0;
        }
    }
    return mix(h ^ word ^ (std::uint64_t(filled) << 61));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace quillory::ads
