#include "channels/Hl7Text.h"

#include "ChannelTestSupport.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::kQuery;

TEST(SplitByDelimiter, GivesThePiecesBehindWhatTheListHolds) {
    const struct {
        std::string text;
        StringList pieces;
    } cases[] = {
        {"", {}},          {"a,b", {"a", "b"}}, {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}}, {"a,", {"a"}},       {"a,,", {"a", ""}},
        {",", {""}},
    };
    for (const auto& c : cases) {
        StringList list{"kept"};
        SplitByDelimiter(c.text, ',', list);
        StringList expected{"kept"};
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(list, expected) << "text: " << c.text;
    }
}

TEST(SplitHeaderFields, PutsMessageTypeAtEightAndSecondSegmentBehindTheFirst) {
    StringList list{"kept"};
    ASSERT_TRUE(SplitHeaderFields(kQuery, list));
    ASSERT_EQ(list.size(), 1u + 12u + 10u);
    EXPECT_EQ(list[1 + 8], "QRY^Q01");
    EXPECT_EQ(list[1 + 11], "2.3.1");
    EXPECT_EQ(list[1 + 12], "QRD");
    EXPECT_EQ(list.back(), "DEM");
}

TEST(SplitHeaderFields, RefusesFewerThanTwoSegmentsAndLeavesTheListAlone) {
    for (const std::string text : {"", "MSH|^~\\&|A|B|C|D|E||QRY^Q01|1|P|2.3.1",
                                   "MSH|^~\\&|A|B|C|D|E||QRY^Q01|1|P|2.3.1\r"}) {
        StringList list{"kept"};
        EXPECT_FALSE(SplitHeaderFields(text, list)) << text;
        EXPECT_EQ(list, StringList{"kept"});
    }
}

TEST(Frame, CompletenessAndContents) {
    const struct {
        std::string received;
        bool complete;
        std::string stripped;
    } cases[] = {
        {"\x0BMSH|a\rQRD|b\r\x1C\r", true, "MSH|a\rQRD|b"},
        {"noise\x0BMSH|a\r\x1C\rtail\x0BMSH|b\r\x1C\r", true, "MSH|a"},
        {"\r\x1C\r\x0BMSH|a\r", true, ""}, // the end marker stands before the start byte
        {"\x0BMSH|a\x1C\r", false, ""},    // last segment without its own carriage return
        {"\x0BMSH|a\r", false, ""},
        {"MSH|a\r\x1C\r", false, "MSH|a"},
        {std::string("\x0BMS\0H\r\x1C\r", 9), true, std::string("MS\0H", 4)},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasCompleteFrame(c.received), c.complete) << c.received;
        EXPECT_EQ(StripFrame(c.received), c.stripped) << c.received;
    }
}

TEST(ReplyResultText, ReadsTheSecondLine) {
    const struct {
        std::string reply;
        std::string result;
    } cases[] = {
        {"MSH|x\rMSA|CA|MSG1|fine", "Data Sent OK"},
        {"MSH|x\rMSA|AE|MSG1|Unknown patient|", "Unknown patient"},
        {"MSH|x\r\nMSA|AE|MSG1|crlf", "crlf"},
        {"MSH|x\nMSA|AE|MSG1|lf\rMORE|1|2|3", "lf"},
        {"MSH|x\r\rMSA|AE|MSG1|third line", ""}, // the empty second line
        {kQuery, "I"},                           // QRD-3, the query priority
        {"MSH|x\rMSA|C", ""},                    // too short to hold "CA"
        {"MSH|x\rMSA|AE|MSG1|", ""},             // only three pieces
        {"MSH|x|y|z|w\r", ""},                   // no second line
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplyResultText(c.reply), c.result) << c.reply;
}

} // namespace
} // namespace quillory
