#pragma once

#include "engine/report_device.h"

struct hid_device_info;

namespace pellucard {

// The USB reader through hidapi's hidraw backend.
class HidapiBus final : public ReportBus {
public:
    HidapiBus();
    ~HidapiBus() override;
    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<ReportDevice> Open(const std::string& path) override;

    // Converts hidapi's enumeration list; kept apart so that tests can feed it made-up lists.
    static std::vector<HidDeviceInfo> FromHidapiList(const hid_device_info* list);
};

}  // namespace pellucard
