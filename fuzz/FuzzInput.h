#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

// A fuzz input is a table file and its memo file: a little-endian u32 with the table's length,
// the table bytes, then the memo bytes (no memo file when there are none).
struct FuzzInput {
    std::string table;
    std::optional<std::string> memo;

    static FuzzInput split(const std::uint8_t* data, std::size_t size) {
        FuzzInput input;
        if (size < 4) {
            input.table.assign(reinterpret_cast<const char*>(data), size);
            return input;
        }
        std::uint32_t tableLength = 0;
        for (int i = 0; i < 4; ++i)
            tableLength |= std::uint32_t(data[i]) << (8 * i);
        const std::size_t rest = size - 4;
        const std::size_t n = tableLength < rest ? tableLength : rest;
        input.table.assign(reinterpret_cast<const char*>(data) + 4, n);
        if (rest > n)
            input.memo.emplace(reinterpret_cast<const char*>(data) + 4 + n, rest - n);
        return input;
    }

    static std::string join(const std::string& table, const std::string& memo) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[std::size_t(i)] = char(table.size() >> (8 * i));
        return bytes + table + memo;
    }
};
