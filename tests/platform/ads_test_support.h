#pragma once

#include "platform/ads/AdtWriter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quillory::ads::test {

// A folder under /tmp that is removed with the object.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillory-ads-XXXXXX");
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline void writeTable(const std::string& path, const std::vector<FieldSpec>& fields,
                       const std::vector<std::vector<Value>>& rows,
                       const std::vector<bool>& deleted = {}) {
    AdtWriter writer(path, fields);
    for (std::size_t i = 0; i < rows.size(); ++i)
        writer.append(rows[i], i < deleted.size() && deleted[i]);
    writer.finish();
}

inline Value text(std::string s) {
    return Value::ofText(std::move(s));
}
inline Value stamp(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return Value::ofTimestamp({y, mo, d, h, mi, s, ms});
}

} // namespace quillory::ads::test
