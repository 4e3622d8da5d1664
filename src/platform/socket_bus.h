#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "engine/report_device.h"

namespace pellucard {

class VirtualReader;

// A reader emulator behind a Unix stream socket. Both sides exchange 9-byte frames: the host
// writes output reports, the device side sends an input report whenever it puts a new one out.
// The host side repeats the last frame when nothing new came within an interrupt interval, as
// the reader's interrupt pipe does. End of stream means the device is gone.
class SocketBus final : public ReportBus {
public:
    explicit SocketBus(std::string path) : path_(std::move(path)) {}
    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<ReportDevice> Open(const std::string& path) override;

private:
    std::string path_;
};

// Serves a virtual reader on a socket path, one host connection at a time, until `stop` is set.
// Returns false with `error` set when the socket cannot be created.
bool ServeReaderOnSocket(VirtualReader& reader, const std::string& path,
                         const std::atomic<bool>& stop, std::string& error);

// The two ends of one connection, for callers that bring a connected socket of their own (the
// fuzz targets use a socket pair). The host side takes the descriptor over; the serving side
// leaves it to the caller and returns when the host has gone, the reader is unplugged or `stop`
// is set.
std::unique_ptr<ReportDevice> OpenSocketDevice(int fd);
void ServeReaderConnection(VirtualReader& reader, int fd, const std::atomic<bool>& stop);

}  // namespace pellucard
