#include "core/IniText.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using quillory::iniReadValue;
using quillory::iniWriteValue;

namespace {

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(IniText, ReadsValues) {
    const std::vector<ReadCase> cases = {
        {"plain", "[Options]\nLogging=1\n", "Options", "Logging", "1"},
        {"letter case of names ignored", "[OPTIONS]\nlogging=0\n", "options", "LOGGING", "0"},
        {"blanks around header and key", "  [ Options ]  \n  Last Pull Date \t= 2011-10-18 \t\n",
         "Options", "Last Pull Date", "2011-10-18"},
        {"first '=' splits", "[Options]\nKey=a=b\n", "Options", "Key", "a=b"},
        {"empty value is present", "[Options]\nDataPath=\n", "Options", "DataPath", ""},
        {"CRLF ending not part of value", "[Options]\r\nDataPath=C:\\Data\r\n", "Options",
         "DataPath", "C:\\Data"},
        {"no final newline", "[Options]\nTCPPort=5000", "Options", "TCPPort", "5000"},
        {"CR at end of file", "[Options]\r\nTCPPort=5000\r", "Options", "TCPPort", "5000"},
        {"UTF-8 BOM before first header", "\xEF\xBB\xBF[Options]\nLogging=0\n", "Options",
         "Logging", "0"},
        {"quotes are kept", "[Options]\nKey=\"x\"\n", "Options", "Key", "\"x\""},
        {"duplicate key: first wins", "[Options]\nKey=first\nKey=second\n", "Options", "Key",
         "first"},
        {"key of a repeated section", "[Options]\nA=1\n[Other]\n[Options]\nKey=v\n", "Options",
         "Key", "v"},
        {"comment never matches", "[Options]\n;Logging=0\n", "Options", "Logging", std::nullopt},
        {"other section's key", "[Other]\nLogging=0\n[Options]\n", "Options", "Logging",
         std::nullopt},
        {"key before any section", "Logging=0\n[Options]\n", "Options", "Logging", std::nullopt},
        {"broken header closes previous section", "[Options]\n[Other\nLogging=0\n", "Options",
         "Logging", std::nullopt},
        {"prefix of a key name", "[Options]\nLog=0\n", "Options", "Logging", std::nullopt},
        {"missing section", "[Other]\n", "Options", "Logging", std::nullopt},
        {"empty file", "", "Options", "Logging", std::nullopt},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(iniReadValue(c.text, c.section, c.key), c.expected) << c.name;
}

TEST(IniText, CutsValuesLongerThan2047Characters) {
    for (std::size_t length : {2047u, 2048u, 5000u}) {
        const std::string value(length, 'x');
        const auto read = iniReadValue("[S]\nK=" + value + "\n", "S", "K");
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, value.substr(0, 2047)) << length;
    }
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* key;
    const char* value;
    std::string after;
};

TEST(IniText, WriteChangesOnlyTheKeysLine) {
    const std::string others = "; kept\n[Other]\nLogging=5\nodd line\n\n";
    const std::vector<WriteCase> cases = {
        {"replace, everything else kept", others + "[Options]\nLogging=1\nX = y\n\n[Tail]\nZ=2",
         "Logging", "0", others + "[Options]\nLogging=0\nX = y\n\n[Tail]\nZ=2"},
        {"replace keeps the key's spelling and spacing", "[OPTIONS]\r\n  logging = 1 \r\n",
         "Logging", "0", "[OPTIONS]\r\n  logging = 0\r\n"},
        {"replace last line without newline", "[Options]\nA=1", "A", "2", "[Options]\nA=2"},
        {"empty value keeps the key", "[Options]\nDataPath=C:\\x\n", "DataPath", "",
         "[Options]\nDataPath=\n"},
        {"duplicate key: first changes", "[Options]\nA=1\nA=2\n", "A", "3",
         "[Options]\nA=3\nA=2\n"},
        {"comment is not the key", "[Options]\n;A=1\n", "A", "2", "[Options]\nA=2\n;A=1\n"},
        {"new key after the section's last entry, CRLF kept",
         "[Options]\r\nA=1\r\n\r\n; about Other\r\n[Other]\r\nB=2\r\n", "New Key", "v",
         "[Options]\r\nA=1\r\nNew Key=v\r\n\r\n; about Other\r\n[Other]\r\nB=2\r\n"},
        {"new key into last section without newline", "[Options]\nA=1", "B", "2",
         "[Options]\nA=1\nB=2\n"},
        {"missing section appended", "[Other]\r\nB=2\r\n", "A", "1",
         "[Other]\r\nB=2\r\n[Options]\r\nA=1\r\n"},
        {"missing section after last line without newline", "[Other]\nB=2", "A", "1",
         "[Other]\nB=2\n[Options]\nA=1\n"},
        {"empty file", "", "Logging", "1", "[Options]\nLogging=1\n"},
    };
    for (const WriteCase& c : cases)
        EXPECT_EQ(iniWriteValue(c.before, "Options", c.key, c.value), c.after) << c.name;
}

TEST(IniText, WrittenValuesReadBackUnchanged) {
    const std::string file = "[Options]\r\nA=1\r\n[Other]\r\nB=2";
    for (const char* value : {"", "C:\\Medisoft\\Data\\Practice 1\\", "a=b", ";x", "[x]",
                              "\"quoted\"", "\\\\server\\share", "caf\xE9"}) {
        const std::string written = iniWriteValue(file, "Options", "Last Pull Date", value);
        EXPECT_EQ(iniReadValue(written, "Options", "Last Pull Date"), value) << value;
        EXPECT_EQ(iniReadValue(written, "Other", "B"), "2") << value;
    }
}

TEST(IniText, RefusesWhatCannotBeOneLine) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    for (const Case& c : std::vector<Case>{{"Options", "DataPath", "C:\\a\r\nLogging=0"},
                                           {"Options", "DataPath", "a\nb"},
                                           {"Options", "DataPath", "a\rb"},
                                           {"Options", "a=b", "x"},
                                           {"Options", "", "x"},
                                           {"Opt]ions", "Key", "x"}}) {
        EXPECT_THROW(iniWriteValue("[Options]\n", c.section, c.key, c.value), quillory::Error)
            << c.section << " " << c.key;
    }
    try {
        iniWriteValue("", "Options", "DataPath", "a\nb");
        FAIL();
    } catch (const quillory::Error& e) {
        EXPECT_STREQ(e.what(), "Cannot write \"DataPath\" in section \"Options\": the value "
                               "contains a line break, which a settings file cannot hold.");
    }
}

} // namespace
