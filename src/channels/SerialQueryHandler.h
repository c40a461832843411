#pragma once

#include "channels/QueryLog.h"
#include "channels/SerialReceiveBuffer.h"

#include <QSerialPort>
#include <string>
#include <string_view>

namespace quillory {

// The device that a CommPort setting names: a listed port name such as "ttyS0" under /dev, an
// absolute path as it stands; empty for an empty setting.
std::string serialDevicePath(std::string_view commPort);

// The serial query channel: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
// It runs on the thread that opens it, which needs an event loop. The receive buffer lives as
// long as this object, across close and open.
class SerialQueryHandler {
public:
    SerialQueryHandler(TransferLog& log, const LoggingSwitch& logging, std::string settingsPath,
                       ChannelErrorSink onError = {});
    ~SerialQueryHandler();
    SerialQueryHandler(const SerialQueryHandler&) = delete;
    SerialQueryHandler& operator=(const SerialQueryHandler&) = delete;

    // Opens the port exclusively; an open port is closed first. False, with errorText(), when
    // it cannot be opened.
    bool open(std::string_view commPort);
    void close();
    bool isOpen() const { return port_.isOpen(); }
    const std::string& errorText() const { return errorText_; }

private:
    void configure();
    void receive();
    void answer(std::string_view frame);
    void report(const std::string& message);

    QSerialPort port_;
    SerialReceiveBuffer buffer_;
    QueryLog log_;
    ChannelErrorSink onError_;
    std::string errorText_;
};

} // namespace quillory
