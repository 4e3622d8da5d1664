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
#include "simulator/virtual_reader.h"

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

// Gathers 9-byte frames from the stream in whatever pieces they come. A frame cut short waits
// here for its rest, so a peer that stops in the middle of a frame costs the caller its wait,
// never a read that blocks for good.
class FrameReader {
public:
    enum class Result { Frame, NoFrame, Closed, Failed };

    // Waits up to `wait` for the next whole frame.
    Result Read(int fd, std::chrono::microseconds wait, Report& frame) {
        using std::chrono::steady_clock;
        const auto deadline = steady_clock::now() + wait;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
                deadline - steady_clock::now());
            const int ready = WaitReadable(fd, std::max(left, std::chrono::microseconds(0)));
            if (ready < 0)
                return Result::Failed;
            if (ready == 0)
                return Result::NoFrame;
            const ssize_t n = ::read(fd, partial_.data() + got_, partial_.size() - got_);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return Result::Closed;
            got_ += static_cast<std::size_t>(n);
            if (got_ == partial_.size()) {
                frame = partial_;
                got_ = 0;
                return Result::Frame;
            }
        }
    }

private:
    Report partial_{};
    std::size_t got_ = 0;
};

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
        switch (frames_.Read(fd_, wait, last_)) {
            case FrameReader::Result::Frame:
                haveLast_ = true;
                break;
            case FrameReader::Result::NoFrame:
                if (!haveLast_)
                    return IoStatus::TimedOut;
                break;
            case FrameReader::Result::Closed:
                gone_ = true;
                return IoStatus::Disconnected;
            case FrameReader::Result::Failed:
                return IoStatus::Error;
        }
        report = last_;
        return IoStatus::Done;
    }

    // Only frames the peer sent and the host has not read yet; never the repeat made up above.
    IoStatus Poll(Report& report) override {
        if (gone_)
            return IoStatus::Disconnected;
        switch (frames_.Read(fd_, std::chrono::microseconds(0), last_)) {
            case FrameReader::Result::Frame:
                haveLast_ = true;
                report = last_;
                return IoStatus::Done;
            case FrameReader::Result::NoFrame:
                return IoStatus::TimedOut;
            case FrameReader::Result::Closed:
                gone_ = true;
                return IoStatus::Disconnected;
            case FrameReader::Result::Failed:
                break;
        }
        return IoStatus::Error;
    }

private:
    int fd_;
    FrameReader frames_;
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
    return OpenSocketDevice(fd);
}

std::unique_ptr<ReportDevice> OpenSocketDevice(int fd) {
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

}  // namespace

void ServeReaderConnection(VirtualReader& reader, int fd, const std::atomic<bool>& stop) {
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
    FrameReader frames;
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
        Report frame;
        switch (frames.Read(fd, wait, frame)) {
            case FrameReader::Result::Frame:
                if (reader.HostWrite(frame) == IoStatus::Disconnected)
                    return;
                break;
            case FrameReader::Result::NoFrame:
                break;
            case FrameReader::Result::Closed:
            case FrameReader::Result::Failed:
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
        ServeReaderConnection(reader, fd, stop);
        ::close(fd);
    }
    ::close(listener);
    ::unlink(path.c_str());
    return true;
}

}  // namespace pellucard
