#pragma once

#include <cstdint>
#include <cstring>

namespace quillory::ads {

// Table files are little-endian; memo file headers are big-endian.
inline std::uint16_t readLe16(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint16_t(b[0] | b[1] << 8);
}
inline std::uint32_t readLe32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
           std::uint32_t(b[3]) << 24;
}
inline std::uint64_t readLe64(const char* p) {
    return std::uint64_t(readLe32(p)) | std::uint64_t(readLe32(p + 4)) << 32;
}
inline std::uint32_t readBe32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 |
           std::uint32_t(b[3]);
}
inline double readLeDouble(const char* p) {
    const std::uint64_t bits = readLe64(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void writeLe16(char* p, std::uint16_t v) {
    p[0] = char(v);
    p[1] = char(v >> 8);
}
inline void writeLe32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = char(v >> (8 * i));
}
inline void writeLe64(char* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = char(v >> (8 * i));
}
inline void writeBe32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = char(v >> (8 * (3 - i)));
}
inline void writeLeDouble(char* p, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    writeLe64(p, bits);
}

} // namespace quillory::ads
