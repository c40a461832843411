#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillory::platform {

// Read-only stand-in for the Windows registry: each hive is an INI file whose sections are key
// paths ("[Software\MediSoft]") and whose keys are value names ("Root Data Path"). Nothing is
// ever created or written.
class Registry {
public:
    enum class Hive { CurrentUser, LocalMachine };

    // CurrentUser: $XDG_CONFIG_HOME/quillory/registry.ini (~/.config when unset or relative);
    // LocalMachine: /etc/quillory/registry.ini.
    static std::string filePath(Hive hive);
    // The registry of this user and machine.
    static Registry system();

    Registry(std::string currentUserFile, std::string localMachineFile);

    const std::string& file(Hive hive) const;
    // The string value, or nothing when the file, the key or the value is absent or unreadable.
    // Key paths and value names ignore letter case, as in the registry.
    std::optional<std::string> readString(Hive hive, std::string_view keyPath,
                                          std::string_view valueName) const;

private:
    std::string currentUserFile_;
    std::string localMachineFile_;
};

} // namespace quillory::platform
