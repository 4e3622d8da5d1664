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
constexpr std::size_t kMaxDataPerReport = 7;

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
    haveReport_ = false;
    lastResult_ = false;
}

HidReportLink::ReadOutcome HidReportLink::ReadOne(std::chrono::milliseconds wait) {
    if (!device_)
        return Judge(IoStatus::Error);
    ++counters_.reportsRead;
    const ReadOutcome outcome = Judge(device_->Read(input_, wait));
    if (outcome == ReadOutcome::TimedOut)
        ++counters_.timedOutReads;
    if (outcome != ReadOutcome::Failed)
        IdleAfterWait(outcome == ReadOutcome::TimedOut);
    return outcome;
}

HidReportLink::ReadOutcome HidReportLink::PollOne() {
    if (!device_)
        return Judge(IoStatus::Error);
    const ReadOutcome outcome = Judge(device_->Poll(input_));
    if (outcome == ReadOutcome::Report)
        ++counters_.reportsRead;
    return outcome;
}

HidReportLink::ReadOutcome HidReportLink::Judge(IoStatus status) {
    switch (status) {
        case IoStatus::Done:
            haveReport_ = true;
            return ReadOutcome::Report;
        case IoStatus::TimedOut:
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

bool HidReportLink::AwaitReport(const std::function<bool(const Report&)>& wanted,
                                std::chrono::milliseconds limit) {
    const auto deadline = clock_->Now() + limit;
    for (int read = 0; read < kMaxReadsPerWait; ++read) {
        const auto now = clock_->Now();
        ReadOutcome outcome;
        if (now < deadline) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
            outcome = ReadOne(left);
        } else {
            // The time is up, but the host may have been away while the reader answered: what
            // the system queued meanwhile is still the reader's word.
            outcome = PollOne();
            if (outcome == ReadOutcome::TimedOut)
                return false;
        }
        if (outcome == ReadOutcome::Failed)
            return false;
        if (outcome == ReadOutcome::Report && wanted(input_))
            return true;
    }
    return false;
}

bool HidReportLink::Drain() {
    for (int read = 0; read < kMaxDrainReads; ++read) {
        switch (PollOne()) {
            case ReadOutcome::Report:
                ++counters_.staleReports;
                break;
            case ReadOutcome::TimedOut:
                return true;
            case ReadOutcome::Failed:
                return false;
        }
    }
    return true;
}

HidReportLink::ReadOutcome HidReportLink::PollForChange(std::uint8_t sequence) {
    for (int read = 0; read < kMaxDrainReads; ++read) {
        const ReadOutcome outcome = PollOne();
        if (outcome != ReadOutcome::Report || input_[8] != sequence)
            return outcome;
    }
    return ReadOutcome::TimedOut;
}

bool HidReportLink::WaitReport(int index, std::uint8_t& value) {
    const bool found = AwaitReport(
        [&](const Report& report) {
            return index == 8 ? report[8] != value : report[index] == value;
        },
        kReadWait);
    if (found && index == 8)
        value = input_[8];
    return found;
}

bool HidReportLink::SendReport(std::uint8_t& sequence) {
    if (!device_)
        return false;
    ioFailed_ = false;
    lastResult_ = false;
    hostSequence_ = Next(hostSequence_);
    output_[0] = 0;
    output_[8] = hostSequence_;

    // Where the reader's sequence stands: the newest report it put out. Reports queued while
    // the host was away are history; before the first report of an operation with nothing
    // queued, wait for one.
    const long staleBefore = counters_.staleReports;
    if (!Drain())
        return false;
    if (counters_.staleReports == staleBefore && (sequence == 0 || !haveReport_)) {
        auto outcome = ReadOne(kReadWait);
        if (outcome == ReadOutcome::TimedOut)
            outcome = ReadOne(kSecondChanceWait);
        if (outcome != ReadOutcome::Report)
            return false;
    }

    const std::uint8_t before = input_[8];
    bool acknowledged = false;
    for (int attempt = 0; attempt < kWriteAttempts && !acknowledged; ++attempt) {
        // An acknowledgement that came after the previous attempt gave up (the reader was slow,
        // or the host was away) still answers this report: it is not sent again, and what the
        // reader put out behind the acknowledgement stays queued for the caller.
        if (attempt > 0) {
            const ReadOutcome late = PollForChange(before);
            if (late == ReadOutcome::Failed)
                break;
            if (late == ReadOutcome::Report) {
                acknowledged = true;
                break;
            }
        }
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
        std::uint8_t seen = before;
        acknowledged = WaitReport(8, seen);
        if (ioFailed_)
            break;
    }
    lastResult_ = acknowledged;
    if (acknowledged)
        sequence = input_[8];
    return acknowledged;
}

bool HidReportLink::SendCommand(std::uint8_t code, std::uint8_t& sequence) {
    output_[1] = code;
    return SendReport(sequence);
}

bool HidReportLink::ReceiveBlock(Bytes& block, std::uint8_t readyCode) {
    block.clear();
    ioFailed_ = false;
    lastResult_ = false;
    if (!AwaitReport([readyCode](const Report& r) { return r[1] == readyCode; }, kReadyWait))
        return false;
    // A data report that went missing cannot be asked for again (every data request moves the
    // reader on), so the block is read again from its length request, which starts it anew.
    for (int round = 0; round <= kBlockRestarts; ++round) {
        switch (ReadBlockOnce(block)) {
            case BlockRound::Complete:
                lastResult_ = true;
                return true;
            case BlockRound::Failed:
                block.clear();
                return false;
            case BlockRound::Missed:
                break;
        }
    }
    block.clear();
    return false;
}

HidReportLink::BlockRound HidReportLink::ReadBlockOnce(Bytes& block) {
    block.clear();
    // Length phase. A reader that acknowledges the request but never answers it is asked a
    // few more times, then the reply counts as missing.
    std::uint8_t sequence = input_[8];
    bool haveLength = false;
    for (int send = 0; send <= kLengthResends && !haveLength; ++send) {
        if (!SendCommand(kCmdBlockLength, sequence))
            return BlockRound::Failed;
        std::uint8_t seen = sequence;
        haveLength = WaitReport(8, seen);
        if (ioFailed_)
            return BlockRound::Failed;
        sequence = input_[8];
    }
    if (!haveLength)
        return BlockRound::Failed;
    const std::size_t total = input_[2];
    // An empty block, or one longer than any reply the engine asks for, is no answer.
    if (total == 0 || total > kLargestBlock)
        return BlockRound::Failed;

    while (block.size() < total) {
        sequence = input_[8];
        if (!SendCommand(kCmdNextData, sequence))
            return BlockRound::Failed;
        // The data report is a new report that carries data; an empty one (an acknowledgement
        // that came late) is passed over within the same wait.
        std::uint8_t newest = input_[8];
        const bool got = AwaitReport(
            [&newest](const Report& r) {
                if (r[8] == newest)
                    return false;
                newest = r[8];
                return r[1] != 0;
            },
            kReadWait);
        if (ioFailed_)
            return BlockRound::Failed;
        if (!got)
            return BlockRound::Missed;
        // The count byte is the reader's word: a report holds at most bytes 2..8, and a block
        // never grows past what its length report announced.
        const std::size_t count = input_[1];
        if (count > kMaxDataPerReport || count > total - block.size())
            return BlockRound::Failed;
        block.insert(block.end(), input_.begin() + 2, input_.begin() + 2 + count);
    }
    return BlockRound::Complete;
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
