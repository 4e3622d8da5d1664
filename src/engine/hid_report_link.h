#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/card_channel.h"
#include "engine/clock.h"
#include "engine/report_device.h"

namespace pellucard {

// The reader's identity on the USB bus.
inline constexpr std::uint16_t kReaderVendor = 0x1101;
inline constexpr std::uint16_t kReaderProduct = 0x0001;
inline constexpr std::uint16_t kReaderVersion = 0x0111;

// Counts of the report protocol, for benchmarks and for tests that prove every operation ends.
struct LinkCounters {
    long reportsWritten = 0;
    long reportsRead = 0;
    long timedOutReads = 0;
    long staleReports = 0;                // queued reports drained before a write
    std::chrono::microseconds pauses{0};  // time spent in the SIM command pause

    long Exchanged() const { return reportsWritten + reportsRead; }
};

// The reader link over 9-byte HID reports. Every exchange is framed here: the host sequence in
// byte 8 of each output report, acknowledgement by a change of the reader's sequence byte, and
// reply blocks collected as a ready report, a length report and data reports.
//
// The reader's interrupt pipe repeats its current report, and the system queues every repeat
// while the host is busy elsewhere (a repaint, a loaded machine, a stopped process). So waits
// are bounded by time on the link's clock, not by a count of reports, reports already queued
// still count when a wait's time is up, and the queue is drained before each write: an
// acknowledgement is always a change from the newest report the reader had put out before the
// write, never a stale one.
//
// A reply block counts only when it is complete: exactly as many bytes as the length report
// announced, between 1 and 249. Anything else is a failed exchange, never data.
//
// Every loop is bounded: a wait lasts at most its time and kMaxReadsPerWait reads, a drain at
// most kMaxDrainReads reads, a send at most kWriteAttempts writes.
class HidReportLink final : public CardChannel {
public:
    static constexpr int kWriteAttempts = 10;
    static constexpr int kLengthResends = 3;
    // Times a block whose data report went missing is read again from its length request.
    static constexpr int kBlockRestarts = 2;
    static constexpr int kMaxReadsPerWait = 4096;
    static constexpr int kMaxDrainReads = 65536;
    static constexpr std::size_t kBlockCapacity = 257;
    static constexpr std::size_t kLargestBlock = 249;
    static constexpr std::chrono::milliseconds kReadWait{100};
    static constexpr std::chrono::milliseconds kSecondChanceWait{50};
    // How long the card may take to execute a command before its ready report comes.
    static constexpr std::chrono::milliseconds kReadyWait{2000};
    static constexpr std::chrono::milliseconds kCommandPause{20};

    HidReportLink(ReportBus& bus, Clock& clock);
    // A link that owns its bus.
    HidReportLink(std::shared_ptr<ReportBus> bus, Clock& clock);

    bool Open() override;  // the engine's OpenReader
    void Close() override;
    bool IsOpen() const override { return device_ != nullptr; }
    // The clock the link waits on and lets others run through (Clock::Idle); it must outlive
    // the link.
    void SetClock(Clock& clock) { clock_ = &clock; }
    LinkResult ResetCard(Bytes& answerToReset) override;
    LinkResult Request(ReaderRequest request, Bytes& block) override;
    LinkResult SimCommand(const CommandHeader& header, std::uint8_t fileHigh, std::uint8_t fileLow,
                          const Bytes& data, Bytes& response) override;

    // The report protocol itself.
    bool SendReport(std::uint8_t& sequence);
    bool WaitReport(int index, std::uint8_t& value);
    bool ReceiveBlock(Bytes& block, std::uint8_t readyCode);

    Report& OutputReport() { return output_; }
    const Report& InputReport() const { return input_; }
    std::uint8_t HostSequence() const { return hostSequence_; }
    void SetHostSequence(std::uint8_t value) { hostSequence_ = value; }
    bool LastResult() const { return lastResult_; }
    const LinkCounters& Counters() const { return counters_; }
    void ResetCounters() { counters_ = {}; }

private:
    enum class ReadOutcome { Report, TimedOut, Failed };
    enum class BlockRound { Complete, Missed, Failed };

    ReadOutcome ReadOne(std::chrono::milliseconds wait);
    // A report already queued, without waiting.
    ReadOutcome PollOne();
    // What a read's status means for the link: a failure marks ioFailed_, an unplugged device
    // closes the link.
    ReadOutcome Judge(IoStatus status);
    // Reads until `wanted` holds for a report, for at most `limit` of clock time; when the time
    // is up, the reports already queued are still looked at.
    bool AwaitReport(const std::function<bool(const Report&)>& wanted,
                     std::chrono::milliseconds limit);
    // Reads and discards every queued report; input_ then holds the newest. False when the
    // device failed.
    bool Drain();
    // Reads queued reports until one whose sequence differs from `sequence` (Report), none is
    // left (TimedOut) or the device fails; reports equal to it are repeats and are passed over.
    ReadOutcome PollForChange(std::uint8_t sequence);
    // The length request and the data reports of one reply block.
    BlockRound ReadBlockOnce(Bytes& block);
    // Lets the clock's owner run after a wait that timed out, or when an exchange has waited
    // kIdleInterval since the last time.
    void IdleAfterWait(bool timedOut);
    bool SendCommand(std::uint8_t code, std::uint8_t& sequence);
    bool SendReaderCommand(std::uint8_t code);
    LinkResult Collect(Bytes& block, std::uint8_t readyCode);

    std::shared_ptr<ReportBus> ownedBus_;
    ReportBus& bus_;
    Clock* clock_;
    std::chrono::microseconds lastIdle_{0};
    std::unique_ptr<ReportDevice> device_;
    Report input_{};
    Report output_{};
    std::uint8_t hostSequence_ = 0;
    bool lastResult_ = false;
    bool ioFailed_ = false;    // a read or write failed outright (not a time-out)
    bool haveReport_ = false;  // input_ holds a report read since the device was opened
    LinkCounters counters_;
};

}  // namespace pellucard
