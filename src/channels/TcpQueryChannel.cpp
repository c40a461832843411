#include "channels/TcpQueryChannel.h"

#include "channels/TcpQueryListener.h"

#include <QThread>
#include <charconv>

namespace quillory {

std::optional<quint16> parseTcpPort(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < 1 || value > 65535)
        return std::nullopt;
    return quint16(value);
}

TcpQueryChannel::TcpQueryChannel(TransferLog& log, const LoggingSwitch& logging,
                                 std::string settingsPath, ChannelErrorSink onError)
    : log_(log), logging_(logging), settingsPath_(std::move(settingsPath)),
      onError_(std::move(onError)) {}

TcpQueryChannel::~TcpQueryChannel() {
    stop();
}

TcpQueryChannel::StartResult TcpQueryChannel::start(std::string_view portText) {
    const std::optional<quint16> port = parseTcpPort(portText);
    if (!port) {
        stop();
        errorText_.clear();
        errorText_.push_back('"');
        errorText_.append(portText).append("\" is not a TCP port number (1 to 65535)");
        return StartResult::CannotListen;
    }
    return start(*port);
}

TcpQueryChannel::StartResult TcpQueryChannel::start(quint16 port) {
    stop();
    errorText_.clear();
    thread_ = std::make_unique<QThread>();
    thread_->setObjectName("TCP query listener");
    auto* listener = new TcpQueryListener(log_, logging_, settingsPath_, onError_);
    listener->moveToThread(thread_.get());
    QObject::connect(thread_.get(), &QThread::finished, listener, &QObject::deleteLater);
    thread_->start();
    if (!thread_->isRunning()) {
        errorText_ = "the listener thread did not start";
        stop();
        return StartResult::CannotListen;
    }
    QString error;
    QMetaObject::invokeMethod(
        listener,
        [&] {
            if (listener->listen(QHostAddress::AnyIPv4, port))
                port_ = listener->serverPort();
            else
                error = listener->errorString();
            listening_ = listener->isListening();
        },
        Qt::BlockingQueuedConnection);
    if (!listening_) {
        errorText_ = error.isEmpty() ? "the listener is not listening" : error.toStdString();
        stop();
        return StartResult::NotListening;
    }
    return StartResult::Listening;
}

void TcpQueryChannel::stop() {
    if (thread_) {
        // The listener and its connections are deleted on their thread as it finishes.
        thread_->quit();
        thread_->wait();
        thread_.reset();
    }
    listening_ = false;
    port_ = 0;
}

} // namespace quillory
