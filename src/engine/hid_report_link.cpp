#include "engine/hid_report_link.h"

#include <algorithm>

#include "engine/sim_commands.h"

namespace pellucard {

namespace {

constexpr std::uint8_t kReadyReader = 0x1B;
constexpr std::uint8_t kReadySim = 0x1C;

constexpr std::uint8_t kCmdSearch = 0xFF;
constexpr std::uint8_t kCmdResetCard = 0x01;
constexpr std::uint8_t kCmdLoadHeader = 0x02;
constexpr std::uint8_t kCmdAppendData = 0x04;
constexpr std::uint8_t kCmdExecute = 0x06;
constexpr std::uint8_t kCmdDataLength = 0x0E;
constexpr std::uint8_t kCmdNextData = 0x10;
constexpr std::uint8_t kCmdBlockLength = 0x11;

// Most data bytes a data report can hold: bytes 2..8.
constexpr int kMaxDataPerReport = 7;

std::uint8_t Next(std::uint8_t sequence) {
    return static_cast<std::uint8_t>(sequence + 1);
}

}  // namespace

HidReportLink::HidReportLink(ReportBus& bus, Clock& clock) : bus_(bus), clock_(&clock) {}

HidReportLink::HidReportLink(std::shared_ptr<ReportBus> bus, Clock& clock)
    : ownedBus_(std::move(bus)), bus_(*ownedBus_), clock_(&clock) {}

bool HidReportLink::Open() {
    Close();
    for (const auto& info : bus_.Enumerate()) {
        if (info.vendor != kReaderVendor || info.product != kReaderProduct ||
            info.version != kReaderVersion) {
            continue;
        }
        if (auto device = bus_.Open(info.path)) {
            device_ = std::move(device);
            return true;
        }
    }
    return false;
}

void HidReportLink::Close() {
    device_.reset();
    lastResult_ = false;
}

HidReportLink::ReadOutcome HidReportLink::ReadOne(std::chrono::milliseconds wait) {
    if (!device_) {
        ioFailed_ = true;
        return ReadOutcome::Failed;
    }
    ++counters_.reportsRead;
    switch (device_->Read(input_, wait)) {
        case IoStatus::Done:
            IdleAfterWait(false);
            return ReadOutcome::Report;
        case IoStatus::TimedOut:
            ++counters_.timedOutReads;
            IdleAfterWait(true);
            return ReadOutcome::TimedOut;
        case IoStatus::Disconnected:
            Close();
            break;
        case IoStatus::Error:
            break;
    }
    ioFailed_ = true;
    return ReadOutcome::Failed;
}

void HidReportLink::IdleAfterWait(bool timedOut) {
    const auto now = clock_->Now();
    if (!timedOut && now - lastIdle_ < Clock::kIdleInterval)
        return;
    lastIdle_ = now;
    // The device may go away while others run (the user unplugs it, the program closes the
    // link); every caller looks at device_ again before it touches the device.
    clock_->Idle();
}

bool HidReportLink::WaitReport(int index, std::uint8_t& value) {
    for (int read = 0; read < kWaitReads; ++read) {
        if (ReadOne(kReadWait) == ReadOutcome::Failed)
            return false;
        if (index == 8) {
            if (input_[8] != value) {
                value = input_[8];
                return true;
            }
        } else if (input_[index] == value) {
            return true;
        }
    }
    return false;
}

bool HidReportLink::SendReport(std::uint8_t& sequence) {
    if (!device_)
        return false;
    ioFailed_ = false;
    hostSequence_ = Next(hostSequence_);
    output_[0] = 0;
    output_[8] = hostSequence_;

    if (sequence == 0) {
        // Learn where the reader's sequence stands before the first report of an operation.
        auto outcome = ReadOne(kReadWait);
        if (outcome == ReadOutcome::TimedOut)
            outcome = ReadOne(kSecondChanceWait);
        if (outcome != ReadOutcome::Report) {
            lastResult_ = false;
            return false;
        }
        sequence = input_[8];
    }
    const std::uint8_t expected = Next(sequence);

    bool acknowledged = false;
    for (int attempt = 0; attempt < kWriteAttempts && !acknowledged; ++attempt) {
        if (!device_)
            break;
        ++counters_.reportsWritten;
        const IoStatus written = device_->Write(output_);
        if (written == IoStatus::Disconnected)
            Close();
        if (written == IoStatus::Disconnected || written == IoStatus::Error) {
            ioFailed_ = true;
            break;
        }
        // The reader acknowledges a report by putting out a new one. A retry carries the same
        // host sequence, so the reader acknowledges it again without executing it twice.
        std::uint8_t seen = sequence;
        acknowledged = WaitReport(8, seen);
        if (ioFailed_)
            break;
    }
    lastResult_ = acknowledged;
    if (acknowledged)
        sequence = expected;
    return acknowledged;
}

bool HidReportLink::SendCommand(std::uint8_t code, std::uint8_t& sequence) {
    output_[1] = code;
    return SendReport(sequence);
}

bool HidReportLink::ReceiveBlock(Bytes& block, std::uint8_t readyCode) {
    block.assign(kBlockCapacity, 0);
    ioFailed_ = false;
    std::size_t received = 0;
    auto finish = [&](bool ok) {
        block.resize(ok ? received : 0);
        lastResult_ = ok;
        return ok;
    };

    bool ready = false;
    for (int read = 0; read < kReadyReads && !ready; ++read) {
        if (ReadOne(kReadWait) == ReadOutcome::Failed)
            return finish(false);
        ready = input_[1] == readyCode;
    }
    if (!ready)
        return finish(false);

    // Length phase. A reader that acknowledges the request but never answers it is asked a
    // few more times, then the reply counts as missing.
    std::uint8_t sequence = input_[8];
    bool haveLength = false;
    for (int send = 0; send <= kLengthResends && !haveLength; ++send) {
        if (!SendCommand(kCmdBlockLength, sequence))
            return finish(false);
        std::uint8_t seen = sequence;
        haveLength = WaitReport(8, seen);
        if (ioFailed_)
            return finish(false);
    }
    if (!haveLength)
        return finish(false);
    const std::size_t total = input_[2];
    sequence = input_[8];

    if (!SendCommand(kCmdNextData, sequence))
        return finish(false);

    int misses = 0;
    while (received < total && misses < 2) {
        std::uint8_t seen = sequence;
        if (WaitReport(8, seen)) {
            sequence = seen;
            // The count byte is the reader's word; never copy more than the report holds
            // (bytes 2..8) nor past the end of the block.
            const std::size_t count =
                std::min<std::size_t>({input_[1], kMaxDataPerReport, kBlockCapacity - received});
            std::copy_n(input_.begin() + 2, count, block.begin() + received);
            received += count;
            // A report that carries nothing makes no progress: count it as a miss so a reader
            // that keeps sending empty reports cannot keep the host here.
            if (count == 0)
                ++misses;
        } else {
            if (ioFailed_)
                return finish(false);
            ++misses;
        }
        if (received < total && misses < 2) {
            if (!SendCommand(kCmdNextData, sequence))
                return finish(false);
        }
    }
    return finish(received >= 1 && received < 250);
}

LinkResult HidReportLink::Collect(Bytes& block, std::uint8_t readyCode) {
    return ReceiveBlock(block, readyCode) ? LinkResult::Ok : LinkResult::ReceiveFailed;
}

bool HidReportLink::SendReaderCommand(std::uint8_t code) {
    std::uint8_t sequence = 0;
    return SendCommand(code, sequence);
}

LinkResult HidReportLink::ResetCard(Bytes& answerToReset) {
    answerToReset.clear();
    SendReaderCommand(kCmdSearch);
    if (!SendReaderCommand(kCmdResetCard))
        return LinkResult::SendFailed;
    return Collect(answerToReset, kReadyReader);
}

LinkResult HidReportLink::Request(ReaderRequest request, Bytes& block) {
    block.clear();
    if (!SendReaderCommand(static_cast<std::uint8_t>(request)))
        return LinkResult::SendFailed;
    return Collect(block, kReadyReader);
}

LinkResult HidReportLink::SimCommand(const CommandHeader& header, std::uint8_t fileHigh,
                                     std::uint8_t fileLow, const Bytes& data, Bytes& response) {
    response.clear();
    std::uint8_t sequence = 0;
    std::copy(header.begin() + 1, header.end(), output_.begin() + 2);
    if (!SendCommand(kCmdLoadHeader, sequence))
        return LinkResult::SendFailed;

    const std::uint8_t instruction = header[1];
    // SELECT's two data bytes are the file identifier, sent below from its own arguments.
    const bool select = instruction == sim::ins::kSelect;
    if (!select && sim::CarriesData(instruction)) {
        for (std::size_t at = 0; at < data.size(); at += 6) {
            const std::size_t count = std::min<std::size_t>(6, data.size() - at);
            // Bytes past `count` keep what the previous report left there, as the reader expects.
            std::copy_n(data.begin() + at, count, output_.begin() + 2);
            if (!SendCommand(kCmdAppendData, sequence))
                return LinkResult::SendFailed;
        }
        output_[2] = static_cast<std::uint8_t>(data.size());
        if (!SendCommand(kCmdDataLength, sequence))
            return LinkResult::SendFailed;
        if (!SendCommand(kCmdExecute, sequence))
            return LinkResult::SendFailed;
        return Collect(response, kReadySim);
    }
    if (select) {
        output_[2] = fileHigh;
        output_[3] = fileLow;
        if (!SendCommand(kCmdAppendData, sequence))
            return LinkResult::SendFailed;
        output_[2] = 2;
        if (!SendCommand(kCmdDataLength, sequence))
            return LinkResult::SendFailed;
    }
    if (!SendCommand(kCmdExecute, sequence))
        return LinkResult::SendFailed;
    clock_->Sleep(kCommandPause);
    counters_.pauses += kCommandPause;
    IdleAfterWait(false);
    return Collect(response, kReadySim);
}

}  // namespace pellucard
