#include "channels/TcpQueryListener.h"

#include "channels/TcpQueryConnection.h"

#include <QTimer>

namespace quillory {

namespace {

// How long accepting rests after the system refused a connection (no descriptors left).
constexpr int kAcceptRetryMs = 100;

} // namespace

TcpQueryListener::TcpQueryListener(TransferLog& log, const LoggingSwitch& logging,
                                   std::string settingsPath, ChannelErrorSink onError)
    : log_(log, logging, std::move(settingsPath)), onError_(std::move(onError)) {
    // Many clients connecting at once must not find the queue full.
    setListenBacklogSize(1024);
    connect(this, &QTcpServer::acceptError, this, [this] { acceptFailed(); });
}

TcpQueryListener::~TcpQueryListener() {
    // The connections use log_, which goes before QObject deletes the children.
    close();
    const QObjectList kids = children();
    for (QObject* child : kids) {
        if (auto* connection = dynamic_cast<TcpQueryConnection*>(child))
            delete connection;
    }
}

void TcpQueryListener::incomingConnection(qintptr descriptor) {
    acceptFailing_ = false;
    new TcpQueryConnection(descriptor, log_, onError_, this);
}

void TcpQueryListener::acceptFailed() {
    // QTcpServer pauses accepting for good after such an error; resume once some connections
    // have had time to end.
    if (!acceptFailing_ && onError_)
        onError_("TCP query listener: " + errorString().toStdString());
    acceptFailing_ = true;
    QTimer::singleShot(kAcceptRetryMs, this, [this] {
        if (isListening())
            resumeAccepting();
    });
}

} // namespace quillory
