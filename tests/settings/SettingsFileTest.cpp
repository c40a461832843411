#include "settings/SettingsFile.h"
#include "core/Error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using quillory::LocalDateTime;
using quillory::SettingsFile;
namespace fs = std::filesystem;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    std::string path() const { return dir_.filePath("Quillory.NFO").toStdString(); }

    void put(const std::string& bytes) const { std::ofstream(path(), std::ios::binary) << bytes; }
    std::string bytes() const {
        std::ifstream in(path(), std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsFileTest, LoggingSwitchReadsItsDefaultOnlyWhenAbsent) {
    struct Case {
        const char* name;
        const char* file; // nullptr: no settings file at all
        const char* expected;
    };
    for (const Case& c : std::vector<Case>{{"no file", nullptr, "1"},
                                           {"no key", "[Options]\nDataPath=C:\\x\n", "1"},
                                           {"off", "[Options]\nLogging=0\n", "0"},
                                           {"other text", "[Options]\nLogging=yes\n", "yes"},
                                           {"empty", "[Options]\nLogging=\n", ""}}) {
        fs::remove(path());
        if (c.file)
            put(c.file);
        EXPECT_EQ(SettingsFile(path()).ReadString("Options", "Logging", "1"), c.expected) << c.name;
    }
}

TEST_F(SettingsFileTest, FirstWriteCreatesTheFileAndOtherObjectsSeeWritesAtOnce) {
    SettingsFile writer(path());
    const SettingsFile reader(path());
    EXPECT_EQ(reader.ReadString("Options", "TransferType", "none"), "none");

    writer.WriteString("Options", "TransferType", "Network");
    EXPECT_EQ(bytes(), "[Options]\nTransferType=Network\n");
    EXPECT_EQ(reader.ReadString("Options", "TransferType", ""), "Network");

    writer.WriteString("Options", "DataPath", "");
    EXPECT_EQ(reader.ReadString("Options", "DataPath", "absent"), "");
    EXPECT_EQ(bytes(), "[Options]\nTransferType=Network\nDataPath=\n");
}

TEST_F(SettingsFileTest, WriteKeepsOtherLinesPermissionsAndLeavesNoTemporaryFile) {
    const std::string head = "; written by hand\r\n[Vendor]\r\nKey=1\r\n\r\n[Options]\r\n";
    const std::string tail = "\r\n[Zed]\r\nodd line";
    put(head + "Logging=1" + tail);
    fs::permissions(path(), fs::perms(0640));

    SettingsFile(path()).WriteString("Options", "Logging", "0");

    EXPECT_EQ(bytes(), head + "Logging=0" + tail);
    EXPECT_EQ(fs::status(path()).permissions(), fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path().toStdString()), {}), 1);
}

TEST_F(SettingsFileTest, RefusedWriteNamesTheFileAndChangesNothing) {
    // Root ignores permission bits, so the write is made impossible in ways that hold for root.
    const std::string regularFile = dir_.filePath("plain").toStdString();
    put("[Options]\nLogging=1\n");
    std::ofstream(regularFile) << "x";
    const std::string folder = dir_.filePath("folder.NFO").toStdString();
    fs::create_directory(folder);

    for (const std::string& target : {regularFile + "/Quillory.NFO", folder}) {
        SettingsFile settings(target);
        EXPECT_EQ(settings.ReadString("Options", "Logging", "1"), "1") << target;
        try {
            settings.WriteString("Options", "Logging", "0");
            ADD_FAILURE() << "no error for " << target;
        } catch (const quillory::Error& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + target);
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 0);
    EXPECT_EQ(bytes(), "[Options]\nLogging=1\n");
}

TEST_F(SettingsFileTest, LineBreakInValueIsRefusedBeforeTheFileIsTouched) {
    put("[Options]\nDataPath=C:\\a\n");
    EXPECT_THROW(SettingsFile(path()).WriteString("Options", "DataPath", "C:\\b\nLogging=0"),
                 quillory::Error);
    EXPECT_EQ(bytes(), "[Options]\nDataPath=C:\\a\n");
}

TEST_F(SettingsFileTest, WriteFollowsASymbolicLink) {
    const std::string real = dir_.filePath("real.NFO").toStdString();
    std::ofstream(real) << "[Options]\nLogging=1\n";
    fs::create_symlink(real, path());

    SettingsFile(path()).WriteString("Options", "Logging", "0");

    EXPECT_TRUE(fs::is_symlink(path()));
    EXPECT_EQ(SettingsFile(real).ReadString("Options", "Logging", ""), "0");
}

TEST_F(SettingsFileTest, ConcurrentWritersLoseNothingAndReadersNeverSeeAPartialFile) {
    SettingsFile(path()).WriteString("Options", "TransferType", "TCP");
    std::atomic<bool> writing{true};
    std::atomic<int> badReads{0};
    std::thread reader([&] {
        const SettingsFile settings(path());
        while (writing)
            badReads += settings.ReadString("Options", "TransferType", "") != "TCP";
    });
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w)
        writers.emplace_back([&, w] {
            SettingsFile settings(path());
            for (int i = 0; i < 50; ++i)
                settings.WriteString("Options", "Key" + std::to_string(w), std::to_string(i));
        });
    for (auto& writer : writers)
        writer.join();
    writing = false;
    reader.join();

    EXPECT_EQ(badReads, 0);
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(SettingsFile(path()).ReadString("Options", "Key" + std::to_string(w), ""), "49");
}

TEST_F(SettingsFileTest, DateTimeRoundTripAndStoredText) {
    struct Case {
        LocalDateTime value;
        const char* stored;
        LocalDateTime readBack;
    };
    const LocalDateTime midnight{2011, 10, 18, 0, 0, 0, 0};
    const LocalDateTime afternoon{2011, 10, 18, 15, 30, 45, 0};
    const std::vector<Case> cases = {
        {LocalDateTime::zero(), "1899-12-30", LocalDateTime::zero()},
        {midnight, "2011-10-18", midnight},
        {afternoon, "2011-10-18 15:30:45", afternoon},
        {{2011, 10, 18, 15, 30, 45, 999}, "2011-10-18 15:30:45", afternoon},
        {{2011, 10, 18, 0, 0, 0, 500}, "2011-10-18", midnight},
    };
    SettingsFile settings(path());
    for (const Case& c : cases) {
        settings.WriteDateTime("Options", "Last Pull Date", c.value);
        EXPECT_EQ(settings.ReadString("Options", "Last Pull Date", ""), c.stored);
        EXPECT_EQ(settings.ReadDateTime("Options", "Last Pull Date", {2000, 1, 1}), c.readBack)
            << c.stored;
    }
}

TEST_F(SettingsFileTest, DateTimeAbsentGivesDefaultUnreadableGivesZero) {
    const LocalDateTime def{2000, 1, 2, 3, 4, 5, 0};
    struct Case {
        const char* file;
        LocalDateTime expected;
    };
    for (const Case& c : std::vector<Case>{
             {nullptr, def},
             {"[Options]\n", def},
             {"[Options]\nLast Pull Date=\n", LocalDateTime{}},
             {"[Options]\nLast Pull Date=yesterday\n", {}},
             {"[Options]\nlast pull date=10/18/2011 3:30:45 PM", {2011, 10, 18, 15, 30, 45, 0}}}) {
        fs::remove(path());
        if (c.file)
            put(c.file);
        EXPECT_EQ(SettingsFile(path()).ReadDateTime("Options", "Last Pull Date", def), c.expected)
            << (c.file ? c.file : "no file");
    }
}

} // namespace
