#include "PtyPair.h"

#include "ChannelTestSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace quillory::test {

PtyPair::PtyPair() {
    const QString base = dir_.path();
    socat_.start("socat", {"pty,raw,echo=0,link=" + base + "/channel",
                           "pty,raw,echo=0,link=" + base + "/lab"});
    if (!socat_.waitForStarted(5000))
        return;
    if (!pumpUntil(
            [&] {
                return QFileInfo::exists(base + "/channel") && QFileInfo::exists(base + "/lab");
            },
            std::chrono::seconds(5)))
        return;
    labFd_ = ::open((base + "/lab").toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    if (labFd_ >= 0)
        ::close(labFd_);
    hangUp();
}

std::string PtyPair::channelPath() const {
    return (dir_.path() + "/channel").toStdString();
}

void PtyPair::write(std::string_view bytes) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!bytes.empty() && std::chrono::steady_clock::now() < end) {
        const ssize_t n = ::write(labFd_, bytes.data(), bytes.size());
        if (n > 0)
            bytes.remove_prefix(std::size_t(n));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

std::string PtyPair::read(std::size_t size, std::chrono::milliseconds timeout) {
    std::string received;
    char buffer[4096];
    pumpUntil(
        [&] {
            for (ssize_t n; (n = ::read(labFd_, buffer, sizeof buffer)) > 0;)
                received.append(buffer, std::size_t(n));
            return received.size() >= size;
        },
        timeout);
    return received;
}

void PtyPair::hangUp() {
    if (socat_.state() != QProcess::NotRunning) {
        socat_.terminate();
        socat_.waitForFinished(5000);
    }
}

} // namespace quillory::test
