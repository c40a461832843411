#include "cli/QueryServe.h"

#include "channels/SerialQueryHandler.h"
#include "channels/TcpQueryChannel.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

namespace quillory::cli {

namespace {

constexpr int kPollMs = 100;

// Runs the event loop until keepGoing() says stop or running() says the channel is gone.
void runUntilStopped(const std::function<bool()>& keepGoing, const std::function<bool()>& running) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!keepGoing() || !running())
            loop.quit();
    });
    poll.start(kPollMs);
    if (keepGoing() && running())
        loop.exec();
}

std::string setting(const std::string& settingsPath, const char* key) {
    return SettingsFile(settingsPath).ReadString("Options", key, "");
}

} // namespace

int serveTcp(const std::string& settingsPath, TransferLog& log, LoggingSwitch& logging,
             std::ostream& err, const std::function<bool()>& keepGoing) {
    // The channel reports from its own thread; err is written on this one only.
    QObject context;
    ChannelErrorSink onError = [&context, &err](const std::string& message) {
        QMetaObject::invokeMethod(
            &context, [&err, message] { err << "quillory-cli serve: " << message << "\n"; },
            Qt::QueuedConnection);
    };
    TcpQueryChannel channel(log, logging, settingsPath, onError);
    const std::string port = setting(settingsPath, "TCPPort");
    if (channel.start(port) != TcpQueryChannel::StartResult::Listening) {
        err << "quillory-cli serve: cannot listen on TCP port \"" << port
            << "\" (TCPPort): " << channel.errorText() << "\n";
        return 1;
    }
    runUntilStopped(keepGoing, [] { return true; });
    channel.stop();
    QCoreApplication::sendPostedEvents(&context, QEvent::MetaCall); // the last reports
    return 0;
}

int serveSerial(const std::string& settingsPath, TransferLog& log, LoggingSwitch& logging,
                std::ostream& err, const std::function<bool()>& keepGoing) {
    SerialQueryHandler handler(log, logging, settingsPath, [&err](const std::string& message) {
        err << "quillory-cli serve: " << message << "\n";
    });
    if (!handler.open(setting(settingsPath, "CommPort"))) {
        err << "quillory-cli serve: cannot open the serial port (CommPort): " << handler.errorText()
            << "\n";
        return 1;
    }
    runUntilStopped(keepGoing, [&handler] { return handler.isOpen(); });
    return handler.isOpen() ? 0 : 1;
}

} // namespace quillory::cli
