#include "channels/QueryExchange.h"
#include "channels/TcpQueryChannel.h"

#include "ChannelTestSupport.h"
#include "TcpTestClient.h"

#include <QProcess>
#include <QTcpServer>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <thread>

namespace quillory {
namespace {

using namespace test;
using namespace std::chrono_literals;

const std::string kSpaces(8, ' ');
const std::string kMsh8 = "MSH|^~\\&|LAB|ROR|QUILLORY|PRACTICE|20240101120000||";

class TcpQueryChannelTest : public ::testing::Test {
protected:
    TcpQueryChannelTest() : settings_("TransferType=TCP\n") {}

    std::unique_ptr<TcpQueryChannel> start(FakeTransferLog& log) {
        auto channel = std::make_unique<TcpQueryChannel>(log, logging_, settings_.path(),
                                                         [this](const std::string& message) {
                                                             std::lock_guard lock(errorsMutex_);
                                                             errors_.push_back(message);
                                                         });
        EXPECT_EQ(channel->start(quint16(0)), TcpQueryChannel::StartResult::Listening)
            << channel->errorText();
        return channel;
    }

    std::vector<std::string> errors() {
        std::lock_guard lock(errorsMutex_);
        return errors_;
    }

    TempSettings settings_;
    LoggingSwitch logging_{true};
    std::mutex errorsMutex_;
    std::vector<std::string> errors_;
};

TEST_F(TcpQueryChannelTest, OneExchangePerConnection) {
    std::string withZero = kQuery;
    withZero.insert(withZero.find("SMIJA"), 1, '\0');
    const std::string longQuery = kMsh8 + "QRY^Q01\rQRD|1|R|I|" + std::string(100'000, 'L') + "\r";
    const std::string frame = framed(kQuery);
    struct Case {
        const char* name;
        std::vector<std::string> pieces;
        bool halfClose;
        bool logging;
        std::string reply;
        std::vector<std::pair<std::string, std::string>> records; // request, result
    };
    const Case cases[] = {
        {"one piece", {frame}, false, true, kReply, {{kReply + kSpaces, "I"}}},
        {"three pieces",
         {frame.substr(0, 10), frame.substr(10, 70), frame.substr(80)},
         false,
         true,
         kReply,
         {{kReply + kSpaces, "I"}}},
        {"zero byte kept",
         {framed(withZero)},
         false,
         true,
         withZero.substr(0, withZero.size() - 1),
         {{withZero.substr(0, withZero.size() - 1) + kSpaces, "I"}}},
        {"reply longer than one buffer",
         {framed(longQuery)},
         false,
         true,
         longQuery.substr(0, longQuery.size() - 1),
         {{longQuery.substr(0, longQuery.size() - 1) + kSpaces, "I"}}},
        {"two frames: only the first",
         {frame + framed(kMsh8 + "QRY^Q01\rQRD|2|R|D\r")},
         false,
         true,
         kReply,
         {{kReply + kSpaces, "I"}}},
        {"logging off", {frame}, false, false, kReply, {}},
        {"demographics", {framed(kMsh8 + "ADT^A28\rPID|1\r")}, false, true, "", {}},
        {"one segment", {framed(kMsh8 + "QRY^Q01\r")}, false, true, "", {}},
        {"no end marker, peer closes",
         {"\x0BMSH|abc\r"},
         true,
         true,
         "",
         {{"\x0BMSH|abc\r" + kSpaces, "Invalid HL7 Request!"}}},
        {"invalid is logged with logging off",
         {"\x0BMSH|abc\r"},
         true,
         false,
         "",
         {{"\x0BMSH|abc\r" + kSpaces, "Invalid HL7 Request!"}}},
        {"end marker without start byte",
         {"MSH|abc\r\x1C\r"},
         false,
         true,
         "",
         {{"MSH|abc\r\x1C\r" + kSpaces, "Invalid HL7 Request!"}}},
    };
    for (const Case& c : cases) {
        FakeTransferLog log;
        logging_.set(c.logging);
        auto channel = start(log);
        TcpTestClient client(channel->port());
        ASSERT_TRUE(client.connected()) << c.name;
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            if (i > 0)
                std::this_thread::sleep_for(50ms);
            client.send(c.pieces[i]);
        }
        if (c.halfClose)
            client.shutdownOutput();
        const std::string reply = client.readUntilClosed();
        EXPECT_TRUE(client.closed()) << c.name;
        EXPECT_TRUE(reply == c.reply) << c.name << ": " << reply.size() << " bytes";
        std::vector<LogRecord> expected;
        for (const auto& [request, result] : c.records)
            expected.push_back({"TCP", client.peer(), client.peer(), request, result});
        // After a peer's own close the record may follow the close by a moment.
        pumpUntil([&] { return log.records().size() >= expected.size(); }, 2s);
        EXPECT_EQ(log.records(), expected) << c.name;
    }
    EXPECT_TRUE(errors().empty());
}

TEST_F(TcpQueryChannelTest, PythonHl7ClientGetsTheQueryBack) {
    FakeTransferLog log;
    auto channel = start(log);
    QProcess python;
    python.start("/usr/bin/python3",
                 {QString(QUILLORY_TESTS_DIR) + "/channels/mllp_query.py",
                  QString::number(channel->port()),
                  QString::fromLatin1(QByteArray::fromStdString(kQuery).toHex())});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QList<QByteArray> lines = python.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(QByteArray::fromHex(lines[0]).toStdString(), kReply);
    EXPECT_EQ(lines[1], "QRY^Q01");
    EXPECT_EQ(lines[2], "I");
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0].result, "I");
}

