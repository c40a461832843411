#include "channels/SerialQueryHandler.h"

#include "channels/QueryExchange.h"

namespace quillory {

std::string serialDevicePath(std::string_view commPort) {
    if (commPort.empty() || commPort.front() == '/')
        return std::string(commPort);
    return "/dev/" + std::string(commPort);
}

SerialQueryHandler::SerialQueryHandler(TransferLog& log, const LoggingSwitch& logging,
                                       std::string settingsPath, ChannelErrorSink onError)
    : log_(log, logging, std::move(settingsPath)), onError_(std::move(onError)) {
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { receive(); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) {
                         // The device went away: unplugged (resource error), or a hung-up
                         // line whose reads fail at once and would otherwise fail forever.
                         const bool lost =
                             error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
                         if (lost && port_.isOpen()) {
                             report("Serial port " + port_.portName().toStdString() +
                                    " stopped working and was closed (" +
                                    port_.errorString().toStdString() + ")");
                             port_.close();
                         }
                     });
}

SerialQueryHandler::~SerialQueryHandler() {
    QObject::disconnect(&port_, nullptr, nullptr, nullptr);
    close();
}

bool SerialQueryHandler::open(std::string_view commPort) {
    close();
    errorText_.clear();
    const std::string device = serialDevicePath(commPort);
    if (device.empty()) {
        errorText_ = "no serial port is set (CommPort)";
        return false;
    }
    port_.setPortName(QString::fromStdString(device));
    configure();
    if (!port_.open(QIODevice::ReadWrite)) {
        errorText_ = device + ": " + port_.errorString().toStdString();
        port_.clearError();
        return false;
    }
    // A pseudo-terminal has no modem lines, so these fail there; that is no reason to refuse.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
    return true;
}

void SerialQueryHandler::configure() {
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

void SerialQueryHandler::close() {
    if (port_.isOpen())
        port_.close();
}

void SerialQueryHandler::receive() {
    const QByteArray bytes = port_.readAll();
    for (const SerialReceiveBuffer::Event& event :
         buffer_.append({bytes.constData(), std::size_t(bytes.size())})) {
        if (event.kind == SerialReceiveBuffer::Event::Kind::Frame) {
            answer(event.text);
            continue;
        }
        try {
            const std::string port = log_.setting("CommPort");
            log_.invalid(port, event.text);
        } catch (const std::exception& e) {
            report(std::string("Serial query: ") + e.what());
        }
    }
}

void SerialQueryHandler::answer(std::string_view frame) {
    const FrameAnswer answer = answerFrame(frame);
    if (!answer.isQuery)
        return;
    port_.write(answer.reply.data(), qint64(answer.reply.size()));
    try {
        const std::string port = log_.setting("CommPort");
        log_.answered(port, answer.reply, answer.logResult);
    } catch (const std::exception& e) {
        report(std::string("Serial query: ") + e.what());
    }
}

void SerialQueryHandler::report(const std::string& message) {
    if (onError_)
        onError_(message);
}

} // namespace quillory
