// Times reading and writing the phone book of 250 records through the phone book window on
// the virtual reader's realistic profile (a report every millisecond), with the longest time
// the window's event loop went without running; then a read during which the reader goes
// silent for a while; and reading it with
// pellucard-cli from the simulator on a socket. For each it prints the lower bound the report
// protocol sets (reports exchanged x report interval, plus the command layer's pauses) and
// the ratio of the time taken to it.
//
//     phonebook_bench [path of pellucard-cli]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>

#include "engine/hid_report_link.h"
#include "engine/pellucard.h"
#include "platform/reader_session.h"
#include "platform/virtual_reader.h"
#include "records/application_folder.h"
#include "records/dialog_seam.h"
#include "shell/card_info.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"
#include "windows/sim_rec.h"

using namespace pellucard;

namespace {

constexpr double kReportIntervalMs = 1.0;  // the realistic profile's report interval
constexpr int kSilentAfterReports = 8;     // the reader goes silent within record 101's read
constexpr int kSilenceMs = 3000;           // for this long

// Says Yes to every question.
class YesDialogs final : public DialogSeam {
public:
    DialogAnswer ShowMessage(const MessageRequest& request) override {
        return request.buttons == DialogButtons::YesNo ? DialogAnswer::Yes : DialogAnswer::Ok;
    }
    QString ChooseOpenFileName(const FileRequest&) override { return {}; }
    QString ChooseSaveFileName(const FileRequest&) override { return {}; }
};

class BenchHost final : public ShellHost {
public:
    explicit BenchHost(Session& session) : session_(session), pins_(session, &main_) {}
    Session& CurrentSession() override { return session_; }
    void StopPolling() override {}
    void StartPolling(int) override {}
    void ResumePolling() override {}
    void SetFileCommandEnabled(FileMenuEntry, bool) override {}
    PinDialogLauncher& PinDialogs() override { return pins_; }
    QWidget* MainWidget() override { return &main_; }

private:
    Session& session_;
    QWidget main_;
    PinDialogLauncher pins_;
};

// The longest time between two turns of the event loop while a run works.
class Responsiveness {
public:
    Responsiveness() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            if (last_ >= 0)
                longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
    }
    void Start() {
        longest_ = 0;
        last_ = -1;
        clock_.start();
        timer_.start();
    }
    double StopMs() {
        timer_.stop();
        return longest_ / 1e6;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
};

double LowerBoundMs(const LinkCounters& counters) {
    return counters.Exchanged() * kReportIntervalMs +
           std::chrono::duration<double, std::milli>(counters.pauses).count();
}

void Print(const char* what, double ms, const LinkCounters& counters, double longestGapMs) {
    const double bound = LowerBoundMs(counters);
    // Output reports go out at once; only the reader's input reports wait for their interval.
    const double inputBound = counters.reportsRead * kReportIntervalMs +
                              std::chrono::duration<double, std::milli>(counters.pauses).count();
    std::printf(
        "%-30s %9.1f ms  reports %5ld (in %5ld)  pauses %7.1f ms  lower bound %9.1f ms  "
        "ratio %.3f  (input reports only: %9.1f ms, ratio %.3f)",
        what, ms, counters.Exchanged(), counters.reportsRead,
        std::chrono::duration<double, std::milli>(counters.pauses).count(), bound,
        bound > 0 ? ms / bound : 0.0, inputBound, inputBound > 0 ? ms / inputBound : 0.0);
    if (longestGapMs >= 0)
        std::printf("   longest event-loop gap %.1f ms", longestGapMs);
    std::printf("\n");
}

// Opens the card and reads every phone book record; false at the first step that fails.
bool ReadPhoneBook(Pellucard& engine) {
    if (!engine.OpenReader() || !engine.ResetCard().IsDone() ||
        !engine.VerifyPin(1, "1234").IsDone() || !engine.EnterPhoneBook().IsDone())
        return false;
    for (int n = 1; n <= engine.PhoneBookRecordCount(); ++n) {
        if (!engine.ReadPhoneBookRecord(n).IsDone())
            return false;
    }
    return true;
}

int WindowRuns() {
    ReaderChoice choice;
    choice.kind = ReaderChoice::Kind::Virtual;
    std::string error;
    auto reader = OpenReaderSession(choice, true, error);
    if (!reader) {
        std::fprintf(stderr, "no virtual reader: %s\n", error.c_str());
        return 1;
    }
    HidReportLink* link = reader->link;
    Session session(std::move(reader));
    {
        const auto hold = session.Gate().Acquire(CardGate::Work::Poll);
        Pellucard& engine = hold->Engine();
        if (!FindReaderAndCard(session, *hold)) {
            std::fprintf(stderr, "no card answered in the virtual reader\n");
            return 1;
        }
        session.CardInfo.CardId =
            QString::fromStdString(engine.ReadCardInfo(CardInfoItem::Iccid).value.value_or(""));
        FindCardInf(session, *hold);
        if (!engine.VerifyPin(1, "1234").IsDone()) {
            std::fprintf(stderr, "the card did not take PIN1\n");
            return 1;
        }
        ReadPinCounters(session, *hold);
    }

    BenchHost host(session);
    SimRec window(host);
    window.resize(1000, 700);
    window.show();
    Responsiveness loop;

    link->ResetCounters();
    QElapsedTimer clock;
    loop.Start();
    clock.start();
    window.Connectosim_Click();
    const double readMs = clock.nsecsElapsed() / 1e6;
    const double readGap = loop.StopMs();
    if (window.UsedCount(RecordWindow::kSimList) < 1) {
        std::fprintf(stderr, "the read found no records\n");
        return 1;
    }
    Print("window: read 250 records", readMs, link->Counters(), readGap);

    link->ResetCounters();
    loop.Start();
    clock.restart();
    window.CmdSaveSim_Click();
    const double writeMs = clock.nsecsElapsed() / 1e6;
    Print("window: write 250 records", writeMs, link->Counters(), loop.StopMs());

    // A reader that goes silent for a while in the middle of an exchange, after record 100:
    // the link's reads wait 100 ms each, up to 25 a report and 10 sends, and the window must
    // not freeze meanwhile (the timer that ends the silence runs only if it does not).
    VirtualReader& virtualReader = *session.Reader().virtualReader;
    auto* bar = window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    bool silenced = false;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
        if (value != 100 || silenced)
            return;
        silenced = true;
        virtualReader.Faults().silentAfterReports = kSilentAfterReports;
        QTimer::singleShot(kSilenceMs, bar,
                           [&virtualReader] { virtualReader.Faults().silent = false; });
    });
    link->ResetCounters();
    loop.Start();
    clock.restart();
    window.Connectosim_Click();
    const double silentMs = clock.nsecsElapsed() / 1e6;
    const double silentGap = loop.StopMs();
    const QString ending = window.findChild<QLabel*>(QStringLiteral("LNowRec"))->text();
    char what[64];
    std::snprintf(what, sizeof what, "window: read, %d ms silence", kSilenceMs);
    Print(what, silentMs, link->Counters(), silentGap);
    std::printf("  ended with \"%s\", %ld timed-out reads\n", qPrintable(ending),
                link->Counters().timedOutReads);
    return 0;
}

