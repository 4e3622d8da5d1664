#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <utility>

#include "engine/clock.h"
#include "engine/report_device.h"
#include "simulator/sim_card.h"

namespace pellucard {

// How fast the virtual reader is. Instant serves tests; the realistic profile puts out a report
// per millisecond (a full-speed interrupt pipe) and lets the card take a few milliseconds per
// command, as a real reader does. With a report interval, every report the pipe puts out, the
// repeats included, waits in the host's queue until the host reads it, as the kernel's hidraw
// queue holds them while the program is busy; a full queue drops what comes next.
struct ReaderTiming {
    std::chrono::microseconds reportInterval{0};
    std::chrono::microseconds cardCommandTime{0};
    std::chrono::microseconds cardTimePerByte{0};
    std::size_t hostQueueCapacity = 64;

    static ReaderTiming Instant() { return {}; }
    static ReaderTiming Realistic() {
        return {std::chrono::microseconds(1000), std::chrono::microseconds(3000),
                std::chrono::microseconds(10)};
    }
};

// Misbehaviour the reader can be told to show, for tests of the host's bounds.
struct ReaderFaults {
    int lostAcknowledgements = 0;        // the next N acknowledgements are never put out
    int lostAcknowledgementAfter = -1;   // after N more acknowledgements, one is never put out
    int lateAcknowledgementAfter = -1;   // after N more acknowledgements, one comes 150 ms late
    bool readyNever = false;             // ready reports never come
    int readyDropped = 0;                // the next N ready reports never come
    int readyDropAfter = -1;             // after N more ready reports, one never comes
    int readyLateReads = 0;              // the ready report comes only after this many reads
    bool silent = false;                 // reads time out, writes vanish
    int silentAfterReports = -1;         // goes silent after N more reports are read
    int silentReads = -1;                // once silent, answers again after N reads
    int unplugAfterReports = -1;         // the device goes away after N more reports
    std::optional<int> announcedLength;  // length report claims this instead of the real one
    std::optional<int> dataCount;        // count byte of data reports claims this
    bool lengthNever = false;            // block length requests are acknowledged, never answered
    // Every SIM command with this instruction byte is executed by the card, but the reader's
    // ready report for it never comes: its answer is lost (a CHANGE CHV that took effect
    // unseen, a SELECT that never answers).
    std::optional<std::uint8_t> loseAnswerOf;
};

// The reader's firmware, in process: it turns the host's 9-byte output reports into card
// commands and answers with input reports. It always has a current input report and puts it
// out again at every read, as an interrupt pipe that repeats; each new report carries the next
// reader sequence number in byte 8.
class VirtualReader {
public:
    explicit VirtualReader(Clock& clock = SystemClock(),
                           ReaderTiming timing = ReaderTiming::Instant());

    void InsertCard(std::shared_ptr<SimCard> card);
    std::shared_ptr<SimCard> RemoveCard();
    const std::shared_ptr<SimCard>& Card() const { return card_; }

    void Plug() { plugged_ = true; }
    // A new host opened the device: forget the previous host's sequence and pending reports.
    void HostAttached();
    void Unplug();
    bool Plugged() const { return plugged_; }
    // Changes at every unplug: a device opened before it stays dead, like a vanished hidraw node.
    int Generation() const { return generation_; }

    ReaderFaults& Faults() { return faults_; }
    void SetTiming(ReaderTiming timing) { timing_ = timing; }
    const ReaderTiming& Timing() const { return timing_; }
    // The report the pipe puts out again while there is nothing new.
    const Report& CurrentReport() const { return current_; }
    void SetReaderSequence(std::uint8_t value) { current_[8] = value; }
    std::uint8_t ReaderSequence() const { return current_[8]; }

    // Counts for tests: commands the firmware executed (a retried report is not executed).
    int ExecutedCommands() const { return executed_; }
    // Reports the host sent again (same host sequence): acknowledged, not executed.
    int RepeatedReports() const { return repeated_; }
    long AcknowledgementsPutOut() const { return acknowledgements_; }
    long ReportsPutOut() const { return reportsPutOut_; }

    // The device side of the pipe.
    IoStatus HostWrite(const Report& report);
    IoStatus HostRead(Report& report, std::chrono::milliseconds limit);
    // A report waiting in the host's queue, without waiting: TimedOut when there is none.
    IoStatus HostPoll(Report& report);
    // True when a report newer than the last one read is waiting; for transports that only
    // forward new reports (the socket server).
    bool HasNewReport() const;
    // Moves the next report out, if any is due; false when only repeats are left.
    bool TakeNewReport(Report& report);
    std::chrono::microseconds NextReportDue() const;

private:
    struct Pending {
        Report report{};
        std::chrono::microseconds due{0};
    };

    void Execute(const Report& report);
    void PutOut(Report report, std::chrono::microseconds delay = {});
    void Acknowledge();
    void Ready(std::uint8_t code, Bytes block, std::chrono::microseconds delay = {});
    Bytes RunSimCommand();
    Bytes CardFileData(std::initializer_list<std::uint16_t> path, bool recordStatus);
    Bytes SelectResponse(std::initializer_list<std::uint16_t> path);
    ApduResponse Transmit(Bytes apdu);
    bool Tick();
    // Realistic timing: the pipe's reports from its last one up to now go into the host queue.
    void RunPipe();
    // The oldest report of the host queue; TimedOut when it is empty.
    IoStatus TakeQueued(Report& report);
    bool Faulted(IoStatus& status, std::chrono::milliseconds limit);

    Clock& clock_;
    ReaderTiming timing_;
    ReaderFaults faults_;
    std::shared_ptr<SimCard> card_;
    bool plugged_ = true;
    int generation_ = 0;

    Report current_{};
    std::deque<Pending> pending_;
    std::deque<Report> hostQueue_;
    std::chrono::microseconds nextFrame_{-1};
    std::chrono::microseconds lastPutOut_{0};
    int lastHostSequence_ = -1;
    int readsUntilReady_ = 0;

    Bytes header_;
    Bytes commandData_;
    int commandDataLength_ = 0;
    Bytes block_;
    std::size_t blockPosition_ = 0;
    Bytes lastFileStatus_;
    int executed_ = 0;
    int repeated_ = 0;
    long acknowledgements_ = 0;
    long reportsPutOut_ = 0;
};

// A ReportBus that lists the virtual reader while it is plugged in.
class VirtualReaderBus final : public ReportBus {
public:
    static constexpr const char* kPath = "virtual:reader";

    explicit VirtualReaderBus(std::shared_ptr<VirtualReader> reader) : reader_(std::move(reader)) {}
    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<ReportDevice> Open(const std::string& path) override;
    VirtualReader& Reader() { return *reader_; }

private:
    std::shared_ptr<VirtualReader> reader_;
};

}  // namespace pellucard
