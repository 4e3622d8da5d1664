#pragma once

// What must hold for the USB reader's report framing whatever the reader sends: the HID report
// link and the engine on it, over a reader whose every read the input chooses. Shared by the
// libFuzzer target and by the corpus replay test; each check returns nullptr or what went wrong.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "decoder_checks.h"
#include "engine/clock.h"
#include "engine/hid_report_link.h"
#include "engine/pellucard.h"
#include "engine/sim_commands.h"

namespace pellucard::fuzz {

// How many reads and writes an operation may take: every read takes at least one input byte
// until the input runs out, and the link writes no more often than it reads, so two for each
// input byte the operation took; then reads that time out, and a silent reader ends any
// operation within a few hundred. Far more is a hang, found here rather than by a time-out.
inline constexpr long kExchangesPerInputByte = 2;
inline constexpr long kSilentExchanges = 10000;

// The reader, read by read. Each read, and each look into the queue of reports (Poll), takes a
// control byte from the input:
//   0x00..0x7F  a new report: bytes 1..8 are the next 8 input bytes (zeros past the end)
//   0x80..0xBF  a new report holding only a code: byte 1 the low six bits, byte 8 the next
//               sequence number (0x80 an acknowledgement, 0x9B and 0x9C ready reports)
//   0xC0..0xEF  the last report again, as the interrupt pipe repeats it
//   0xF0..0xFB  nothing within the time limit (for a look into the queue: nothing queued)
//   0xFC..0xFD  an I/O error
//   0xFE..0xFF  the reader is unplugged
// Once the input runs out every read times out: a silent reader. A read costs the reader's
// time on the clock (1 ms for a report, the limit for a time-out) and no real time. The
// script outlives the devices opened on it, so a reader unplugged and opened again goes on
// where it stopped.
class ReaderScript {
public:
    enum class Event { Report, TimedOut, Error, Unplugged };

    ReaderScript(const std::uint8_t* data, std::size_t size, Clock& clock)
        : data_(data), size_(size), clock_(clock) {}

    Event NextRead(Report& report, std::chrono::milliseconds limit) {
        const Event event = Next(report);
        clock_.Sleep(event == Event::TimedOut
                         ? std::max<std::chrono::microseconds>(limit, std::chrono::milliseconds(1))
                         : std::chrono::microseconds(std::chrono::milliseconds(1)));
        return event;
    }
    // A look into the queue: a report there, or a time-out for an empty queue; no time passes.
    Event NextPoll(Report& report) { return Next(report); }

    void Written(const Report& report) {
        ++exchanges_;
        // Reports read after the first request for data are the ones that may carry data.
        if (report[1] == kNextDataCommand)
            dataRequested_ = true;
    }

    // Starts counting for one operation.
    void BeginOperation() {
        exchanges_ = 0;
        operationStart_ = at_;
        dataCarried_ = 0;
        dataRequested_ = false;
    }
    bool Overran() const {
        const auto taken = static_cast<long>(at_ - operationStart_);
        return exchanges_ > kExchangesPerInputByte * taken + kSilentExchanges;
    }
    // Data bytes the reports read since the first data request could hold (their count byte,
    // at most the 7 bytes a report holds), repeats included.
    std::size_t DataCarried() const { return dataCarried_; }

private:
    static constexpr std::uint8_t kNextDataCommand = 0x10;

    Event Next(Report& report) {
        ++exchanges_;
        if (at_ >= size_)
            return Event::TimedOut;
        const std::uint8_t control = data_[at_++];
        if (control >= 0xFE)
            return Event::Unplugged;
        if (control >= 0xFC)
            return Event::Error;
        if (control >= 0xF0)
            return Event::TimedOut;
        if (control < 0x80) {
            last_.fill(0);
            for (std::size_t i = 1; i < last_.size() && at_ < size_; ++i)
                last_[i] = data_[at_++];
        } else if (control < 0xC0) {
            const std::uint8_t sequence = last_[8];
            last_.fill(0);
            last_[1] = control & 0x3F;
            last_[8] = static_cast<std::uint8_t>(sequence + 1);
        }
        report = last_;
        if (dataRequested_)
            dataCarried_ += std::min<std::size_t>(report[1], 7);
        return Event::Report;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    Clock& clock_;
    std::size_t at_ = 0;
    Report last_{};
    long exchanges_ = 0;
    std::size_t operationStart_ = 0;
    std::size_t dataCarried_ = 0;
    bool dataRequested_ = false;
};

// A report device on the script. Past the bound of an operation the reader counts as gone, so
// that a link that would never stop asking ends and the check can say so.
class ScriptedReportDevice final : public ReportDevice {
public:
    explicit ScriptedReportDevice(ReaderScript& script) : script_(script) {}

    IoStatus Write(const Report& report) override {
        script_.Written(report);
        return script_.Overran() ? IoStatus::Disconnected : IoStatus::Done;
    }
    IoStatus Read(Report& report, std::chrono::milliseconds limit) override {
        return Status(script_.NextRead(report, limit));
    }
    IoStatus Poll(Report& report) override { return Status(script_.NextPoll(report)); }

private:
    IoStatus Status(ReaderScript::Event event) const {
        if (script_.Overran())
            return IoStatus::Disconnected;
        switch (event) {
            case ReaderScript::Event::Report:
                return IoStatus::Done;
            case ReaderScript::Event::TimedOut:
                return IoStatus::TimedOut;
            case ReaderScript::Event::Error:
                return IoStatus::Error;
            case ReaderScript::Event::Unplugged:
                break;
        }
        return IoStatus::Disconnected;
    }

