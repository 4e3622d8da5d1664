// Makes the seeds of the report_link and socket_bus fuzz targets from the virtual reader with the
// demo card: what the link reads and writes while it goes through the operations of the
// report_link check, once cleanly and once with each misbehaviour below. Run it again when those
// operations or the link's way of reading change:
//   cmake --build --preset fuzz --target make_link_seeds
//   build/fuzz/fuzz/make_link_seeds fuzz/corpus
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report_link_checks.h"
#include "simulator/card_image.h"
#include "simulator/virtual_reader.h"
#include "simulator/virtual_sim_card.h"
#include "socket_bus_checks.h"

namespace pellucard::fuzz {
namespace {

// One read or write of the link, as the device saw it.
struct Exchange {
    bool write = false;
    bool poll = false;  // a look into the queue, not a read that waits
    IoStatus status = IoStatus::Done;
    Report report{};
};

// How the host's side of the pipe misbehaves, by read number (from 0), without the reader
// knowing: a silent stretch and a failed read.
struct HostSideFaults {
    long silentFrom = -1;
    long silentReads = 0;
    long errorAt = -1;
};

class RecordingDevice final : public ReportDevice {
public:
    RecordingDevice(std::unique_ptr<ReportDevice> inner, Clock& clock, const HostSideFaults& faults,
                    std::vector<Exchange>& log)
        : inner_(std::move(inner)), clock_(clock), faults_(faults), log_(log) {}

    IoStatus Write(const Report& report) override {
        const IoStatus status = inner_->Write(report);
        log_.push_back({true, false, status, report});
        return status;
    }
    IoStatus Read(Report& report, std::chrono::milliseconds limit) override {
        const long read = reads_++;
        const auto start = clock_.Now();
        IoStatus status;
        if (read >= faults_.silentFrom && read < faults_.silentFrom + faults_.silentReads) {
            clock_.Sleep(limit);
            status = IoStatus::TimedOut;
        } else if (read == faults_.errorAt) {
            status = IoStatus::Error;
        } else {
            status = inner_->Read(report, limit);
        }
        // A read costs at least the pipe's millisecond, as in the replay of the seed; on the
        // instant virtual reader the link's waits would go on without time passing.
        clock_.Sleep(start + std::chrono::milliseconds(1) - clock_.Now());
        log_.push_back({false, false, status, report});
        return status;
    }
    IoStatus Poll(Report& report) override {
        const IoStatus status = inner_->Poll(report);
        log_.push_back({false, true, status, report});
        return status;
    }

private:
    std::unique_ptr<ReportDevice> inner_;
    Clock& clock_;
    const HostSideFaults& faults_;
    std::vector<Exchange>& log_;
    long reads_ = 0;
};

// The virtual reader's bus; an unplugged reader is plugged in again when the link looks for it,
// as the script's reader is.
class RecordingBus final : public ReportBus {
public:
    RecordingBus(std::shared_ptr<VirtualReader> reader, Clock& clock, HostSideFaults faults)
        : reader_(std::move(reader)), inner_(reader_), clock_(clock), faults_(faults) {}
    std::vector<HidDeviceInfo> Enumerate() override {
        if (!reader_->Plugged())
            reader_->Plug();
        return inner_.Enumerate();
    }
    std::unique_ptr<ReportDevice> Open(const std::string& path) override {
        auto device = inner_.Open(path);
        if (!device)
            return nullptr;
        return std::make_unique<RecordingDevice>(std::move(device), clock_, faults_, log);
    }
    std::vector<Exchange> log;

private:
    std::shared_ptr<VirtualReader> reader_;
    VirtualReaderBus inner_;
    Clock& clock_;
    HostSideFaults faults_;
};

// The reads in ReaderScript's form, repeats and acknowledgements in their one-byte forms.
std::vector<std::uint8_t> ReaderScriptOf(const std::vector<Exchange>& log) {
    std::vector<std::uint8_t> script;
    Report last{};
    for (const Exchange& exchange : log) {
        if (exchange.write)
            continue;
        switch (exchange.status) {
            case IoStatus::TimedOut:
                script.push_back(0xF0);
                continue;
            case IoStatus::Error:
                script.push_back(0xFC);
                continue;
            case IoStatus::Disconnected:
                script.push_back(0xFE);
                continue;
            case IoStatus::Done:
                break;
        }
        const Report& report = exchange.report;
        const bool onlyCode = report[0] == 0 && report[1] < 0x40 &&
                              std::all_of(report.begin() + 2, report.end() - 1,
                                          [](std::uint8_t b) { return b == 0; }) &&
                              report[8] == static_cast<std::uint8_t>(last[8] + 1);
        if (report == last) {
            script.push_back(0xC0);
        } else if (onlyCode) {
            script.push_back(static_cast<std::uint8_t>(0x80 | report[1]));
        } else {
            script.push_back(0x00);
            script.insert(script.end(), report.begin() + 1, report.end());
        }
        last = report;
    }
    return script;
}

// Byte 0 even, then the emulator's side of the same reads and writes in CheckSocketHost's form,
// up to `limit` bytes.
std::vector<std::uint8_t> SocketHostSeedOf(const std::vector<Exchange>& log, std::size_t limit) {
    std::vector<std::uint8_t> seed{0x00};
    Report last{};
    bool any = false;
    for (const Exchange& exchange : log) {
        if (seed.size() + 10 > limit)
            break;
        if (exchange.write) {
            seed.push_back(0xC0);
            seed.insert(seed.end(), exchange.report.begin() + 1, exchange.report.end());
            continue;
        }
        if (exchange.status == IoStatus::Disconnected) {
            seed.push_back(0xF0);
            break;
        }
        // The device makes up the repeats of a read itself; what a look into the queue finds,
        // repeats included, the emulator sent.
        if (exchange.status == IoStatus::Done &&
            (exchange.poll || !any || exchange.report != last)) {
            seed.push_back(0x08);
            seed.insert(seed.end(), exchange.report.begin(), exchange.report.end());
            last = exchange.report;
            any = true;
        }
        seed.push_back(exchange.poll ? 0xA0 : 0x40);
    }
    return seed;
}

// Byte 0 odd, then the frames the host wrote, up to `limit` bytes.
std::vector<std::uint8_t> SocketServerSeedOf(const std::vector<Exchange>& log, std::size_t limit) {
    std::vector<std::uint8_t> seed{0x01};
    for (const Exchange& exchange : log) {
        if (!exchange.write)
            continue;
        if (seed.size() + exchange.report.size() > limit)
            break;
        seed.insert(seed.end(), exchange.report.begin(), exchange.report.end());
    }
    return seed;
}

// The report_link operations against the virtual reader with the demo card (PIN1 off, so that
// the phone book reads).
std::vector<Exchange> Record(const std::function<void(ReaderFaults&)>& readerFaults,
                             HostSideFaults hostFaults,
                             ReaderTiming timing = ReaderTiming::Instant()) {
    CardImage image;
    QString error;
    if (!ReadCardImageFile(QString::fromLatin1(kDemoCardResource), image, error)) {
        std::fprintf(stderr, "demo card: %s\n", qPrintable(error));
        std::exit(1);
    }
    image.chv1Enabled = false;
    InstantClock clock;
    auto reader = std::make_shared<VirtualReader>(clock, timing);
    reader->InsertCard(VirtualSimCard::FromImage(image, error));
    if (readerFaults)
        readerFaults(reader->Faults());
    RecordingBus bus(reader, clock, hostFaults);
    if (const char* fault = RunReportLinkOperations(bus, clock, nullptr))
        std::fprintf(stderr, "recording: %s\n", fault);
    return bus.log;
}

void Write(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    std::printf("%s: %zu bytes\n", file.c_str(), bytes.size());
}

}  // namespace
}  // namespace pellucard::fuzz

