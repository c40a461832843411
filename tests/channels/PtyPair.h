#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <string_view>

namespace quillory::test {

// Two linked pseudo-terminals made by socat: the channel opens one, the test plays the
// laboratory device on the other.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();

    bool ready() const { return labFd_ >= 0; }
    std::string channelPath() const; // for CommPort
    // Writes all bytes from the device's side, pumping Qt events while the line is full.
    void write(std::string_view bytes);
    // What arrived on the device's side, pumping Qt events until `size` bytes or the timeout.
    std::string read(std::size_t size, std::chrono::milliseconds timeout);
    // Ends socat, so the channel's side loses its line.
    void hangUp();

private:
    QTemporaryDir dir_;
    QProcess socat_;
    int labFd_ = -1;
};

} // namespace quillory::test
