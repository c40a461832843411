#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillory::ads {

// An in-memory index of one field: the 64-bit hash of each live record's case-folded key with
// its slot, sorted, and a directory of where each run of leading hash bits starts, so that a
// lookup touches a few cache lines instead of binary-searching megabytes. About 13 bytes a
// record; lookups verify candidates against the record itself, so a hash collision costs a read,
// never a wrong answer.
class KeyIndex {
public:
#pragma pack(push, 4)
    struct Entry {
        std::uint64_t hash;
        std::uint32_t slot;
    };
#pragma pack(pop)

    void reserve(std::size_t count) {
        entries_.reserve(count);
    }
    void add(std::uint64_t hash, std::uint32_t slot) {
        entries_.push_back({hash, slot});
    }
    // Sorts by hash, then slot, so that candidates come in slot order.
    void seal();
    std::span<const Entry> candidates(std::uint64_t hash) const;
    std::size_t memoryBytes() const {
        return entries_.capacity() * sizeof(Entry) + directory_.capacity() * sizeof(std::uint32_t);
    }

private:
    std::size_t bucketOf(std::uint64_t hash) const;

    std::vector<Entry> entries_;
    std::vector<std::uint32_t> directory_; // bucket b starts at directory_[b]
    int bucketBits_ = 0;
};

// a-z/A-Z folded, so that one index serves exact and letter-case-blind lookups.
std::uint64_t hashFoldedKey(std::string_view key);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace quillory::ads
