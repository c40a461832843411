#include "platform/ads/TableFolder.h"

#include <filesystem>

namespace quillory::ads {

std::string toLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = (c >= 'A' && c <= 'Z') ? char(c | 0x20) : c;
    return lower;
}

std::string tableKey(std::string_view name) {
    std::string key = toLowerAscii(name);
    if (key.size() > 4 && key.ends_with(".adt"))
        key.resize(key.size() - 4);
    if (key.empty() || key.find('/') != std::string::npos || key == "." || key == "..")
        return {};
    return key;
}

std::map<std::string, std::string> listTableFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= 4 || toLowerAscii(name.substr(name.size() - 4)) != ".adt")
            continue;
        std::error_code statError;
        if (!it->is_regular_file(statError))
            continue;
        const std::string key = toLowerAscii(name.substr(0, name.size() - 4));
        auto [pos, inserted] = files.emplace(key, name);
        if (!inserted && name < pos->second)
            pos->second = name;
    }
    return files;
}

} // namespace quillory::ads
