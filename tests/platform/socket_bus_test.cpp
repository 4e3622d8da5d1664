#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "engine/clock.h"
#include "platform/socket_bus.h"
#include "simulator/virtual_reader.h"

namespace pellucard {
namespace {

using namespace std::chrono_literals;

struct Pair {
    int host = -1;
    int peer = -1;
    Pair() {
        int ends[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        host = ends[0];
        peer = ends[1];
    }
    ~Pair() {
        if (peer >= 0)
            ::close(peer);
    }
    void Send(const Report& frame, std::size_t from, std::size_t to) const {
        ASSERT_EQ(::send(peer, frame.data() + from, to - from, MSG_NOSIGNAL),
                  static_cast<ssize_t>(to - from));
    }
    // The bytes the other end sent, waiting up to two seconds for `count` of them.
    std::vector<std::uint8_t> Receive(std::size_t count) const {
        std::vector<std::uint8_t> bytes(count);
        std::size_t got = 0;
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (got < count && std::chrono::steady_clock::now() < end) {
            const ssize_t n = ::recv(peer, bytes.data() + got, count - got, MSG_DONTWAIT);
            if (n > 0)
                got += static_cast<std::size_t>(n);
            else
                std::this_thread::sleep_for(1ms);
        }
        bytes.resize(got);
        return bytes;
    }
};

// A look into the queue hands over whole frames the emulator sent, never a piece or a repeat.
TEST(SocketDeviceTest, PollNeverWaitsForTheRestOfAFrame) {
    Pair pair;
    const auto device = OpenSocketDevice(pair.host);
    const Report frame{0, 0, 0, 0, 0, 0, 0, 0, 0x42};
    Report report{};

    pair.Send(frame, 0, 6);
    EXPECT_EQ(device->Poll(report), IoStatus::TimedOut);
    pair.Send(frame, 6, 9);
    ASSERT_EQ(device->Poll(report), IoStatus::Done);
    EXPECT_EQ(report, frame);
    EXPECT_EQ(device->Poll(report), IoStatus::TimedOut);
}

// A host that stops in the middle of a frame used to hold the server in a read that no stop
// request could end; the frame, once whole, is executed once.
TEST(SocketServerTest, HostStoppedInsideAFrameLeavesTheServerStoppable) {
    Pair pair;
    InstantClock clock;
    VirtualReader reader(clock);
    std::atomic<bool> stop{false};
    std::thread server([&] { ServeReaderConnection(reader, pair.host, stop); });

    Report search{};
    search[1] = 0xFF;
    search[8] = 1;
    pair.Send(search, 0, 5);
    std::this_thread::sleep_for(60ms);
    pair.Send(search, 5, 9);
    // The reader's first report, then its acknowledgement with the next sequence number.
    const auto reports = pair.Receive(18);
    ASSERT_EQ(reports.size(), 18u);
    EXPECT_EQ(reports[17], static_cast<std::uint8_t>(reports[8] + 1));

    pair.Send(search, 0, 2);
    stop = true;
    server.join();
    ::close(pair.host);
    EXPECT_EQ(reader.ExecutedCommands(), 1);
}

}  // namespace
}  // namespace pellucard
