#include "practice/FieldFormats.h"
#include "practice/Hl7Escape.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace quillory::formats {
namespace {

struct Case {
    const char* rule;
    std::function<void(std::string&, std::string_view)> apply;
    std::string input;
    std::string expected;
};

TEST(FieldFormats, DigitZipAndPhoneRules) {
    const std::vector<Case> cases{
        {"digits", appendDigits, "111-22-3333", "111223333"},
        {"digits", appendDigits, "N/A", ""},
        {"zip", appendZip, "45402", "45402"},
        {"zip", appendZip, "45402-1234", "45402-1234"},
        {"zip", appendZip, "454021234", "45402-1234"},
        {"zip", appendZip, "4540", ""},
        {"zip", appendZip, "45402-12", ""},
        {"zip", appendZip, "", ""},
        {"zip", appendZip, "1234567890123456789", ""},
        {"phone", appendPhone, "(937)555-0142", "937^5550142"},
        {"phone", appendPhone, "555-0100", "^5550100"},
        {"phone", appendPhone, "55501", "^"},
        {"phone", appendPhone, "", "^"},
        {"phone", appendPhone, "N/A", "^"},
        {"phone", appendPhone, "1-937-555-0142", "^"},
        {"carrier phone", appendCarrierPhone, "800-555-0111", "800^5550111^"},
        {"carrier phone", appendCarrierPhone, "555-0111", "^5550111^"},
        {"carrier phone", appendCarrierPhone, "", "^^"},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        c.apply(out, c.input);
        EXPECT_EQ(out, "x" + c.expected) << c.rule << " of \"" << c.input << "\"";
    }
}

TEST(FieldFormats, DatesAreEightDigitsOrNothing) {
    std::string out;
    appendDate(out, LocalDateTime{1980, 2, 15});
    appendDate(out, std::nullopt);
    appendDate(out, LocalDateTime{812, 1, 2});
    EXPECT_EQ(out, "1980021508120102");
}

TEST(Hl7Escape, EscapesDelimitersBackslashFirstAndLineBreaks) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"12 ELM ST", "12 ELM ST"},
        {"A|B", "A\\F\\B"},
        {"A^B&C~D", "A\\S\\B\\T\\C\\R\\D"},
        {"\\F\\", "\\E\\F\\E\\"},
        {"a\rb\nc", "a\\X0D\\b\\X0A\\c"},
        {std::string("\xC9t\0\xFF", 4), std::string("\xC9t\0\xFF", 4)},
        {"", ""},
    };
    for (const auto& [stored, expected] : cases) {
        std::string out;
        appendHl7Escaped(out, stored);
        EXPECT_EQ(out, expected) << stored;
    }
}

} // namespace
} // namespace quillory::formats
