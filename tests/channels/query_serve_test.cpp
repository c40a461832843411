#include "cli/QueryServe.h"

#include "ChannelTestSupport.h"
#include "PtyPair.h"
#include "TcpTestClient.h"

#include <QTcpServer>
#include <gtest/gtest.h>
#include <sstream>

namespace quillory {
namespace {

using namespace test;
using namespace std::chrono_literals;

TEST(QueryServe, TcpAnswersUntilToldToStop) {
    QTcpServer probe; // finds a free port
    ASSERT_TRUE(probe.listen(QHostAddress::AnyIPv4, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    TempSettings settings("TransferType=TCP\nTCPPort=" + std::to_string(port) + "\n");
    FakeTransferLog log;
    LoggingSwitch logging;
    std::ostringstream err;
    std::string reply;
    const int code = cli::serveTcp(settings.path(), log, logging, err, [&] {
        if (reply.empty())
            reply = exchange(port, {framed(kQuery)});
        return false;
    });
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(reply, kReply);
    EXPECT_EQ(log.records().size(), 1u);
    EXPECT_FALSE(TcpTestClient(port).connected()); // stopped
}

TEST(QueryServe, UnusablePortsEndWithAMessage) {
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::AnyIPv4, 0));
    FakeTransferLog log;
    LoggingSwitch logging;
    const struct {
        std::string settings;
        bool serial;
        const char* says;
    } cases[] = {
        {"TCPPort=" + std::to_string(occupant.serverPort()), false, "cannot listen"},
        {"TCPPort=port", false, "cannot listen"},
        {"TCPPort=", false, "cannot listen"},
        {"CommPort=quillory-no-such-tty", true, "/dev/quillory-no-such-tty"},
        {"CommPort=", true, "cannot open the serial port"},
    };
    for (const auto& c : cases) {
        TempSettings settings(c.settings + "\n");
        std::ostringstream err;
        bool asked = false;
        const auto keepGoing = [&] { return !(asked = true); };
        const int code = c.serial ? cli::serveSerial(settings.path(), log, logging, err, keepGoing)
                                  : cli::serveTcp(settings.path(), log, logging, err, keepGoing);
        EXPECT_EQ(code, 1) << c.settings;
        EXPECT_FALSE(asked) << c.settings;
        EXPECT_NE(err.str().find(c.says), std::string::npos) << c.settings << ": " << err.str();
    }
}

TEST(QueryServe, SerialAnswersAndEndsWhenTheLineIsLost) {
    PtyPair pty;
    ASSERT_TRUE(pty.ready());
    TempSettings settings("TransferType=Serial\nCommPort=" + pty.channelPath() + "\n");
    FakeTransferLog log;
    LoggingSwitch logging;
    std::ostringstream err;
    std::string reply;
    // The device side runs here, between the polls, since the channel needs this thread.
    const int code = cli::serveSerial(settings.path(), log, logging, err, [&] {
        if (reply.empty()) {
            pty.write(framed(kQuery));
            reply = pty.read(kReply.size(), 5s);
            pty.hangUp();
        }
        return true;
    });
    EXPECT_EQ(reply, kReply);
    EXPECT_EQ(code, 1);
    EXPECT_NE(err.str().find("Serial port"), std::string::npos) << err.str();
    EXPECT_EQ(log.records().size(), 1u);
}

} // namespace
} // namespace quillory