int CliRun(const QString& cli) {
    QTemporaryDir folder;
    const QString socket = folder.filePath(QStringLiteral("reader.sock"));
    QProcess simulator;
    simulator.start(cli, {QStringLiteral("simulate"), QStringLiteral("--socket"), socket,
                          QStringLiteral("--profile"), QStringLiteral("realistic")});
    if (!simulator.waitForStarted(5000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(cli));
        return 1;
    }
    for (int i = 0; i < 200 && !QFile::exists(socket); ++i)
        QThread::msleep(10);

    // The lower bound: the same work in process, on the same simulator, counted by the link.
    ReaderChoice choice{ReaderChoice::Kind::Socket, socket.toStdString()};
    std::string error;
    auto reader = OpenReaderSession(choice, false, error);
    if (!reader) {
        std::fprintf(stderr, "no socket reader: %s\n", error.c_str());
        return 1;
    }
    Pellucard& engine = *reader->engine;
    reader->link->ResetCounters();
    QElapsedTimer clock;
    clock.start();
    const bool engineRead = ReadPhoneBook(engine);
    const double engineMs = clock.nsecsElapsed() / 1e6;
    const LinkCounters counters = reader->link->Counters();
    engine.CloseReader();
    if (!engineRead)
        std::fprintf(stderr, "the engine could not read the phone book\n");
    reader.reset();
    Print("engine on the socket: read", engineMs, counters, -1);

    QProcess read;
    clock.restart();
    read.start(cli, {QStringLiteral("--reader"), QStringLiteral("socket:") + socket,
                     QStringLiteral("--pin"), QStringLiteral("1234"), QStringLiteral("--json"),
                     QStringLiteral("phonebook"), QStringLiteral("read")});
    read.waitForFinished(120000);
    const double cliMs = clock.nsecsElapsed() / 1e6;
    if (read.exitCode() != 0)
        std::fprintf(stderr, "pellucard-cli failed: %s\n", read.readAllStandardError().constData());
    Print("pellucard-cli phonebook read", cliMs, counters, -1);
    simulator.terminate();
    simulator.waitForFinished(5000);
    return read.exitCode() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication application(argc, argv);
    QTemporaryDir folder;
    SetApplicationFolder(folder.path());
    EnsureApplicationFolder();
    YesDialogs dialogs;
    InstallDialogs(&dialogs);

    std::printf("Phone book of 250 records, realistic reader profile (a report every %.0f ms)\n",
                kReportIntervalMs);
    int status = WindowRuns();
    const QString cli =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(PELLUCARD_CLI_PATH);
    if (status == 0)
        status = CliRun(cli);
    UninstallDialogs(&dialogs);
    SetApplicationFolder({});
    return status;
}
