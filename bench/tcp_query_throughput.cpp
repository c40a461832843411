// Exchanges per second of the TCP query channel against a peer MLLP echo server, with 1, 16 and
// 128 concurrent clients, each opening one connection per query and reading until the server
// closes. Then the channel's memory across many exchanges.
//
//   tcp_query_throughput OUR_PORT OUR_PID PEER_PORT PEER_PID [EXCHANGES] [MEMORY_EXCHANGES]
//
// Next to exchanges per second it prints each server's processor time per exchange, which
// holds steadier than the rates when other work shares the machine.
// bench/run-tcp-bench starts `quillory-cli serve` and the peer first. Prints one line
// "answered N" with the exchanges the channel answered, for the check against log.dbf.
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sstream>
#include <string>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string kQuery = "MSH|^~\\&|LAB|ROR|QUILLORY|PRACTICE|20240101120000||QRY^Q01|"
                           "MSG00001|P|2.3.1\rQRD|20240101120000|R|I|Q0001|||1^RD|SMIJA000|DEM\r";
const std::string kFramed = "\x0B" + kQuery + "\x1C\r";
const std::string kPlainReply = kQuery.substr(0, kQuery.size() - 1);

struct Target {
    const char* name;
    unsigned short port;
    std::string reply; // what a correct answer is
};

struct Run {
    long ok = 0, failed = 0;
    double seconds = 0;
    double rate() const { return ok / seconds; }
};

// One client thread keeps `clients` exchanges in flight, each on a connection of its own, so
// that the servers and not a crowd of client threads decide the pace.
class Clients {
public:
    Clients(const Target& target, int clients, long exchanges)
        : target_(target), exchanges_(exchanges), slots_(std::size_t(clients)) {
        epoll_ = ::epoll_create1(0);
    }
    ~Clients() { ::close(epoll_); }

    Run run() {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < slots_.size(); ++i)
            open(i);
        std::vector<epoll_event> events(slots_.size());
        while (active_ > 0) {
            const int n = ::epoll_wait(epoll_, events.data(), int(events.size()), 10000);
            if (n <= 0)
                break; // a server stopped answering
            for (int e = 0; e < n; ++e)
                step(events[std::size_t(e)].data.u32);
        }
        result_.failed += active_;
        result_.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return result_;
    }

private:
    struct Slot {
        int fd = -1;
        bool sent = false;
        std::string received;
    };

    void open(std::size_t i) {
        if (started_ >= exchanges_)
            return;
        ++started_;
        Slot& slot = slots_[i];
        slot = Slot{};
        slot.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(target_.port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(slot.fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        epoll_event event{};
        event.events = EPOLLOUT | EPOLLIN;
        event.data.u32 = std::uint32_t(i);
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, slot.fd, &event);
        ++active_;
    }

    void step(std::uint32_t i) {
        Slot& slot = slots_[i];
        if (!slot.sent) {
            slot.sent = true;
            if (::send(slot.fd, kFramed.data(), kFramed.size(), MSG_NOSIGNAL) !=
                ssize_t(kFramed.size()))
                return finish(i, false);
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.u32 = i;
            ::epoll_ctl(epoll_, EPOLL_CTL_MOD, slot.fd, &event);
            return;
        }
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(slot.fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                slot.received.append(buffer, std::size_t(n));
                continue;
            }
            if (n < 0 && errno == EAGAIN)
                return;
            return finish(i, n == 0 && slot.received == target_.reply);
        }
    }

    void finish(std::uint32_t i, bool ok) {
        ::close(slots_[i].fd); // also leaves the epoll set
        --active_;
        (ok ? result_.ok : result_.failed) += 1;
        open(i);
    }

    const Target& target_;
    long exchanges_;
    long started_ = 0;
    long active_ = 0;
    int epoll_;
    std::vector<Slot> slots_;
    Run result_;
};

Run run(const Target& target, int clients, long exchanges) {
    return Clients(target, clients, exchanges).run();
}

// Processor time (user + system) a process has used so far, in seconds.
double cpuSecondsOf(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold blanks.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            user = std::stoull(field);
        else if (i == 15)
            system = std::stoull(field);
    }
    return double(user + system) / double(::sysconf(_SC_CLK_TCK));
}

// VmRSS and VmHWM of a process, in kB.
std::pair<long, long> memoryOf(long pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    long rss = 0, hwm = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            rss = std::atol(line.c_str() + 6);
        else if (line.rfind("VmHWM:", 0) == 0)
            hwm = std::atol(line.c_str() + 6);
    }
    return {rss, hwm};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: %s OUR_PORT OUR_PID PEER_PORT PEER_PID [EXCHANGES] "
                     "[MEMORY_EXCHANGES]\n",
                     argv[0]);
        return 2;
    }
    const Target ours{"quillory", (unsigned short)std::atoi(argv[1]), kPlainReply};
    const long pid = std::atol(argv[2]);
    const Target peer{"python-hl7", (unsigned short)std::atoi(argv[3]), "\x0B" + kQuery + "\x1C\r"};
    const long peerPid = std::atol(argv[4]);
    const long exchanges = argc > 5 ? std::atol(argv[5]) : 20000;
    const long memoryExchanges = argc > 6 ? std::atol(argv[6]) : 100000;

    long answered = 0, failures = 0;
    std::printf("%8s %12s %12s %7s   %s\n", "clients", "quillory/s", "python-hl7/s", "ratio",
                "server CPU us/exchange: quillory, python-hl7, ratio");
    for (int clients : {1, 16, 128}) {
        double cpu = cpuSecondsOf(pid);
        const Run a = run(ours, clients, exchanges);
        const double ourCpu = (cpuSecondsOf(pid) - cpu) * 1e6 / double(a.ok);
        cpu = cpuSecondsOf(peerPid);
        const Run b = run(peer, clients, exchanges / 4);
        const double peerCpu = (cpuSecondsOf(peerPid) - cpu) * 1e6 / double(b.ok);
        answered += a.ok;
        failures += a.failed + b.failed;
        std::printf("%8d %12.0f %12.0f %6.1fx   %6.0f %6.0f %6.1fx\n", clients, a.rate(), b.rate(),
                    a.rate() / b.rate(), ourCpu, peerCpu, peerCpu / ourCpu);
        if (a.failed || b.failed)
            std::printf("         failed: quillory %ld, python-hl7 %ld\n", a.failed, b.failed);
    }

    // Memory: the channel's resident size after a warm-up and after memoryExchanges more.
    const auto before = memoryOf(pid);
    long done = 0;
    std::printf("memory (kB)   exchanges        rss    peak\n");
    std::printf("              %9ld %10ld %7ld\n", done, before.first, before.second);
    for (int step = 0; step < 10; ++step) {
        const Run r = run(ours, 16, memoryExchanges / 10);
        answered += r.ok;
        failures += r.failed;
        done += r.ok;
        const auto now = memoryOf(pid);
        std::printf("              %9ld %10ld %7ld\n", done, now.first, now.second);
    }
    std::printf("answered %ld\n", answered);
    if (failures)
        std::printf("failed exchanges: %ld\n", failures);
    return failures ? 1 : 0;
}
