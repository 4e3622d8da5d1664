#include "simulator/vpcd_server.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace pellucard {

namespace {

constexpr int kPollMs = 100;
constexpr auto kRetry = std::chrono::milliseconds(200);
// A frame that is begun is finished at once by vpcd; one that stalls means the peer is broken.
constexpr int kFrameTimeoutMs = 2000;

constexpr std::uint8_t kPowerOn = 0x01;
constexpr std::uint8_t kReset = 0x02;
constexpr std::uint8_t kAnswerToReset = 0x04;

class Connection {
public:
    explicit Connection(int fd) : fd_(fd) {}
    ~Connection() { ::close(fd_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // 1: readable, 0: nothing yet, -1: broken.
    int Wait(int ms) const {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, ms);
        if (ready < 0)
            return errno == EINTR ? 0 : -1;
        return ready;
    }
    bool ReadAll(std::uint8_t* buffer, std::size_t size) const {
        std::size_t done = 0;
        while (done < size) {
            if (Wait(kFrameTimeoutMs) <= 0)
                return false;
            // vpcd writes a frame's length and its data in two sends, and with Nagle's rule in
            // force the data waits for the length's acknowledgement: give it at once rather
            // than after the delayed-acknowledgement timer (40 ms a command otherwise).
            const int on = 1;
            ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
            const ssize_t got = ::recv(fd_, buffer + done, size - done, 0);
            if (got <= 0)
                return false;
            done += static_cast<std::size_t>(got);
        }
        return true;
    }
    bool ReadFrame(Bytes& frame) const {
        std::uint8_t length[2];
        if (!ReadAll(length, 2))
            return false;
        frame.assign(static_cast<std::size_t>(length[0] << 8 | length[1]), 0);
        return frame.empty() || ReadAll(frame.data(), frame.size());
    }
    bool WriteFrame(const Bytes& data) const {
        Bytes frame{static_cast<std::uint8_t>(data.size() >> 8),
                    static_cast<std::uint8_t>(data.size() & 0xFF)};
        frame.insert(frame.end(), data.begin(), data.end());
        std::size_t done = 0;
        while (done < frame.size()) {
            const ssize_t sent =
                ::send(fd_, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            done += static_cast<std::size_t>(sent);
        }
        return true;
    }

private:
    int fd_;
};

int Connect(const addrinfo* address) {
    for (const addrinfo* a = address; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
            // Every frame is answered before the next comes: waiting to fill a segment would
            // only add delay to each command.
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return fd;
        }
        ::close(fd);
    }
    return -1;
}

void Pause(const std::atomic<bool>& stop) {
    const auto until = std::chrono::steady_clock::now() + kRetry;
    while (!stop.load() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

}  // namespace

bool ServeCardToVpcd(SimCard& card, const VpcdOptions& options, const std::atomic<bool>& stop,
                     const std::function<void(const std::string&)>& note, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* address = nullptr;
    const std::string port = std::to_string(options.port);
    if (const int rv = ::getaddrinfo(options.host.c_str(), port.c_str(), &hints, &address);
        rv != 0) {
        error = "cannot find " + options.host + ": " + ::gai_strerror(rv);
        return false;
    }
    const std::string where = options.host + ":" + port;
    Bytes atr = card.PowerOn();
    long answered = 0;
    bool pulled = false;
    bool waitingSaid = false;
    while (!stop.load()) {
        if (pulled) {
            Pause(stop);
            continue;
        }
        const int fd = Connect(address);
        if (fd < 0) {
            if (!waitingSaid && note)
                note("waiting for vpcd on " + where + " (is pcscd running?)");
            waitingSaid = true;
            Pause(stop);
            continue;
        }
        waitingSaid = false;
        if (note)
            note("card inserted into vpcd on " + where);
        Connection connection(fd);
        while (!stop.load()) {
            const int ready = connection.Wait(kPollMs);
            if (ready == 0)
                continue;
            Bytes frame;
            if (ready < 0 || !connection.ReadFrame(frame))
                break;
            if (frame.size() == 1) {
                // vpcd asks for the answer to reset whenever it checks that the card is there;
                // only power-on and reset start the card afresh.
                if (frame[0] == kPowerOn || frame[0] == kReset)
                    atr = card.PowerOn();
                else if (frame[0] == kAnswerToReset && !connection.WriteFrame(atr))
                    break;
                continue;  // power off, and codes this card does not know, need no answer
            }
            if (options.pullAfter >= 0 && answered >= options.pullAfter) {
                pulled = true;
                if (note)
                    note("card pulled out after " + std::to_string(answered) + " commands");
                break;
            }
            auto response = card.Transmit(frame);
            response.data.push_back(response.sw1);
            response.data.push_back(response.sw2);
            ++answered;
            if (!connection.WriteFrame(response.data))
                break;
        }
        if (!pulled && !stop.load() && note)
            note("vpcd went away; waiting for it again");
    }
    ::freeaddrinfo(address);
    return true;
}

}  // namespace pellucard
