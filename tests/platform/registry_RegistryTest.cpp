#include "platform/registry/Registry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using quillory::platform::Registry;
using Hive = Registry::Hive;

namespace {

TEST(Registry, ReadsStringValuesOfEachHiveFromItsOwnFile) {
    QTemporaryDir dir;
    const std::string user = dir.filePath("user.ini").toStdString();
    const std::string machine = dir.filePath("machine.ini").toStdString();
    std::ofstream(user) << "[Software\\MediSoft]\r\nRoot Data Path = C:\\MediData\\ \r\n"
                        << "Empty=\r\n[Software\\Other]\r\nSetupVer=9\r\n";
    std::ofstream(machine) << "[Software\\Quillory\\ROR Irar Medisoft]\nSetupVer=1.2\n";
    const Registry registry(user, machine);

    struct Case {
        Hive hive;
        const char* key;
        const char* value;
        std::optional<std::string> expected;
    };
    const std::vector<Case> cases = {
        {Hive::CurrentUser, "Software\\MediSoft", "Root Data Path", "C:\\MediData\\"},
        {Hive::CurrentUser, "SOFTWARE\\medisoft", "root data path", "C:\\MediData\\"},
        {Hive::CurrentUser, "Software\\MediSoft", "Empty", ""},
        {Hive::CurrentUser, "Software\\MediSoft", "SetupVer", std::nullopt},
        {Hive::CurrentUser, "Software\\Quillory\\ROR Irar Medisoft", "SetupVer", std::nullopt},
        {Hive::LocalMachine, "Software\\Quillory\\ROR Irar Medisoft", "SetupVer", "1.2"},
        {Hive::LocalMachine, "Software\\MediSoft", "Root Data Path", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(registry.readString(c.hive, c.key, c.value), c.expected)
            << c.key << " / " << c.value;
}

TEST(Registry, AbsentOrUnreadableFileReadsAsAbsentAndIsNeverCreated) {
    QTemporaryDir dir;
    const std::string missing = dir.filePath("quillory/registry.ini").toStdString();
    const std::string folder = dir.path().toStdString();
    const Registry registry(missing, folder);

    EXPECT_EQ(registry.readString(Hive::CurrentUser, "Software\\MediSoft", "Root Data Path"),
              std::nullopt);
    EXPECT_EQ(registry.readString(Hive::LocalMachine, "Software\\MediSoft", "Root Data Path"),
              std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(dir.filePath("quillory").toStdString()));
}

TEST(Registry, CurrentUserFileFollowsXdgConfigHome) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = savedXdg ? savedXdg : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";

    struct Case {
        const char* xdg; // nullptr: unset
        std::string expected;
    };
    for (const Case& c :
         std::vector<Case>{{"/srv/conf", "/srv/conf/quillory/registry.ini"},
                           {nullptr, home + "/.config/quillory/registry.ini"},
                           {"", home + "/.config/quillory/registry.ini"},
                           {"relative/conf", home + "/.config/quillory/registry.ini"}}) {
        if (c.xdg)
            ::setenv("XDG_CONFIG_HOME", c.xdg, 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(Registry::filePath(Hive::CurrentUser), c.expected) << (c.xdg ? c.xdg : "unset");
    }
    if (savedXdg)
        ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(Registry::filePath(Hive::LocalMachine), "/etc/quillory/registry.ini");
}

} // namespace
