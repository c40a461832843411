#pragma once

#include "channels/QueryLog.h"
#include "channels/TcpRequestText.h"

#include <QBasicTimer>
#include <QObject>
#include <QTcpSocket>

namespace quillory {

// One accepted connection, one exchange. It deletes itself when the connection has ended.
class TcpQueryConnection : public QObject {
public:
    // A silent or slow peer gets this long from accept to a complete frame.
    static constexpr int kDeadlineMs = 5000;

    TcpQueryConnection(qintptr descriptor, QueryLog& log, const ChannelErrorSink& onError,
                       QObject* parent);
    ~TcpQueryConnection() override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void readPieces();
    void peerGone();
    void finishFrame();
    void finishInvalid();
    bool logOrReport(const std::function<void()>& append);
    void end();
    void endAfterReply();

    QTcpSocket socket_;
    QBasicTimer deadline_;
    TcpRequestText text_;
    std::string peer_;
    QueryLog& log_;
    const ChannelErrorSink& onError_;
    bool done_ = false; // the exchange is decided; what follows is only closing
};

} // namespace quillory
