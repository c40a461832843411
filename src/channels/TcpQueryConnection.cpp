#include "channels/TcpQueryConnection.h"

#include "channels/Hl7Text.h"
#include "platform/net/SocketDescriptor.h"

#include <QHostAddress>
#include <QTimerEvent>
#include <array>

namespace quillory {

namespace {

// Bounds what Qt buffers ahead of us; the request text itself is bounded by TcpRequestText.
constexpr qint64 kReadChunk = 64 * 1024;

} // namespace

TcpQueryConnection::TcpQueryConnection(qintptr descriptor, QueryLog& log,
                                       const ChannelErrorSink& onError, QObject* parent)
    : QObject(parent), socket_(this), log_(log), onError_(onError) {
    if (!socket_.setSocketDescriptor(descriptor)) {
        platform::closeSocketDescriptor(descriptor); // not adopted, so nobody else closes it
        if (onError_)
            onError_("TCP query listener: an accepted connection could not be taken over: " +
                     socket_.errorString().toStdString());
        done_ = true;
        deleteLater();
        return;
    }
    peer_ =
        socket_.peerAddress().toString().toStdString() + ":" + std::to_string(socket_.peerPort());
    socket_.setReadBufferSize(kReadChunk);
    deadline_.start(kDeadlineMs, this);
    connect(&socket_, &QTcpSocket::readyRead, this, [this] { readPieces(); });
    connect(&socket_, &QTcpSocket::disconnected, this, [this] { peerGone(); });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this] { peerGone(); });
    // Bytes may have arrived before the signals were connected.
    if (socket_.bytesAvailable() > 0)
        readPieces();
}

TcpQueryConnection::~TcpQueryConnection() {
    // Closing the socket below emits signals that must not reach a half-destroyed object.
    disconnect(&socket_, nullptr, this, nullptr);
}

void TcpQueryConnection::timerEvent(QTimerEvent* event) {
    if (event->timerId() != deadline_.timerId())
        return QObject::timerEvent(event);
    deadline_.stop();
    if (done_) { // the reply could not be flushed in time
        socket_.abort();
        deleteLater();
        return;
    }
    finishInvalid();
}

void TcpQueryConnection::readPieces() {
    static thread_local std::array<char, kReadChunk> chunk;
    while (!done_ && socket_.bytesAvailable() > 0) {
        const qint64 n = socket_.read(chunk.data(), qint64(chunk.size()));
        if (n <= 0)
            break;
        switch (text_.append({chunk.data(), std::size_t(n)})) {
        case TcpRequestText::State::Collecting:
            break;
        case TcpRequestText::State::EndMarkerSeen:
            return finishFrame();
        case TcpRequestText::State::TooLarge:
            return finishInvalid();
        }
    }
}

void TcpQueryConnection::peerGone() {
    if (done_) {
        if (socket_.state() == QAbstractSocket::UnconnectedState)
            deleteLater();
        return;
    }
    readPieces();
    // Nothing more can arrive, so there is no point in waiting for the deadline.
    if (!done_)
        finishInvalid();
}

void TcpQueryConnection::finishFrame() {
    done_ = true;
    if (!HasCompleteFrame(text_.text())) // an end marker without a start byte
        return finishInvalid();
    const FrameAnswer answer = answerFrame(text_.text());
    // The record comes first: when it cannot be written, nothing is sent.
    if (!answer.isQuery ||
        !logOrReport([&] { log_.answered(peer_, answer.reply, answer.logResult); }))
        return end();
    socket_.write(answer.reply.data(), qint64(answer.reply.size()));
    endAfterReply();
}

void TcpQueryConnection::finishInvalid() {
    done_ = true;
    logOrReport([&] { log_.invalid(peer_, text_.text()); });
    end();
}

bool TcpQueryConnection::logOrReport(const std::function<void()>& append) {
    try {
        append();
        return true;
    } catch (const std::exception& e) {
        if (onError_)
            onError_("TCP query from " + peer_ + ": " + e.what());
        return false;
    }
}

void TcpQueryConnection::end() {
    deadline_.stop();
    socket_.abort();
    deleteLater();
}

void TcpQueryConnection::endAfterReply() {
    // Qt closes once the reply has gone to the system; a peer that never takes it is cut off
    // after a fresh deadline.
    disconnect(&socket_, &QTcpSocket::readyRead, this, nullptr);
    deadline_.start(kDeadlineMs, this);
    socket_.flush(); // most replies go at once, and the socket closes without another round
    socket_.disconnectFromHost();
    if (socket_.state() == QAbstractSocket::UnconnectedState)
        deleteLater();
}

} // namespace quillory
