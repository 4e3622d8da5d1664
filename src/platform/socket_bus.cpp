#include "platform/socket_bus.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/hid_report_link.h"
#include "platform/virtual_reader.h"

namespace pellucard {

namespace {

constexpr auto kInterruptInterval = std::chrono::microseconds(1000);

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
}

// Waits up to `wait` for the socket to become readable; -1 on error.
int WaitReadable(int fd, std::chrono::microseconds wait) {
    pollfd entry{fd, POLLIN, 0};
    timespec limit{static_cast<time_t>(wait.count() / 1000000),
                   static_cast<long>(wait.count() % 1000000) * 1000};
    for (;;) {
        const int ready = ppoll(&entry, 1, &limit, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready;
    }
}

// Reads one whole frame; returns false at end of stream or on error.
bool ReadFrame(int fd, Report& frame) {
    std::size_t got = 0;
    while (got < frame.size()) {
        const ssize_t n = ::read(fd, frame.data() + got, frame.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteFrame(int fd, const Report& frame) {
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n = ::send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

class SocketDevice final : public ReportDevice {
public:
    explicit SocketDevice(int fd) : fd_(fd) {}
    ~SocketDevice() override { ::close(fd_); }

    IoStatus Write(const Report& report) override {
        if (gone_)
            return IoStatus::Disconnected;
        if (!WriteFrame(fd_, report)) {
            gone_ = true;
            return IoStatus::Disconnected;
        }
        return IoStatus::Done;
    }

    IoStatus Read(Report& report, std::chrono::milliseconds limit) override {
        if (gone_)
            return IoStatus::Disconnected;
        const auto wait = haveLast_ ? std::min<std::chrono::microseconds>(kInterruptInterval, limit)
                                    : std::chrono::microseconds(limit);
        const int ready = WaitReadable(fd_, wait);
        if (ready < 0)
            return IoStatus::Error;
        if (ready > 0) {
            if (!ReadFrame(fd_, last_)) {
                gone_ = true;
                return IoStatus::Disconnected;
            }
            haveLast_ = true;
        } else if (!haveLast_) {
            return IoStatus::TimedOut;
        }
        report = last_;
        return IoStatus::Done;
    }

    // Only frames the peer sent and the host has not read yet; never the repeat made up above.
    IoStatus Poll(Report& report) override {
        if (gone_)
            return IoStatus::Disconnected;
        const int ready = WaitReadable(fd_, std::chrono::microseconds(0));
        if (ready < 0)
            return IoStatus::Error;
        if (ready == 0)
            return IoStatus::TimedOut;
        if (!ReadFrame(fd_, last_)) {
            gone_ = true;
            return IoStatus::Disconnected;
        }
        haveLast_ = true;
        report = last_;
        return IoStatus::Done;
    }

private:
    int fd_;
    bool gone_ = false;
    bool haveLast_ = false;
    Report last_{};
};

}  // namespace

std::vector<HidDeviceInfo> SocketBus::Enumerate() {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode))
        return {};
    return {{path_, kReaderVendor, kReaderProduct, kReaderVersion}};
}

std::unique_ptr<ReportDevice> SocketBus::Open(const std::string& path) {
    sockaddr_un address;
    if (path != path_ || !FillAddress(path, address))
        return nullptr;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<SocketDevice>(fd);
}

namespace {

// Forwards every report the reader puts out; returns false when the host has gone.
bool ForwardReports(VirtualReader& reader, int fd) {
    Report report;
    while (reader.TakeNewReport(report)) {
        if (!WriteFrame(fd, report))
            return false;
    }
    return true;
}

// True when a frame can be sent without waiting for the host to read.
bool Writable(int fd) {
    pollfd entry{fd, POLLOUT, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & POLLOUT) != 0;
}

void ServeConnection(VirtualReader& reader, int fd, const std::atomic<bool>& stop) {
    // The host learns the reader's sequence from the first report it reads.
    reader.HostAttached();
    Report current{};
    current[8] = reader.ReaderSequence();
    if (!WriteFrame(fd, current))
        return;
    // With a report interval the pipe repeats its current report, as a USB interrupt pipe
    // does; the repeats queue in the socket while the host is away. A full socket drops them.
    const auto interval = reader.Timing().reportInterval;
    auto nextRepeat = SystemClock().Now() + interval;
    while (!stop.load()) {
        if (!reader.Plugged())
            return;
        auto wait = std::chrono::microseconds(50000);
        const auto due = reader.NextReportDue();
        if (due != std::chrono::microseconds::max()) {
            wait = std::clamp(due - SystemClock().Now(), std::chrono::microseconds(0), wait);
        }
        if (interval.count() > 0) {
            wait = std::clamp(nextRepeat - SystemClock().Now(), std::chrono::microseconds(0), wait);
        }
        const int ready = WaitReadable(fd, wait);
        if (ready < 0)
            return;
        if (ready > 0) {
            Report frame;
            if (!ReadFrame(fd, frame))
                return;
            if (reader.HostWrite(frame) == IoStatus::Disconnected)
                return;
        }
        if (!ForwardReports(reader, fd))
            return;
        if (interval.count() > 0 && SystemClock().Now() >= nextRepeat) {
            nextRepeat = SystemClock().Now() + interval;
            if (!reader.Faults().silent && Writable(fd) && !WriteFrame(fd, reader.CurrentReport()))
                return;
        }
    }
}

}  // namespace

bool ServeReaderOnSocket(VirtualReader& reader, const std::string& path,
                         const std::atomic<bool>& stop, std::string& error) {
    sockaddr_un address;
    if (!FillAddress(path, address)) {
        error = "socket path is empty or too long: " + path;
        return false;
    }
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        error = std::string("cannot create socket: ") + std::strerror(errno);
        return false;
    }
    ::unlink(path.c_str());
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 1) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        ::close(listener);
        return false;
    }
    while (!stop.load()) {
        if (WaitReadable(listener, std::chrono::microseconds(100000)) <= 0)
            continue;
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ServeConnection(reader, fd, stop);
        ::close(fd);
    }
    ::close(listener);
    ::unlink(path.c_str());
    return true;
}

}  // namespace pellucard