int main(int argc, char** argv) {
    using namespace pellucard;
    using namespace pellucard::fuzz;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path corpus(argv[1]);
    // Cut at the fuzzer's longest input (fuzz/run.sh): past it the reader is silent.
    const auto linkSeed = [&](const char* name, const std::vector<Exchange>& log) {
        auto script = ReaderScriptOf(log);
        script.resize(std::min<std::size_t>(script.size(), 4096));
        Write(corpus / "report_link" / name, script);
    };

    const auto clean = Record({}, {});
    linkSeed("clean_exchange", clean);
    linkSeed("reader_announces_more_than_it_sends",
             Record([](ReaderFaults& f) { f.announcedLength = 40; }, {}));
    linkSeed("data_count_past_the_report", Record([](ReaderFaults& f) { f.dataCount = 9; }, {}));
    linkSeed("silent_stretch", Record({}, {.silentFrom = 60, .silentReads = 40}));
    linkSeed("lost_acknowledgements_and_late_ready", Record(
                                                         [](ReaderFaults& f) {
                                                             f.lostAcknowledgements = 3;
                                                             f.readyLateReads = 20;
                                                         },
                                                         {}));
    linkSeed("unplugged_and_back", Record([](ReaderFaults& f) { f.unplugAfterReports = 150; }, {}));
    linkSeed("read_error", Record({}, {.errorAt = 90}));
    linkSeed("late_acknowledgement",
             Record([](ReaderFaults& f) { f.lateAcknowledgementAfter = 12; }, {}));
    // A pipe that repeats its report every millisecond: the repeats queue while the host pauses.
    ReaderTiming pipe = ReaderTiming::Instant();
    pipe.reportInterval = std::chrono::milliseconds(1);
    const auto queued = Record({}, {}, pipe);
    linkSeed("repeats_queued_while_the_host_pauses", queued);

    Write(corpus / "socket_bus" / "host_clean_exchange", SocketHostSeedOf(clean, 1500));
    Write(corpus / "socket_bus" / "host_repeats_queued", SocketHostSeedOf(queued, 1500));
    Write(corpus / "socket_bus" / "server_clean_exchange",
          SocketServerSeedOf(clean, 1 + 9 * kMaxServedFrames));
    // Frames cut into pieces, a written report, then the end of the stream inside a frame.
    Write(corpus / "socket_bus" / "host_frames_in_pieces",
          {0x00, 0x03, 0x00, 0x1B, 0x00, 0x00, 0x40, 0x04, 0x00, 0x00, 0x00, 0x00, 0x05, 0x40,
           0x40, 0xC0, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x0C, 0x00, 0x00, 0x16,
           0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x07, 0x00, 0x00, 0x40, 0x40, 0xF0, 0x40});
    // A reset command, then the end of the stream inside the next frame.
    Write(corpus / "socket_bus" / "server_stream_ends_inside_a_frame",
          {0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x11, 0x00, 0x00});
    return 0;
}
