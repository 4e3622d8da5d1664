#include "simulator/virtual_reader.h"

#include <algorithm>

#include "engine/hid_report_link.h"
#include "engine/sim_file_info.h"
#include "engine/status_words.h"

namespace pellucard {

namespace {

constexpr std::uint8_t kReadyReader = 0x1B;
constexpr std::uint8_t kReadySim = 0x1C;
constexpr std::size_t kDataPerReport = 6;

std::uint8_t High(std::uint16_t id) {
    return static_cast<std::uint8_t>(id >> 8);
}
std::uint8_t Low(std::uint16_t id) {
    return static_cast<std::uint8_t>(id & 0xFF);
}

class VirtualReaderDevice final : public ReportDevice {
public:
    explicit VirtualReaderDevice(std::shared_ptr<VirtualReader> reader)
        : reader_(std::move(reader)), generation_(reader_->Generation()) {}
    IoStatus Write(const Report& report) override {
        if (reader_->Generation() != generation_)
            return IoStatus::Disconnected;
        return reader_->HostWrite(report);
    }
    IoStatus Read(Report& report, std::chrono::milliseconds limit) override {
        if (reader_->Generation() != generation_)
            return IoStatus::Disconnected;
        return reader_->HostRead(report, limit);
    }
    IoStatus Poll(Report& report) override {
        if (reader_->Generation() != generation_)
            return IoStatus::Disconnected;
        return reader_->HostPoll(report);
    }

private:
    std::shared_ptr<VirtualReader> reader_;
    int generation_;
};

}  // namespace

VirtualReader::VirtualReader(Clock& clock, ReaderTiming timing) : clock_(clock), timing_(timing) {}

void VirtualReader::InsertCard(std::shared_ptr<SimCard> card) {
    card_ = std::move(card);
    lastFileStatus_.clear();
}

std::shared_ptr<SimCard> VirtualReader::RemoveCard() {
    lastFileStatus_.clear();
    return std::exchange(card_, nullptr);
}

void VirtualReader::Unplug() {
    plugged_ = false;
    ++generation_;
    pending_.clear();
    hostQueue_.clear();
    lastHostSequence_ = -1;
}

void VirtualReader::HostAttached() {
    pending_.clear();
    hostQueue_.clear();
    nextFrame_ = std::chrono::microseconds(-1);
    lastHostSequence_ = -1;
}

void VirtualReader::PutOut(Report report, std::chrono::microseconds delay) {
    const auto now = clock_.Now();
    auto due = now + delay;
    if (!pending_.empty())
        due = std::max(due, pending_.back().due);
    due = std::max(due, lastPutOut_ + timing_.reportInterval);
    lastPutOut_ = due;
    report[0] = 0;
    pending_.push_back({report, due});
}

void VirtualReader::Acknowledge() {
    ++acknowledgements_;
    if (faults_.lostAcknowledgements > 0) {
        --faults_.lostAcknowledgements;
        return;
    }
    if (faults_.lostAcknowledgementAfter == 0) {
        faults_.lostAcknowledgementAfter = -1;
        return;
    }
    if (faults_.lostAcknowledgementAfter > 0)
        --faults_.lostAcknowledgementAfter;
    std::chrono::microseconds delay{0};
    if (faults_.lateAcknowledgementAfter == 0)
        delay = std::chrono::milliseconds(150);
    if (faults_.lateAcknowledgementAfter >= 0)
        --faults_.lateAcknowledgementAfter;
    PutOut(Report{}, delay);
}

void VirtualReader::Ready(std::uint8_t code, Bytes block, std::chrono::microseconds delay) {
    block_ = std::move(block);
    blockPosition_ = 0;
    if (faults_.readyNever)
        return;
    if (faults_.readyDropped > 0) {
        --faults_.readyDropped;
        return;
    }
    if (faults_.readyDropAfter == 0) {
        faults_.readyDropAfter = -1;
        return;
    }
    if (faults_.readyDropAfter > 0)
        --faults_.readyDropAfter;
    readsUntilReady_ = faults_.readyLateReads;
    Report ready{};
    ready[1] = code;
    PutOut(ready, delay);
}

IoStatus VirtualReader::HostWrite(const Report& report) {
    if (!plugged_)
        return IoStatus::Disconnected;
    if (faults_.silent)
        return IoStatus::Done;
    // A report that repeats the host sequence of the one just handled is a retry: it is
    // acknowledged again but never executed twice (a VERIFY CHV must not cost two attempts).
    if (report[8] == lastHostSequence_) {
        ++repeated_;
        Acknowledge();
        return IoStatus::Done;
    }
    lastHostSequence_ = report[8];
    Execute(report);
    return IoStatus::Done;
}

bool VirtualReader::Tick() {
    if (pending_.empty() || pending_.front().due > clock_.Now())
        return false;
    // A ready report held back by a fault lets the host read repeats in the meantime.
    if (pending_.front().report[1] == kReadyReader || pending_.front().report[1] == kReadySim) {
        if (readsUntilReady_ > 0) {
            --readsUntilReady_;
            return false;
        }
    }
    auto report = pending_.front().report;
    pending_.pop_front();
    report[8] = static_cast<std::uint8_t>(current_[8] + 1);
    current_ = report;
    ++reportsPutOut_;
    return true;
}

// The faults that act on a read; true when one of them decides the read's outcome.
bool VirtualReader::Faulted(IoStatus& status, std::chrono::milliseconds limit) {
    if (!plugged_) {
        status = IoStatus::Disconnected;
        return true;
    }
    if (faults_.unplugAfterReports == 0) {
        faults_.unplugAfterReports = -1;
        Unplug();
        status = IoStatus::Disconnected;
        return true;
    }
    if (faults_.unplugAfterReports > 0)
        --faults_.unplugAfterReports;
    if (faults_.silentAfterReports == 0) {
        faults_.silentAfterReports = -1;
        faults_.silent = true;
    }
    if (faults_.silentAfterReports > 0)
        --faults_.silentAfterReports;
    if (faults_.silent) {
        if (faults_.silentReads == 0) {
            faults_.silentReads = -1;
            faults_.silent = false;
            return false;
        }
        if (faults_.silentReads > 0)
            --faults_.silentReads;
        hostQueue_.clear();
        clock_.Sleep(limit);
        status = IoStatus::TimedOut;
        return true;
    }
    return false;
}

void VirtualReader::RunPipe() {
    const auto interval = timing_.reportInterval;
    const auto now = clock_.Now();
    if (nextFrame_.count() < 0)
        nextFrame_ = now;
    while (nextFrame_ <= now) {
        if (hostQueue_.size() >= timing_.hostQueueCapacity) {
            // Nothing more fits until the host reads: the reports due meanwhile are put out and
            // lost, and the pipe goes on from now.
            while (Tick()) {
            }
            nextFrame_ = now + interval;
            break;
        }
        // The report of this frame: the next pending one when it is due by then, else a repeat.
        if (!pending_.empty() && pending_.front().due <= nextFrame_)
            Tick();
        hostQueue_.push_back(current_);
        nextFrame_ += interval;
    }
}

IoStatus VirtualReader::HostRead(Report& report, std::chrono::milliseconds limit) {
    IoStatus status;
    if (Faulted(status, limit))
        return status;
    if (timing_.reportInterval.count() <= 0) {
        Tick();
        report = current_;
        return IoStatus::Done;
    }
    RunPipe();
    if (hostQueue_.empty()) {
        const auto wait = nextFrame_ - clock_.Now();
        if (wait > limit) {
            clock_.Sleep(limit);
            return IoStatus::TimedOut;
        }
        clock_.Sleep(wait);
        RunPipe();
    }
    return TakeQueued(report);
}

IoStatus VirtualReader::TakeQueued(Report& report) {
    if (hostQueue_.empty())
        return IoStatus::TimedOut;
    report = hostQueue_.front();
    hostQueue_.pop_front();
    return IoStatus::Done;
}

IoStatus VirtualReader::HostPoll(Report& report) {
    // Looking into the queue is no read of the pipe: the faults that count reads wait for one.
    if (!plugged_)
        return IoStatus::Disconnected;
    if (faults_.silent)
        return IoStatus::TimedOut;
    if (timing_.reportInterval.count() <= 0) {
        // An instant pipe holds no repeats: only a new report is waiting.
        if (!HasNewReport() || !Tick())
            return IoStatus::TimedOut;
        report = current_;
        return IoStatus::Done;
    }
    RunPipe();
    return TakeQueued(report);
}

bool VirtualReader::HasNewReport() const {
    return !pending_.empty() && pending_.front().due <= clock_.Now();
}

bool VirtualReader::TakeNewReport(Report& report) {
    if (!plugged_ || faults_.silent)
        return false;
    if (!Tick())
        return false;
    report = current_;
    return true;
}

std::chrono::microseconds VirtualReader::NextReportDue() const {
    return pending_.empty() ? std::chrono::microseconds::max() : pending_.front().due;
}

void VirtualReader::Execute(const Report& r) {
    ++executed_;
    switch (r[1]) {
        case 0x01:
            Acknowledge();
            lastFileStatus_.clear();
            Ready(kReadyReader, card_ ? card_->PowerOn() : Bytes{}, timing_.cardCommandTime);
            return;
        case 0x02:
            header_ = {0xA0, r[2], r[3], r[4], r[5]};
            commandData_.clear();
            commandDataLength_ = 0;
            Acknowledge();
            return;
        case 0x04:
            commandData_.insert(commandData_.end(), r.begin() + 2, r.begin() + 8);
            Acknowledge();
            return;
        case 0x0E:
            commandDataLength_ = r[2];
            Acknowledge();
            return;
        case 0x06: {
            Acknowledge();
            auto block = RunSimCommand();
            if (faults_.loseAnswerOf && header_.size() == 5 && header_[1] == *faults_.loseAnswerOf)
                return;
            const auto delay =
                timing_.cardCommandTime + timing_.cardTimePerByte * static_cast<int>(block.size());
            Ready(kReadySim, std::move(block), delay);
            return;
        }
        case 0x11: {
            Acknowledge();
            if (faults_.lengthNever)
                return;
            Report length{};
            length[2] = static_cast<std::uint8_t>(faults_.announcedLength.value_or(
                static_cast<int>(std::min<std::size_t>(block_.size(), 255))));
            blockPosition_ = 0;
            PutOut(length);
            return;
        }
        case 0x10: {
            Acknowledge();
            Report data{};
            const std::size_t count = std::min(kDataPerReport, block_.size() - blockPosition_);
            std::copy_n(block_.begin() + blockPosition_, count, data.begin() + 2);
            blockPosition_ += count;
            data[1] =
                static_cast<std::uint8_t>(faults_.dataCount.value_or(static_cast<int>(count)));
            PutOut(data);
            return;
        }
        case 0x12:
            Acknowledge();
            Ready(kReadyReader, CardFileData({0x3F00, 0x7F20, 0x6F38}, false),
                  timing_.cardCommandTime);
            return;
        case 0x13:
            Acknowledge();
            Ready(kReadyReader, CardFileData({0x3F00, 0x2FE2}, true), timing_.cardCommandTime);
            return;
        case 0x15:
            Acknowledge();
            Ready(kReadyReader, CardFileData({0x3F00, 0x7F20, 0x6F46}, true),
                  timing_.cardCommandTime);
            return;
        case 0x16:
            Acknowledge();
            Ready(kReadyReader, SelectResponse({0x3F00, 0x7F10, 0x6F3C}), timing_.cardCommandTime);
            return;
        case 0x17:
            Acknowledge();
            Ready(kReadyReader, SelectResponse({0x3F00, 0x7F10, 0x6F3A}), timing_.cardCommandTime);
            return;
        case 0x18:
            Acknowledge();
            Ready(kReadyReader, SelectResponse({0x3F00, 0x7F10, 0x6F44}), timing_.cardCommandTime);
            return;
        case 0x19:
            Acknowledge();
            Ready(kReadyReader, CardFileData({0x3F00, 0x7F20, 0x6FAE}, false),
                  timing_.cardCommandTime);
            return;
        case 0x1D:
            Acknowledge();
            Ready(kReadyReader, card_ ? lastFileStatus_ : Bytes{});
            return;
        default:  // 0xFF (search) and anything unknown: acknowledged, nothing else
            Acknowledge();
            return;
    }
}

ApduResponse VirtualReader::Transmit(Bytes apdu) {
    auto response = card_->Transmit(apdu);
    // T=0: a card with response data waiting says so in SW1 (9F for GSM, 61 for UICC); the
    // reader fetches it with GET RESPONSE, as a handset does.
    if (response.data.empty() &&
        ClassOfStatusWord(response.Status()) == StatusClass::ResponseWaiting) {
        response = card_->Transmit(Bytes{apdu[0], 0xC0, 0x00, 0x00, response.sw2});
    }
    return response;
}

Bytes VirtualReader::RunSimCommand() {
    if (!card_ || header_.size() != 5)
        return {};
    Bytes apdu = header_;
    const auto length =
        std::min<std::size_t>(static_cast<std::size_t>(commandDataLength_), commandData_.size());
    apdu.insert(apdu.end(), commandData_.begin(), commandData_.begin() + length);
    auto response = Transmit(apdu);
    if (!response.data.empty())
        return response.data;
    return Bytes{response.sw1, response.sw2};
}

Bytes VirtualReader::SelectResponse(std::initializer_list<std::uint16_t> path) {
    if (!card_)
        return {};
    ApduResponse response;
    for (auto id : path) {
        response = Transmit(Bytes{0xA0, 0xA4, 0x00, 0x00, 0x02, High(id), Low(id)});
        if (response.data.empty())
            return {};
    }
    return response.data;
}

Bytes VirtualReader::CardFileData(std::initializer_list<std::uint16_t> path, bool recordStatus) {
    const auto select = SelectResponse(path);
    if (select.empty())
        return {};
    const auto info = ParseFileInfo(select);
    if (recordStatus)
        lastFileStatus_ = ReaderFileStatusLayout(info);
    const auto size = std::clamp<int>(info.sizeOrRecordCount, 0, 255);
    auto response = Transmit(Bytes{0xA0, 0xB0, 0x00, 0x00, static_cast<std::uint8_t>(size)});
    return response.data;
}

std::vector<HidDeviceInfo> VirtualReaderBus::Enumerate() {
    if (!reader_->Plugged())
        return {};
    return {{kPath, kReaderVendor, kReaderProduct, kReaderVersion}};
}

std::unique_ptr<ReportDevice> VirtualReaderBus::Open(const std::string& path) {
    if (path != kPath || !reader_->Plugged())
        return nullptr;
    reader_->HostAttached();
    return std::make_unique<VirtualReaderDevice>(reader_);
}

}  // namespace pellucard
