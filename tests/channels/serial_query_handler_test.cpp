#include "channels/QueryExchange.h"
#include "channels/SerialQueryHandler.h"

#include "ChannelTestSupport.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

using namespace test;
using namespace std::chrono_literals;

const std::string kSpaces(8, ' ');
const std::string kMsh8 = "MSH|^~\\&|LAB|ROR|QUILLORY|PRACTICE|20240101120000||";
const std::string kSecondQuery = kMsh8 + "QRY^Q01|MSG2\rQRD|20240102|R|D|Q2\r";
const std::string kSecondReply = kSecondQuery.substr(0, kSecondQuery.size() - 1);

class SerialQueryHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.ready()) << "socat did not make a pty pair";
        settings_.write("TransferType=Serial\nCommPort=" + pty_.channelPath() + "\n");
    }

    LogRecord record(const std::string& request, const std::string& result) const {
        return {"Serial", pty_.channelPath(), pty_.channelPath(), request + kSpaces, result};
    }

    PtyPair pty_;
    TempSettings settings_{""};
    LoggingSwitch logging_{true};
    std::vector<std::string> errors_;
};

TEST_F(SerialQueryHandlerTest, AnswersEveryCompleteQuery) {
    const std::string frame = framed(kQuery);
    std::vector<std::string> smallPieces;
    for (std::size_t i = 0; i < frame.size(); i += 7)
        smallPieces.push_back(frame.substr(i, 7));
    struct Case {
        const char* name;
        std::vector<std::string> writes;
        bool logging;
        std::string reply;
        std::vector<LogRecord> records;
    };
    const Case cases[] = {
        {"small pieces", smallPieces, true, kReply, {record(kReply, "I")}},
        {"two frames in one write",
         {frame + framed(kSecondQuery)},
         true,
         kReply + kSecondReply,
         {record(kReply, "I"), record(kSecondReply, "D")}},
        {"stale end marker in front", {"tail\r\x1C\r", frame}, true, kReply, {record(kReply, "I")}},
        {"logging off", {frame}, false, kReply, {}},
        {"demographics", {framed(kMsh8 + "ADT^A28\rPID|1\r")}, true, "", {}},
        {"one segment", {framed(kMsh8 + "QRY^Q01\r")}, true, "", {}},
    };
    for (const Case& c : cases) {
        FakeTransferLog log;
        logging_.set(c.logging);
        SerialQueryHandler handler(log, logging_, settings_.path(),
                                   [&](const std::string& m) { errors_.push_back(m); });
        ASSERT_TRUE(handler.open(pty_.channelPath())) << handler.errorText();
        for (const std::string& piece : c.writes) {
            pty_.write(piece);
            pumpUntil([] { return false; }, 20ms); // one receive event per piece
        }
        std::string reply = pty_.read(c.reply.size(), 2s);
        reply += pty_.read(1, 200ms); // nothing more may follow
        EXPECT_EQ(reply, c.reply) << c.name;
        EXPECT_EQ(log.records(), c.records) << c.name;
    }
    EXPECT_TRUE(errors_.empty());
}

TEST_F(SerialQueryHandlerTest, OverlongNoiseIsDroppedAndLogged) {
    FakeTransferLog log;
    logging_.set(false); // the drop is logged whatever the switch says
    SerialQueryHandler handler(log, logging_, settings_.path());
    ASSERT_TRUE(handler.open(pty_.channelPath())) << handler.errorText();
    const std::string noise(kMaxRequestBytes + 10, 'n');
    pty_.write(noise);
    ASSERT_TRUE(pumpUntil([&] { return !log.records().empty(); }, 10s));
    const std::vector<LogRecord> records = log.records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].recPort, pty_.channelPath());
    EXPECT_EQ(records[0].repPort, pty_.channelPath());
    EXPECT_EQ(records[0].result, kInvalidRequest);
    EXPECT_TRUE(records[0].request.substr(0, kMaxRequestBytes) ==
                noise.substr(0, kMaxRequestBytes));

    pty_.write(framed(kQuery));
    EXPECT_EQ(pty_.read(kReply.size(), 2s), kReply);
}

TEST_F(SerialQueryHandlerTest, FailingLogIsReportedAfterTheReply) {
    FakeTransferLog log;
    log.setFailing(true);
    SerialQueryHandler handler(log, logging_, settings_.path(),
                               [&](const std::string& m) { errors_.push_back(m); });
    ASSERT_TRUE(handler.open(pty_.channelPath())) << handler.errorText();
    pty_.write(framed(kQuery));
    EXPECT_EQ(pty_.read(kReply.size(), 2s), kReply);
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find("log.dbf is locked"), std::string::npos);
}

TEST_F(SerialQueryHandlerTest, OpenFailsForAMissingPortAndNoticesALostOne) {
    FakeTransferLog log;
    SerialQueryHandler handler(log, logging_, settings_.path(),
                               [&](const std::string& m) { errors_.push_back(m); });
    for (const std::string name : {"", "quillory-no-such-tty", "/nonexistent/ttyS0"}) {
        EXPECT_FALSE(handler.open(name)) << name;
        EXPECT_FALSE(handler.errorText().empty()) << name;
    }
    ASSERT_TRUE(handler.open(pty_.channelPath())) << handler.errorText();
    pty_.hangUp();
    EXPECT_TRUE(pumpUntil([&] { return !handler.isOpen(); }, 5s));
    EXPECT_EQ(errors_.size(), 1u);
}

} // namespace
} // namespace quillory
