#pragma once

#include "channels/QueryLog.h"

#include <QtGlobal>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QThread;

namespace quillory {

class TcpQueryListener;

// The TCPPort setting as a port number; nothing unless it is a decimal number 1 to 65535.
std::optional<quint16> parseTcpPort(std::string_view text);

// Starts and stops the TCP query listener and its thread.
class TcpQueryChannel {
public:
    enum class StartResult {
        Listening,
        // The start raised an error: the port text names no port, or the thread failed.
        // Start-up asks "Invalid TCP Port" in its second wording.
        CannotListen,
        // The listener was activated but is not listening: the system refused the port
        // (in use, no rights). First wording.
        NotListening,
    };

    TcpQueryChannel(TransferLog& log, const LoggingSwitch& logging, std::string settingsPath,
                    ChannelErrorSink onError = {});
    ~TcpQueryChannel();
    TcpQueryChannel(const TcpQueryChannel&) = delete;
    TcpQueryChannel& operator=(const TcpQueryChannel&) = delete;

    // Listens on all IPv4 addresses; a running listener is stopped first.
    StartResult start(std::string_view portText);
    // Port 0 takes any free port (see port()).
    StartResult start(quint16 port);
    // Closes the listener and every open connection; returns when the port is free again.
    void stop();

    bool isListening() const { return listening_; }
    quint16 port() const { return port_; }
    // Why the last start failed.
    const std::string& errorText() const { return errorText_; }

private:
    TransferLog& log_;
    const LoggingSwitch& logging_;
    std::string settingsPath_;
    ChannelErrorSink onError_;
    std::unique_ptr<QThread> thread_;
    bool listening_ = false;
    quint16 port_ = 0;
    std::string errorText_;
};

} // namespace quillory
