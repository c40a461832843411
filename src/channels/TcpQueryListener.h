#pragma once

#include "channels/QueryLog.h"

#include <QTcpServer>

namespace quillory {

// The TCP server of the query channel. It lives on a thread of its own and serves every
// connection from that thread's event loop, one TcpQueryConnection each.
class TcpQueryListener : public QTcpServer {
public:
    TcpQueryListener(TransferLog& log, const LoggingSwitch& logging, std::string settingsPath,
                     ChannelErrorSink onError);
    ~TcpQueryListener() override;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void acceptFailed();

    QueryLog log_;
    ChannelErrorSink onError_;
    bool acceptFailing_ = false;
};

} // namespace quillory