TEST_F(TcpQueryChannelTest, SilentPeersAreCutOffAndDoNotDelayOthers) {
    FakeTransferLog log;
    auto channel = start(log);
    constexpr int kSilent = 1000;
    const auto opened = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<TcpTestClient>> silent;
    for (int i = 0; i < kSilent; ++i) {
        silent.push_back(std::make_unique<TcpTestClient>(channel->port()));
        ASSERT_TRUE(silent.back()->connected()) << i;
    }
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(exchange(channel->port(), {framed(kQuery)}), kReply);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);

    for (auto& client : silent) {
        EXPECT_EQ(client->readUntilClosed(), "");
        EXPECT_TRUE(client->closed());
    }
    const auto waited = std::chrono::steady_clock::now() - opened;
    EXPECT_GE(waited, 4500ms);
    EXPECT_LT(waited, 8s);
    const std::vector<LogRecord> records = log.records();
    ASSERT_EQ(records.size(), std::size_t(kSilent) + 1);
    int invalid = 0;
    for (const LogRecord& record : records)
        invalid += record.request == kSpaces && record.result == kInvalidRequest;
    EXPECT_EQ(invalid, kSilent);
}

TEST_F(TcpQueryChannelTest, TextPastOneMebibyteEndsAtOnce) {
    FakeTransferLog log;
    auto channel = start(log);
    TcpTestClient client(channel->port());
    const std::string flood = "\x0B" + std::string(kMaxRequestBytes + 100'000, 'F');
    const auto started = std::chrono::steady_clock::now();
    client.send(flood); // may fail part-way once the server has had enough
    EXPECT_EQ(client.readUntilClosed(), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    const std::vector<LogRecord> records = log.records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].result, kInvalidRequest);
    EXPECT_GT(records[0].request.size(), kMaxRequestBytes);
    EXPECT_LE(records[0].request.size(), kMaxRequestBytes + 64 * 1024 + 8);
    EXPECT_EQ(records[0].request.substr(0, 10), flood.substr(0, 10));
}

TEST_F(TcpQueryChannelTest, FailedLogAppendSendsNothingAndKeepsListening) {
    FakeTransferLog log;
    auto channel = start(log);
    log.setFailing(true);
    EXPECT_EQ(exchange(channel->port(), {framed(kQuery)}), "");
    ASSERT_TRUE(pumpUntil([&] { return !errors().empty(); }, 2s));
    EXPECT_NE(errors()[0].find("log.dbf is locked"), std::string::npos) << errors()[0];

    log.setFailing(false);
    settings_.write("TransferType=Changed\n"); // read when the record is written
    EXPECT_EQ(exchange(channel->port(), {framed(kQuery)}), kReply);
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0].transType, "Changed");
}

