#include "TcpTestClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quillory::test {

TcpTestClient::TcpTestClient(unsigned short port, bool connectNow) : port_(port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (connectNow)
        connect();
}

bool TcpTestClient::connect() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ =
        fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    return connected_;
}

TcpTestClient::~TcpTestClient() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string TcpTestClient::peer() const {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    return "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

bool TcpTestClient::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

void TcpTestClient::shutdownOutput() {
    ::shutdown(fd_, SHUT_WR);
}

void TcpTestClient::reset() {
    const linger abortive{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(fd_);
    fd_ = -1;
}

std::string TcpTestClient::readUntilClosed(std::chrono::milliseconds timeout) {
    std::string received;
    const auto end = std::chrono::steady_clock::now() + timeout;
    char buffer[65536];
    while (!closed_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0)
            continue;
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0)
            closed_ = true; // end of stream or reset
        else
            received.append(buffer, std::size_t(n));
    }
    return received;
}

std::string exchange(unsigned short port, const std::vector<std::string>& pieces, bool shutOutput) {
    TcpTestClient client(port);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        client.send(pieces[i]);
    }
    if (shutOutput)
        client.shutdownOutput();
    return client.readUntilClosed();
}

} // namespace quillory::test
