#include "core/Error.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using quillory::formatSettingsDateTime;
using quillory::LocalDateTime;
using quillory::parseSettingsDateTime;

namespace {

TEST(SettingsDateTime, ReadsOwnAndUsWorkstationForms) {
    struct Case {
        const char* text;
        LocalDateTime expected;
    };
    const std::vector<Case> cases = {
        {"2011-10-18 15:30:45", {2011, 10, 18, 15, 30, 45}},
        {"2011-10-18", {2011, 10, 18}},
        {"1899-12-30", LocalDateTime::zero()},
        {"  2011-1-5 7:05:09 ", {2011, 1, 5, 7, 5, 9}},
        {"2012-02-29 23:59", {2012, 2, 29, 23, 59, 0}},
        {"10/18/2011 3:30:45 PM", {2011, 10, 18, 15, 30, 45}},
        {"10/18/2011 12:00:00 AM", {2011, 10, 18}},
        {"10/18/2011 12:15:00 PM", {2011, 10, 18, 12, 15, 0}},
        {"10/18/2011 11:59:59 pm", {2011, 10, 18, 23, 59, 59}},
        {"1/5/2011 9:07 AM", {2011, 1, 5, 9, 7, 0}},
        {"1/5/2011", {2011, 1, 5}},
        {"01/05/2011 17:00:00", {2011, 1, 5, 17, 0, 0}},
        {"12/30/1899", LocalDateTime::zero()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseSettingsDateTime(c.text), c.expected) << c.text;
}

TEST(SettingsDateTime, RefusesUnreadableText) {
    for (const char* text :
         {"", "yesterday", "2011-02-30", "2011-02-29", "2011-13-01", "0000-01-01",
          "2011-10-18 24:00:00", "2011-10-18 10:60", "2011-10-18 3:30:45 PM", "18.10.2011",
          "10/18/11", "2/30/2011", "10/18/2011 0:30 AM", "10/18/2011 13:00:00 PM",
          "10/18/2011 3:30:45 XM", "10/18/2011 3:30:45 PM extra", "2011-10-18T15:30:45"})
        EXPECT_EQ(parseSettingsDateTime(text), std::nullopt) << text;
}

TEST(SettingsDateTime, RefusesToFormatAnInvalidValue) {
    for (const LocalDateTime value :
         {LocalDateTime{2011, 2, 30}, LocalDateTime{2011, 1, 1, 24}, LocalDateTime{10000, 1, 1}})
        EXPECT_THROW(formatSettingsDateTime(value), quillory::Error) << value.toSqlText();
}

} // namespace
