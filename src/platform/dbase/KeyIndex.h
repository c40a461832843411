#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quillory::dbase {

// In-memory index of one character field: value -> first record holding it. covered() tells how
// many records from the start of the table have been looked at, so appends are added one by one.
class KeyIndex {
public:
    std::uint32_t covered() const { return covered_; }
    void setCovered(std::uint32_t records) { covered_ = records; }
    void add(std::string_view key, std::uint32_t record) {
        records_.try_emplace(std::string(key), record);
    }
    std::optional<std::uint32_t> find(const std::string& key) const {
        const auto hit = records_.find(key);
        return hit == records_.end() ? std::nullopt : std::optional(hit->second);
    }
    void clear() {
        records_.clear();
        covered_ = 0;
    }

private:
    std::unordered_map<std::string, std::uint32_t> records_;
    std::uint32_t covered_ = 0;
};

} // namespace quillory::dbase
