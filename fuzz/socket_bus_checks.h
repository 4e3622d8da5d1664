#pragma once

// What must hold for both ends of the reader emulator's socket transport whatever the other end
// sends: the host's socket device reading a peer's bytes, and the virtual reader served on a
// connection reading a host's frames. Both run over a socket pair in this process, without
// threads or files; no read waits. Shared by the libFuzzer target and by the corpus replay test;
// each check returns nullptr or what went wrong.

#include <sys/socket.h>
#include <unistd.h>

#include <QString>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/clock.h"
#include "platform/socket_bus.h"
#include "simulator/card_image.h"
#include "simulator/virtual_reader.h"
#include "simulator/virtual_sim_card.h"

namespace pellucard::fuzz {

// Both descriptors of a socket pair, closed at the end of the scope unless handed over.
struct SocketPair {
    int ends[2] = {-1, -1};
    SocketPair() {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            ends[0] = ends[1] = -1;
    }
    ~SocketPair() {
        for (int fd : ends) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    bool Made() const { return ends[0] >= 0; }
    int Take(int index) { return std::exchange(ends[index], -1); }
    void Close(int index) {
        if (ends[index] >= 0)
            ::close(Take(index));
    }
};

// Writes what the socket takes without waiting; returns the bytes written.
inline std::size_t SendWithoutWaiting(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    return sent;
}

// Everything waiting on the socket, without waiting for more.
inline std::vector<std::uint8_t> ReceiveWaiting(int fd) {
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

// Input: what a reader emulator does, step by step, each step chosen by a control byte:
//   0x00..0x3F  it sends the next (control + 1) input bytes, frames or pieces of frames
//   0x40..0x9F  the host reads (with no time to wait)
//   0xA0..0xBF  the host looks into the queue of frames (Poll)
//   0xC0..0xEF  the host writes a report: bytes 1..8 are the next 8 input bytes
//   0xF0..0xFF  it closes the connection (end of stream)
// At the end of the input it closes the connection and the host reads on to the end of the
// stream. Every read hands over the next whole frame the emulator sent, in order, or while none
// is complete the last one again (nothing before the first); a look into the queue hands over
// the next whole frame or nothing. After the end of the stream, or a write that found the
// emulator gone, the device is gone. Every report written arrives whole.
inline const char* CheckSocketHost(const std::uint8_t* data, std::size_t size) {
    SocketPair pair;
    if (!pair.Made())
        return "cannot make a socket pair";
    const auto device = OpenSocketDevice(pair.Take(0));
    const int peer = pair.ends[1];

    std::vector<std::uint8_t> sent;  // every byte the emulator sent
    std::size_t framesRead = 0;
    bool closed = false;
    bool gone = false;

    // A read waits for nothing new and then hands over the last report again; a look into
    // the queue (Poll) only hands over a frame not read yet.
    auto hostRead = [&](bool poll) -> const char* {
        Report report{};
        const IoStatus status =
            poll ? device->Poll(report) : device->Read(report, std::chrono::milliseconds(0));
        const std::size_t complete = sent.size() / 9;
        if (gone || (closed && framesRead == complete)) {
            gone = true;
            return status == IoStatus::Disconnected ? nullptr
                                                    : "a read after the end of the stream";
        }
        if (framesRead < complete) {
            if (status != IoStatus::Done)
                return "a whole frame waiting was not read";
            if (!std::equal(report.begin(), report.end(), sent.begin() + 9 * framesRead))
                return "a report is not the next frame the emulator sent";
            ++framesRead;
            return nullptr;
        }
        if (framesRead == 0 || poll)
            return status == IoStatus::TimedOut ? nullptr : "a report that was never sent";
        if (status != IoStatus::Done)
            return "no repeat of the last report while no new frame is complete";
        if (!std::equal(report.begin(), report.end(), sent.begin() + 9 * (framesRead - 1)))
            return "a repeat that is not the last report";
        return nullptr;
    };

    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t control = data[at++];
        if (control < 0x40) {
            const std::size_t count = std::min<std::size_t>(control + 1u, size - at);
            if (!closed)
                sent.insert(sent.end(), data + at,
                            data + at + SendWithoutWaiting(peer, data + at, count));
            at += count;
        } else if (control < 0xC0) {
            if (const char* fault = hostRead(control >= 0xA0))
                return fault;
        } else if (control < 0xF0) {
            Report report{};
            for (std::size_t i = 1; i < report.size() && at < size; ++i)
                report[i] = data[at++];
            const IoStatus status = device->Write(report);
            if (gone || closed) {
                gone = true;
                if (status != IoStatus::Disconnected)
                    return "a write to an emulator that has gone succeeded";
                continue;
            }
            if (status != IoStatus::Done)
                return "a write to a listening emulator failed";
            const auto arrived = ReceiveWaiting(peer);
            if (arrived.size() != report.size() ||
                !std::equal(arrived.begin(), arrived.end(), report.begin()))
                return "a written report did not arrive whole";
        } else if (!closed) {
            pair.Close(1);
            closed = true;
        }
    }
    if (!closed) {
        pair.Close(1);
        closed = true;
    }
    // Whatever is still queued, then the end of the stream.
    for (std::size_t read = 0; !gone; ++read) {
        if (read > sent.size() / 9 + 1)
            return "the device never saw the end of the stream";
        if (const char* fault = hostRead(false))
            return fault;
    }
    return nullptr;
}

// The demo card's image, read once.
inline const CardImage& DemoCardImage() {
    static const CardImage image = [] {
        CardImage read;
        QString error;
        ReadCardImageFile(QString::fromLatin1(kDemoCardResource), read, error);
        return read;
    }();
    return image;
}

// The most frames of a host the serving check sends. The server answers each frame with at
// most two reports; with no one reading them before the server ends, more than about 270 would
// fill the socket's send buffer (each small write takes about 770 bytes of its 208 kB).
inline constexpr std::size_t kMaxServedFrames = 100;

// Input: the frames a host sends to the virtual reader with the demo card (the first
// kMaxServedFrames of them), then the end of the stream. The server ends when the stream does;
// it puts out whole frames only, each new report with the reader's next sequence number, and
// executes no more commands than the host sent frames with a new host sequence.
inline const char* CheckSocketServer(const std::uint8_t* data, std::size_t size) {
    SocketPair pair;
    if (!pair.Made())
        return "cannot make a socket pair";
    QString error;
    std::shared_ptr<VirtualSimCard> card = VirtualSimCard::FromImage(DemoCardImage(), error);
    if (!card)
        return "the demo card does not load";
    InstantClock clock;
    VirtualReader reader(clock);
    reader.InsertCard(card);

    const int host = pair.ends[1];
    const std::size_t sent = SendWithoutWaiting(host, data, std::min(size, 9 * kMaxServedFrames));
    ::shutdown(host, SHUT_WR);
    const std::atomic<bool> stop{false};
    ServeReaderConnection(reader, pair.ends[0], stop);

    int newSequences = 0;
    for (std::size_t frame = 0; frame + 9 <= sent; frame += 9) {
        if (frame == 0 || data[frame + 8] != data[frame - 1])
            ++newSequences;
    }
    if (reader.ExecutedCommands() > newSequences)
        return "a command executed twice";

    const auto answers = ReceiveWaiting(host);
    if (answers.empty())
        return "the server never told the host its sequence";
    if (answers.size() % 9 != 0)
        return "the server sent a piece of a frame";
    for (std::size_t frame = 0; frame < answers.size(); frame += 9) {
        if (answers[frame] != 0)
            return "a report with another report ID than 0";
        const auto expected = static_cast<std::uint8_t>(answers[8] + frame / 9);
        if (answers[frame + 8] != expected)
            return "a report without the reader's next sequence number";
    }
    return nullptr;
}

// Input, byte 0 even: the host side, the rest as CheckSocketHost reads it; odd: the serving
// side, the rest the host's frames.
inline const char* CheckSocketBus(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return nullptr;
    if (data[0] % 2 == 0)
        return CheckSocketHost(data + 1, size - 1);
    return CheckSocketServer(data + 1, size - 1);
}

}  // namespace pellucard::fuzz
