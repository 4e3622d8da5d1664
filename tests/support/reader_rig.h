#pragma once

#include <functional>
#include <memory>

#include "engine/hid_report_link.h"
#include "engine/pellucard.h"
#include "simulator/virtual_reader.h"
#include "support/fake_clock.h"

namespace pellucard::testing {

// Remembers every output report a device was given, and runs `beforeRead` (when set) before
// each read and each look into the queue, as a host busy elsewhere would come late to them.
class RecordingDevice final : public ReportDevice {
public:
    RecordingDevice(std::unique_ptr<ReportDevice> inner, std::vector<Report>& log,
                    const std::function<void()>* beforeRead = nullptr)
        : inner_(std::move(inner)), log_(log), beforeRead_(beforeRead) {}
    IoStatus Write(const Report& report) override {
        log_.push_back(report);
        return inner_->Write(report);
    }
    IoStatus Read(Report& report, std::chrono::milliseconds limit) override {
        BeforeRead();
        return inner_->Read(report, limit);
    }
    IoStatus Poll(Report& report) override {
        BeforeRead();
        return inner_->Poll(report);
    }

private:
    void BeforeRead() const {
        if (beforeRead_ && *beforeRead_)
            (*beforeRead_)();
    }
    std::unique_ptr<ReportDevice> inner_;
    std::vector<Report>& log_;
    const std::function<void()>* beforeRead_;
};

class RecordingBus final : public ReportBus {
public:
    explicit RecordingBus(ReportBus& inner) : inner_(inner) {}
    std::vector<HidDeviceInfo> Enumerate() override { return inner_.Enumerate(); }
    std::unique_ptr<ReportDevice> Open(const std::string& path) override {
        auto device = inner_.Open(path);
        if (!device)
            return nullptr;
        return std::make_unique<RecordingDevice>(std::move(device), written, &beforeRead);
    }
    std::vector<Report> written;
    std::function<void()> beforeRead;

private:
    ReportBus& inner_;
};

// The virtual reader on a fake clock, a link over it and an engine on the link: the whole
// stack below the windows, in process and instant.
struct ReaderRig {
    FakeClock clock;
    std::shared_ptr<VirtualReader> reader = std::make_shared<VirtualReader>(clock);
    VirtualReaderBus virtualBus{reader};
    RecordingBus bus{virtualBus};
    HidReportLink* link = nullptr;
    std::unique_ptr<Pellucard> engine;

    ReaderRig() {
        auto channel = std::make_unique<HidReportLink>(bus, clock);
        link = channel.get();
        engine = std::make_unique<Pellucard>(std::move(channel));
    }
};

}  // namespace pellucard::testing
