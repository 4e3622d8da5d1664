#include "platform/hidapi_bus.h"

#include <hidapi/hidapi.h>

#include <algorithm>

namespace pellucard {

namespace {

// hidapi reports no distinct "disconnected" error: after a failed read or write, look whether
// the device is still enumerated to tell an unplugged reader from a glitch.
bool StillPresent(const std::string& path) {
    hid_device_info* list = hid_enumerate(0, 0);
    bool present = false;
    for (auto* it = list; it; it = it->next) {
        if (it->path && path == it->path)
            present = true;
    }
    hid_free_enumeration(list);
    return present;
}

class HidapiDevice final : public ReportDevice {
public:
    HidapiDevice(hid_device* handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    ~HidapiDevice() override { hid_close(handle_); }

    IoStatus Write(const Report& report) override {
        // hid_write wants the report ID first; the reader's reports are unnumbered (ID 0).
        Report out = report;
        out[0] = 0;
        if (hid_write(handle_, out.data(), out.size()) == static_cast<int>(out.size())) {
            return IoStatus::Done;
        }
        return Failure();
    }

    IoStatus Read(Report& report, std::chrono::milliseconds limit) override {
        return ReadWithin(report, static_cast<int>(limit.count()));
    }

    // hidraw queues every report the reader's interrupt pipe puts out, repeats included; a
    // read with no wait takes the oldest of them, or finds none.
    IoStatus Poll(Report& report) override { return ReadWithin(report, 0); }

private:
    IoStatus ReadWithin(Report& report, int milliseconds) {
        // An unnumbered input report arrives as its 8 payload bytes; put the ID back in front.
        unsigned char payload[8];
        const int got = hid_read_timeout(handle_, payload, sizeof payload, milliseconds);
        if (got == 0)
            return IoStatus::TimedOut;
        if (got < 0)
            return Failure();
        report.fill(0);
        std::copy_n(payload, std::min<int>(got, 8), report.begin() + 1);
        return IoStatus::Done;
    }

    IoStatus Failure() const {
        return StillPresent(path_) ? IoStatus::Error : IoStatus::Disconnected;
    }

    hid_device* handle_;
    std::string path_;
};

}  // namespace

HidapiBus::HidapiBus() {
    hid_init();
}
HidapiBus::~HidapiBus() {
    hid_exit();
}

std::vector<HidDeviceInfo> HidapiBus::FromHidapiList(const hid_device_info* list) {
    std::vector<HidDeviceInfo> devices;
    for (auto* it = list; it; it = it->next) {
        if (!it->path)
            continue;
        devices.push_back({it->path, it->vendor_id, it->product_id, it->release_number});
    }
    return devices;
}

std::vector<HidDeviceInfo> HidapiBus::Enumerate() {
    hid_device_info* list = hid_enumerate(0, 0);
    auto devices = FromHidapiList(list);
    hid_free_enumeration(list);
    return devices;
}

std::unique_ptr<ReportDevice> HidapiBus::Open(const std::string& path) {
    // Debian's hidapi crashes on a path that is not a hidraw node: open only what enumeration
    // returned.
    const auto devices = Enumerate();
    const bool listed = std::any_of(devices.begin(), devices.end(),
                                    [&](const HidDeviceInfo& d) { return d.path == path; });
    if (!listed)
        return nullptr;
    hid_device* handle = hid_open_path(path.c_str());
    if (!handle)
        return nullptr;
    return std::make_unique<HidapiDevice>(handle, path);
}

}  // namespace pellucard
