#include "channels/Hl7Text.h"
#include "channels/QueryExchange.h"
#include "channels/SerialQueryHandler.h"
#include "channels/SerialReceiveBuffer.h"
#include "channels/TcpQueryChannel.h"
#include "channels/TcpRequestText.h"

#include "ChannelTestSupport.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::framed;
using test::kQuery;
using test::kReply;

const std::string kMsh8 = "MSH|^~\\&|LAB|ROR|QUILLORY|PRACTICE|20240101120000||";

TEST(AnswerFrame, OnlyAWellFormedQueryIsAnswered) {
    const struct {
        const char* name;
        std::string received;
        bool isQuery;
        std::string result;
    } cases[] = {
        {"query", framed(kQuery), true, "I"},
        {"acknowledgment as second segment", framed(kMsh8 + "QRY^Q01\rMSA|CA|1\r"), true,
         "Data Sent OK"},
        {"second segment of three pieces", framed(kMsh8 + "QRY^Q01\rQRD|1|R\r"), true, ""},
        {"demographics", framed(kMsh8 + "ADT^A28\rPID|1\r"), false, ""},
        {"letter case counts", framed(kMsh8 + "qry^q01\rQRD|1|R|I\r"), false, ""},
        {"one segment", framed(kMsh8 + "QRY^Q01\r"), false, ""},
        {"eight header fields", framed("MSH|a|b\rQRD|c|d|e\r"), false, ""},
        {"end marker before start byte", "\r\x1C\r\x0B" + kQuery, false, ""},
    };
    for (const auto& c : cases) {
        const FrameAnswer answer = answerFrame(c.received);
        EXPECT_EQ(answer.isQuery, c.isQuery) << c.name;
        EXPECT_EQ(answer.logResult, c.result) << c.name;
        if (c.isQuery)
            EXPECT_EQ(answer.reply, StripFrame(c.received)) << c.name;
        else
            EXPECT_EQ(answer.reply, "") << c.name;
    }
    EXPECT_EQ(answerFrame(framed(kQuery)).reply, kReply);
    EXPECT_EQ(logRequestText("abc"), "abc        ");
}

TEST(TcpRequestText, CollectsUntilTheEndMarkerOrTheBound) {
    using State = TcpRequestText::State;
    const std::string big(kMaxRequestBytes, 'x');
    const struct {
        const char* name;
        std::vector<std::string> pieces;
        State state;
        std::string text;
    } cases[] = {
        {"one piece", {framed(kQuery)}, State::EndMarkerSeen, framed(kQuery)},
        {"marker split over pieces",
         {"\x0BMSH|a\r", "\x1C", "\r"},
         State::EndMarkerSeen,
         "\x0BMSH|a\r\x1C\r"},
        {"zero bytes kept",
         {std::string("\x0BM\0S", 4), std::string("H\0\r\x1C\r", 5)},
         State::EndMarkerSeen,
         std::string("\x0BM\0SH\0\r\x1C\r", 9)},
        {"pieces after the marker ignored", {"\r\x1C\r", "more"}, State::EndMarkerSeen, "\r\x1C\r"},
        {"no marker yet", {"\x0BMSH|a\r", "\x1C"}, State::Collecting, "\x0BMSH|a\r\x1C"},
        {"exactly at the bound", {big}, State::Collecting, big},
        {"past the bound", {big, "y"}, State::TooLarge, big + "y"},
        {"marker in the piece that passes the bound",
         {big, "\r\x1C\r"},
         State::EndMarkerSeen,
         big + "\r\x1C\r"},
    };
    for (const auto& c : cases) {
        TcpRequestText text;
        for (const std::string& piece : c.pieces)
            text.append(piece);
        EXPECT_EQ(text.state(), c.state) << c.name;
        EXPECT_TRUE(text.text() == c.text) << c.name;
    }
}

