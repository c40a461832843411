#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillory::cli {

// splitmix64: the same numbers for the same seed on every platform and library version, which
// the standard distributions do not promise.
class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number in [0, n); n > 0.
    std::uint64_t below(std::uint64_t n) { return next() % n; }
    int between(int low, int high) { return low + static_cast<int>(below(high - low + 1)); }
    bool percent(int chance) { return below(100) < static_cast<std::uint64_t>(chance); }
    template <typename T> const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

private:
    std::uint64_t state_;
};

} // namespace quillory::cli
