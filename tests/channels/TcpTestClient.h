#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace quillory::test {

// A blocking TCP client on 127.0.0.1, as a laboratory system would be.
class TcpTestClient {
public:
    // Connects at once unless told to wait for connect().
    explicit TcpTestClient(unsigned short port, bool connectNow = true);
    bool connect();
    ~TcpTestClient();
    TcpTestClient(const TcpTestClient&) = delete;
    TcpTestClient& operator=(const TcpTestClient&) = delete;

    bool connected() const { return connected_; }
    // "127.0.0.1:<local port>", the peer as the server records it.
    std::string peer() const;
    // Sends all of it; false once the server has closed.
    bool send(std::string_view bytes);
    void shutdownOutput();
    // Closes at once with a reset, as a peer that crashes or pulls the cable does.
    void reset();
    // Reads until the server closes or the timeout passes; closed() tells which.
    std::string readUntilClosed(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool closed() const { return closed_; }
    int descriptor() const { return fd_; }

private:
    int fd_ = -1;
    unsigned short port_;
    bool connected_ = false;
    bool closed_ = false;
};

// Connects, sends the pieces with a short pause between them and reads the reply.
std::string exchange(unsigned short port, const std::vector<std::string>& pieces,
                     bool shutOutput = false);

} // namespace quillory::test