TEST_F(TcpQueryChannelTest, StartTellsWhyItIsNotListening) {
    FakeTransferLog log;
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::AnyIPv4, 0));
    const std::string busy = std::to_string(occupant.serverPort());
    TcpQueryChannel channel(log, logging_, settings_.path());

    using Result = TcpQueryChannel::StartResult;
    EXPECT_EQ(channel.start(busy), Result::NotListening);
    EXPECT_FALSE(channel.errorText().empty());
    for (const char* text : {"", "abc", "0", "65536"}) {
        EXPECT_EQ(channel.start(text), Result::CannotListen) << text;
        EXPECT_FALSE(channel.isListening());
    }

    // Stopping frees the port at once, so a restart on the same port works.
    occupant.close();
    ASSERT_EQ(channel.start(busy), Result::Listening) << channel.errorText();
    EXPECT_EQ(exchange(channel.port(), {framed(kQuery)}), kReply);
    channel.stop();
    EXPECT_FALSE(TcpTestClient(quint16(std::stoi(busy))).connected());
    ASSERT_EQ(channel.start(busy), Result::Listening) << channel.errorText();
    EXPECT_EQ(exchange(channel.port(), {framed(kQuery)}), kReply);
}

TEST_F(TcpQueryChannelTest, AbruptAndGarbledPeersLeaveItServing) {
    FakeTransferLog log;
    auto channel = start(log);
    std::mt19937 random(4711);
    const std::string frame = framed(kQuery);
    std::vector<std::unique_ptr<TcpTestClient>> peers;
    for (int i = 0; i < 300; ++i) {
        auto peer = std::make_unique<TcpTestClient>(channel->port());
        std::string bytes = random() % 2 ? frame : std::string();
        for (std::size_t n = random() % 400; n > 0; --n)
            bytes.insert(bytes.begin() + std::ptrdiff_t(random() % (bytes.size() + 1)),
                         "\x0B\r\x1C\0|A"[random() % 6]);
        peer->send(bytes.substr(0, random() % (bytes.size() + 1)));
        switch (random() % 3) {
        case 0:
            peer->reset(); // possibly while the reply is on its way
            break;
        case 1:
            peer->shutdownOutput();
            peers.push_back(std::move(peer));
            break;
        default:
            peers.push_back(std::move(peer)); // stays, or is cut off by the deadline
        }
    }
    peers.clear();
    EXPECT_EQ(exchange(channel->port(), {framed(kQuery)}), kReply);
}

int highestDescriptor() {
    int highest = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        highest = std::max(highest, std::stoi(entry.path().filename().string()));
    return highest;
}

TEST_F(TcpQueryChannelTest, AcceptsAgainAfterRunningOutOfDescriptors) {
    FakeTransferLog log;
    auto channel = start(log);
    std::vector<std::unique_ptr<TcpTestClient>> waiting;
    for (int i = 0; i < 8; ++i)
        waiting.push_back(std::make_unique<TcpTestClient>(channel->port(), false));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = rlim_t(highestDescriptor() + 1);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> fillers; // take every free descriptor below the limit
    for (int fd; (fd = ::dup(0)) >= 0;)
        fillers.push_back(fd);
    for (auto& client : waiting)
        client->connect();
    const bool refused = pumpUntil([&] { return !errors().empty(); }, 3s);
    for (int fd : fillers)
        ::close(fd);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    ASSERT_TRUE(refused);
    EXPECT_NE(errors()[0].find("TCP query listener"), std::string::npos) << errors()[0];

    waiting.clear();
    EXPECT_EQ(exchange(channel->port(), {framed(kQuery)}), kReply);
}

} // namespace
} // namespace quillory