    ReaderScript& script_;
};

// A bus that always lists the reader and opens it on the script.
class ScriptedReportBus final : public ReportBus {
public:
    explicit ScriptedReportBus(ReaderScript& script) : script_(script) {}
    std::vector<HidDeviceInfo> Enumerate() override {
        return {{"scripted", kReaderVendor, kReaderProduct, kReaderVersion}};
    }
    std::unique_ptr<ReportDevice> Open(const std::string&) override {
        return std::make_unique<ScriptedReportDevice>(script_);
    }

private:
    ReaderScript& script_;
};

// The largest reply block the link may hand over: the reader's block holds at most 249 bytes.
inline constexpr std::size_t kMaxReplyBlock = 249;

// The operations every input goes through, in this order, on a link over `bus`: the link's own
// (reset, two reader requests, SELECT, READ RECORD, UPDATE RECORD with data), then the engine's
// on that link (find the card, every card-information item, enter the phone book, read up to
// two records). Texts must be UTF-8 and records of the file's length; with a script, every
// operation must also end within the bound of reads and writes, and every reply block must be
// no longer than its data reports. Returns nullptr or what went wrong.
inline const char* RunReportLinkOperations(ReportBus& bus, Clock& clock, ReaderScript* script) {
    auto owned = std::make_unique<HidReportLink>(bus, clock);
    HidReportLink& link = *owned;
    Pellucard engine(std::move(owned));
    if (!engine.OpenReader())
        return "the listed reader did not open";

    const char* fault = nullptr;
    // Runs one operation; a reader unplugged before it is opened again, as the program's
    // reader watch does.
    auto operation = [&](auto&& run) {
        if (fault)
            return;
        if (!link.IsOpen() && !engine.OpenReader())
            return;  // the reader stays away: there is nothing to run
        if (script)
            script->BeginOperation();
        run();
        if (!fault && script && script->Overran())
            fault = "an operation took more reads and writes than the bound";
    };
    auto linkOperation = [&](auto&& call) {
        operation([&] {
            Bytes block;
            const LinkResult result = call(block);
            if (result != LinkResult::Ok)
                return;
            if (block.empty() || block.size() > kMaxReplyBlock)
                fault = "a reply block outside 1..249 bytes counted as received";
            else if (script && block.size() > script->DataCarried())
                fault = "a reply block longer than the data reports carried";
        });
    };

    linkOperation([&](Bytes& block) { return link.ResetCard(block); });
    linkOperation([&](Bytes& block) { return link.Request(ReaderRequest::Iccid, block); });
    linkOperation(
        [&](Bytes& block) { return link.Request(ReaderRequest::PhoneBookFileStatus, block); });
    linkOperation(
        [&](Bytes& block) { return link.SimCommand(sim::Select(), 0x7F, 0x10, {}, block); });
    linkOperation([&](Bytes& block) {
        return link.SimCommand(sim::ReadRecord(1, sim::kRecordAbsolute, 28), 0, 0, {}, block);
    });
    linkOperation([&](Bytes& block) {
        const Bytes record(28, 0x5A);
        return link.SimCommand(sim::UpdateRecord(1, sim::kRecordAbsolute, 28), 0, 0, record, block);
    });

    operation([&] {
        if (engine.ResetCard().IsDone() && engine.AnswerToReset().empty())
            fault = "a reset done without an answer to reset";
    });
    for (int item = 18; item <= 38; ++item) {
        operation([&] {
            const CardInfoAnswer answer = engine.ReadCardInfo(static_cast<CardInfoItem>(item));
            if (answer.value && !IsValidUtf8(*answer.value))
                fault = "a card information text is not UTF-8";
        });
    }
    bool inPhoneBook = false;
    operation([&] {
        inPhoneBook = engine.EnterPhoneBook().IsDone();
        if (engine.PhoneBookRecordCount() < 0 || engine.PhoneBookRecordLength() < 0)
            fault = "negative phone book size";
    });
    for (int record = 1; inPhoneBook && record <= std::min(engine.PhoneBookRecordCount(), 2);
         ++record) {
        operation([&] {
            const CardResult<Bytes> read = engine.ReadPhoneBookRecord(record);
            if (!read.IsDone()) {
                if (!read.value.empty())
                    fault = "a record that was not read handed over bytes";
                return;
            }
            if (static_cast<int>(read.value.size()) != engine.PhoneBookRecordLength()) {
                fault = "a phone book record read with another length than the file's";
                return;
            }
            const PhoneBookEntry entry = DecodePhoneBookRecord(read.value);
            if (!IsValidUtf8(entry.name) || !IsValidUtf8(entry.Number()))
                fault = "a phone book entry's text is not UTF-8";
        });
    }
    return fault;
}

// Input: the reader's reports, read by read (see ReaderScript), on a clock whose waits cost no
// real time.
inline const char* CheckReportLink(const std::uint8_t* data, std::size_t size) {
    InstantClock clock;
    ReaderScript script(data, size, clock);
    ScriptedReportBus bus(script);
    return RunReportLinkOperations(bus, clock, &script);
}

}  // namespace pellucard::fuzz