TEST(SerialReceiveBuffer, HandsOutEveryFrameOnce) {
    using Kind = SerialReceiveBuffer::Event::Kind;
    const std::string frame = framed(kQuery);
    const std::string adt = framed(kMsh8 + "ADT^A28\rPID|1\r");
    std::vector<std::string> bytewise;
    for (char c : frame)
        bytewise.emplace_back(1, c);
    const struct {
        const char* name;
        std::vector<std::string> reads;
        std::vector<std::string> frames;
        std::string pending;
    } cases[] = {
        {"byte by byte", bytewise, {frame}, ""},
        {"noise in front", {"noise", frame}, {frame}, ""},
        {"two frames in one read", {frame + adt}, {frame, adt}, ""},
        {"end of one, start of the next",
         {frame.substr(0, 20), frame.substr(20) + adt.substr(0, 9), adt.substr(9)},
         {frame, adt},
         ""},
        // A stale end marker without a start byte must not make the next frame empty.
        {"stale end marker", {"tail\r\x1C\r", frame}, {frame}, ""},
        {"stale end marker, frame in pieces",
         {"tail\r\x1C\r", "\x0BMSH", frame.substr(4)},
         {frame},
         ""},
        {"unfinished", {"junk", frame.substr(0, 30)}, {}, frame.substr(0, 30)},
        {"noise after a frame is dropped", {frame + "noise"}, {frame}, ""},
    };
    for (const auto& c : cases) {
        SerialReceiveBuffer buffer;
        std::vector<std::string> frames;
        for (const std::string& read : c.reads) {
            for (const auto& event : buffer.append(read)) {
                EXPECT_EQ(event.kind, Kind::Frame) << c.name;
                frames.push_back(event.text);
            }
        }
        EXPECT_EQ(frames, c.frames) << c.name;
        EXPECT_EQ(buffer.pending(), c.pending) << c.name;
    }
}

TEST(SerialReceiveBuffer, PassingTheBoundDropsAllBeforeTheLastStartByte) {
    using Kind = SerialReceiveBuffer::Event::Kind;
    const std::string junk(kMaxRequestBytes, 'j');
    const std::string head = "\x0B"
                             "MSH|";
    const struct {
        const char* name;
        std::vector<std::string> reads;
        std::string dropped;
        std::string pending;
    } cases[] = {
        {"no start byte", {junk, "k"}, junk + "k", ""},
        {"an unfinished frame and the start of another",
         {"\x0B" + junk.substr(10), head + "0123456789"},
         "\x0B" + junk.substr(10),
         head + "0123456789"},
        {"one frame grown past the bound", {"\x0B" + junk}, "\x0B" + junk, ""},
    };
    for (const auto& c : cases) {
        SerialReceiveBuffer buffer;
        std::vector<SerialReceiveBuffer::Event> events;
        for (const std::string& read : c.reads) {
            for (auto& event : buffer.append(read))
                events.push_back(std::move(event));
        }
        ASSERT_EQ(events.size(), 1u) << c.name;
        EXPECT_EQ(events[0].kind, Kind::Overflow) << c.name;
        EXPECT_TRUE(events[0].text == c.dropped) << c.name;
        EXPECT_EQ(buffer.pending(), c.pending) << c.name;
        // The buffer still works afterwards, once a pending frame is ended.
        const auto after = buffer.append("\r\x1C\r" + framed(kQuery));
        ASSERT_FALSE(after.empty()) << c.name;
        EXPECT_EQ(after.back().kind, Kind::Frame) << c.name;
        EXPECT_EQ(answerFrame(after.back().text).reply, kReply) << c.name;
    }
}

TEST(ChannelSettings, PortNumbersAndDeviceNames) {
    const struct {
        std::string text;
        std::optional<quint16> port;
    } ports[] = {{"8080", 8080}, {"1", 1},    {"65535", 65535}, {"0", {}},   {"65536", {}},
                 {"", {}},       {"80a", {}}, {"-1", {}},       {" 80", {}}, {"99999999999", {}}};
    for (const auto& c : ports)
        EXPECT_EQ(parseTcpPort(c.text), c.port) << c.text;

    const std::pair<std::string, std::string> devices[] = {{"ttyS0", "/dev/ttyS0"},
                                                           {"ttyUSB1", "/dev/ttyUSB1"},
                                                           {"/dev/pts/3", "/dev/pts/3"},
                                                           {"", ""}};
    for (const auto& [setting, device] : devices)
        EXPECT_EQ(serialDevicePath(setting), device) << setting;
}

} // namespace
} // namespace quillory
