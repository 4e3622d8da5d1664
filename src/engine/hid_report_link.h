#pragma once

#include <chrono>
#include <cstdint>
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
    std::chrono::microseconds pauses{0};  // time spent in the SIM command pause

    long Exchanged() const { return reportsWritten + reportsRead; }
};

// The reader link over 9-byte HID reports. Every exchange is framed here: the host sequence in
// byte 8 of each output report, acknowledgement by a change of the reader's sequence byte, and
// reply blocks collected as a ready report, a length report and data reports.
//
// Every loop is bounded: a report wait costs at most 25 reads, a send at most 10 writes, the
// wait for a ready report at most 101 reads, each read at most 100 ms.
class HidReportLink final : public CardChannel {
public:
    static constexpr int kWaitReads = 25;
    static constexpr int kWriteAttempts = 10;
    static constexpr int kReadyReads = 101;
    static constexpr int kLengthResends = 3;
    static constexpr std::size_t kBlockCapacity = 257;
    static constexpr std::chrono::milliseconds kReadWait{100};
    static constexpr std::chrono::milliseconds kSecondChanceWait{50};
    static constexpr std::chrono::milliseconds kCommandPause{20};

    HidReportLink(ReportBus& bus, Clock& clock);
    // A link that owns its bus.
    HidReportLink(std::shared_ptr<ReportBus> bus, Clock& clock);

    bool Open() override;  // FindReader
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

    ReadOutcome ReadOne(std::chrono::milliseconds wait);
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
    bool ioFailed_ = false;  // a read or write failed outright (not a time-out)
    LinkCounters counters_;
};

}  // namespace pellucard
