#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pellucard {

// One HID report of the reader: byte 0 is the report ID (always 0), bytes 1..8 the payload.
using Report = std::array<std::uint8_t, 9>;

// A HID interface as enumeration presents it.
struct HidDeviceInfo {
    std::string path;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::uint16_t version = 0;  // the device release number
};

enum class IoStatus {
    Done,          // a report was written, or read into the caller's buffer
    TimedOut,      // nothing within the time limit; the caller's buffer is untouched
    Disconnected,  // the device is gone
    Error,         // any other failure
};

// An opened report device: the HID reader, a reader emulator behind a socket, or the
// in-process virtual reader.
class ReportDevice {
public:
    virtual ~ReportDevice() = default;
    virtual IoStatus Write(const Report& report) = 0;
    virtual IoStatus Read(Report& report, std::chrono::milliseconds limit) = 0;
    // A report that has already arrived and waits in the system's queue, without waiting for a
    // new one: TimedOut when the queue is empty. A reader's interrupt pipe keeps repeating its
    // current report, and the system queues every repeat while the host is busy elsewhere; the
    // link drains them before each request so that an acknowledgement is matched to the request
    // that caused it.
    virtual IoStatus Poll(Report& report) = 0;
};

// Where report devices are found.
class ReportBus {
public:
    virtual ~ReportBus() = default;
    virtual std::vector<HidDeviceInfo> Enumerate() = 0;
    // Opens a device that Enumerate listed; nullptr when it cannot be opened.
    virtual std::unique_ptr<ReportDevice> Open(const std::string& path) = 0;
};

}  // namespace pellucard
