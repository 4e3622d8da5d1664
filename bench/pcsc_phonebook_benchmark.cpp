// Benchmark, not a test: reads the whole 250-record phone book of the virtual card through
// pcsc-lite, a pcscd of its own and vsmartcard's vpcd, and prints the time, the APDUs exchanged
// and the time per APDU, for the GSM SIM and the USIM-only card.
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "cli/pcscd_rig.h"
#include "engine/pellucard.h"
#include "platform/pcsc_channel.h"
#include "platform/pcsc_terminal.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr int kRuns = 5;

bool Measure(const PcscdRig& rig, bool uicc) {
    QProcess simulator;
    QString why;
    if (!rig.StartCard(simulator, PELLUCARD_CLI, uicc ? QStringList{"--uicc"} : QStringList{},
                       why)) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return false;
    }
    auto owned =
        std::make_unique<PcscChannel>(std::make_unique<PcscTerminal>("Pellucard Test PCD"));
    PcscChannel& channel = *owned;
    auto engine = std::make_unique<Pellucard>(std::move(owned));
    if (!engine->OpenReader() || !engine->ResetCard().IsDone() ||
        !engine->VerifyPin(1, "1234").IsDone()) {
        std::fprintf(stderr, "the card did not open: %s\n", channel.LastError().c_str());
        EndProcess(simulator);
        return false;
    }
    std::vector<double> times;
    long apdus = 0;
    int records = 0;
    for (int run = 0; run < kRuns; ++run) {
        channel.ResetCounters();
        const auto start = std::chrono::steady_clock::now();
        if (!engine->EnterPhoneBook().IsDone())
            break;
        records = engine->PhoneBookRecordCount();
        for (int slot = 1; slot <= records; ++slot) {
            const CardResult<Bytes> record = engine->ReadPhoneBookRecord(slot);
            if (!record.IsDone() ||
                static_cast<int>(record.value.size()) != engine->PhoneBookRecordLength()) {
                std::fprintf(stderr, "record %d failed\n", slot);
                EndProcess(simulator);
                return false;
            }
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        apdus = channel.Apdus();
    }
    engine.reset();
    EndProcess(simulator);
    rig.WaitForCard(false);
    if (times.size() != kRuns)
        return false;
    std::sort(times.begin(), times.end());
    const double median = times[kRuns / 2];
    std::printf(
        "%-28s %3d records  %7.1f ms (median of %d, best %.1f ms)  %4ld APDUs  %6.1f us/APDU\n",
        uicc ? "USIM-only card (class 00):" : "GSM SIM (class A0):", records, median, kRuns,
        times.front(), apdus, median * 1000.0 / static_cast<double>(apdus));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    PcscdRig rig;
    QString why;
    if (!rig.Start(why)) {
        std::fprintf(stderr, "pcscd with the vpcd driver cannot run here: %s\n", qPrintable(why));
        return 1;
    }
    std::printf("phone book read through pcsc-lite, pcscd and vpcd (the whole file, PIN1 given)\n");
    const bool ok = Measure(rig, false) && Measure(rig, true);
    rig.Stop();
    return ok ? 0 : 1;
}
