#include "platform/registry/Registry.h"

#include "core/IniText.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace quillory::platform {
namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

// The XDG rules ignore a relative XDG_CONFIG_HOME.
std::string configFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return config;
    return homeFolder() + "/.config";
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return bytes.str();
}

} // namespace

std::string Registry::filePath(Hive hive) {
    if (hive == Hive::LocalMachine)
        return "/etc/quillory/registry.ini";
    return configFolder() + "/quillory/registry.ini";
}

Registry Registry::system() {
    return Registry(filePath(Hive::CurrentUser), filePath(Hive::LocalMachine));
}

Registry::Registry(std::string currentUserFile, std::string localMachineFile)
    : currentUserFile_(std::move(currentUserFile)), localMachineFile_(std::move(localMachineFile)) {
}

const std::string& Registry::file(Hive hive) const {
    return hive == Hive::CurrentUser ? currentUserFile_ : localMachineFile_;
}

std::optional<std::string> Registry::readString(Hive hive, std::string_view keyPath,
                                                std::string_view valueName) const {
    const std::optional<std::string> bytes = readFile(file(hive));
    if (!bytes)
        return std::nullopt;
    return iniReadValue(*bytes, keyPath, valueName);
}

} // namespace quillory::platform
