#pragma once

// Helpers shared by the dBASE table tests: a scratch folder, memo contents, raw file access.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace quillory::dbase::test {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dbase-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

// length bytes that mix HL7-like text with carriage returns and bytes that naive readers choke
// on (0x00, 0x1A end marks, 0xFF). Bytes in avoid are left out (bytes a reader cannot carry).
inline std::string memoBytes(std::size_t length, unsigned seed, std::string_view avoid = {}) {
    static constexpr std::string_view text = "PID|1||CHART^^^|DOE^JANE||19700101|F\r";
    std::string bytes;
    bytes.reserve(length);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < length; ++i) {
        state = state * 1664525u + 1013904223u;
        char c = (state >> 24) % 5 == 0 ? static_cast<char>(state >> 16)
                                        : text[(i + seed) % text.size()];
        if (avoid.find(c) != std::string_view::npos)
            c = '.';
        bytes.push_back(c);
    }
    return bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline void patchFile(const std::string& path, std::size_t offset, std::string_view bytes) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::uint32_t le32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

inline std::uint16_t le16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

} // namespace quillory::dbase::test
