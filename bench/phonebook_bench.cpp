// Times reading and writing the phone book of 250 records through the phone book window on
// the virtual reader's realistic profile (a report every millisecond), with the longest time
// the window's event loop went without running; then a read during which the reader goes
// silent for a while; and reading it in process and with pellucard-cli from the simulator on a
// socket. For each it prints the bound the report protocol sets (input reports x report
// interval, plus the command layer's pauses; output reports go out at once) and the ratio of
// the time taken to it.
//
//     phonebook_bench [path of pellucard-cli]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <functional>

#include "engine/hid_report_link.h"
#include "engine/pellucard.h"
#include "platform/reader_session.h"
#include "records/application_folder.h"
#include "records/dialog_seam.h"
#include "shell/card_info.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"
#include "simulator/virtual_reader.h"
#include "windows/phone_book_window.h"

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
    void RunModal(QDialog&) override {}
};

class BenchHost final : public ShellHost {
public:
    explicit BenchHost(Session& session) : session_(session), pins_(session, &main_) {}
    Session& currentSession() override { return session_; }
    void stopPolling() override {}
    void startPolling(int) override {}
    void resumePolling() override {}
    void setFileCommandEnabled(FileMenuEntry, bool) override {}
    PinDialogLauncher& pinDialogs() override { return pins_; }
    QWidget* mainWidget() override { return &main_; }

private:
    Session& session_;
    QWidget main_;
    PinDialogLauncher pins_;
};

void Report(const char* what, double ms, const LinkCounters& counters, double longestGapMs) {
    const double pausesMs = std::chrono::duration<double, std::milli>(counters.pauses).count();
    const double bound = counters.reportsRead * kReportIntervalMs + pausesMs;
    std::printf(
        "%-30s %9.1f ms  reports %5ld (in %5ld)  pauses %7.1f ms  bound %9.1f ms"
        "  ratio %.3f",
        what, ms, counters.Exchanged(), counters.reportsRead, pausesMs, bound,
        bound > 0 ? ms / bound : 0.0);
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

// Runs `work` with the link's counters from zero and reports it, with the longest time between
// two turns of the event loop meanwhile.
void Time(const char* what, HidReportLink& link, const std::function<void()>& work) {
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longestGap = 0;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = last < 0 ? 0 : std::max(longestGap, now - last);
        last = now;
    });
    link.ResetCounters();
    clock.start();
    turns.start(0);
    work();
    Report(what, clock.nsecsElapsed() / 1e6, link.Counters(), longestGap / 1e6);
}

int WindowRuns() {
    std::string error;
    auto reader = OpenReaderSession({ReaderChoice::Kind::Virtual, {}}, true, error);
    if (!reader) {
        std::fprintf(stderr, "no virtual reader: %s\n", error.c_str());
        return 1;
    }
    HidReportLink& link = *reader->link;
    Session session(std::move(reader));
    {
        const auto hold = session.gate().acquire(CardGate::Work::Poll);
        Pellucard& engine = hold->engine();
        if (!findReaderAndCard(session, *hold)) {
            std::fprintf(stderr, "no card answered in the virtual reader\n");
            return 1;
        }
        session.setCardId(
            QString::fromStdString(engine.ReadCardInfo(CardInfoItem::Iccid).value.value_or("")));
        readCardInfo(session, *hold);
        if (!engine.VerifyPin(1, "1234").IsDone()) {
            std::fprintf(stderr, "the card did not take PIN1\n");
            return 1;
        }
        readPinCounters(session, *hold);
    }
    BenchHost host(session);
    PhoneBookWindow window(host);
    window.resize(1000, 700);
    window.show();

    Time("window: read 250 records", link, [&] { window.readCard(); });
    if (window.usedCount(RecordWindow::kSimList) < 1) {
        std::fprintf(stderr, "the read found no records\n");
        return 1;
    }
    Time("window: write 250 records", link, [&] { window.writeToCard(); });

    // A reader that goes silent for a while in the middle of an exchange, after record 100:
    // the link's reads wait 100 ms each, up to 25 a report and 10 sends, and the window must
    // not freeze meanwhile (the timer that ends the silence runs only if it does not).
    VirtualReader& virtualReader = *session.reader().virtualReader;
    auto* bar = window.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    bool silenced = false;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
        if (value != 100 || silenced)
            return;
        silenced = true;
        virtualReader.Faults().silentAfterReports = kSilentAfterReports;
        QTimer::singleShot(kSilenceMs, bar, [&] { virtualReader.Faults().silent = false; });
    });
    const std::string what = "window: read, " + std::to_string(kSilenceMs) + " ms silence";
    Time(what.c_str(), link, [&] { window.readCard(); });
    std::printf("  ended with \"%s\", %ld timed-out reads\n",
                qPrintable(window.findChild<QLabel*>(QStringLiteral("lastReadLabel"))->text()),
                link.Counters().timedOutReads);
    return 0;
}

int CliRuns(const QString& cli) {
    QTemporaryDir folder;
    const QString socket = folder.filePath(QStringLiteral("reader.sock"));
    QProcess simulator;
    simulator.start(cli, {"simulate", "--socket", socket, "--profile", "realistic"});
    if (!simulator.waitForStarted(5000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(cli));
        return 1;
    }
    for (int i = 0; i < 200 && !QFile::exists(socket); ++i)
        QThread::msleep(10);

    // The same work in process, on the same simulator, counted by the link: its counters are
    // the bound of the tool's run too, which exchanges the same reports.
    std::string error;
    auto reader =
        OpenReaderSession({ReaderChoice::Kind::Socket, socket.toStdString()}, false, error);
    if (!reader) {
        std::fprintf(stderr, "no socket reader: %s\n", error.c_str());
        return 1;
    }
    Pellucard& engine = *reader->engine;
    QElapsedTimer clock;
    reader->link->ResetCounters();
    clock.start();
    const bool engineRead = ReadPhoneBook(engine);
    const double engineMs = clock.nsecsElapsed() / 1e6;
    const LinkCounters counters = reader->link->Counters();
    engine.CloseReader();
    reader.reset();  // the simulator serves one host at a time
    if (!engineRead)
        std::fprintf(stderr, "the engine could not read the phone book\n");
    Report("engine on the socket: read", engineMs, counters, -1);

    QProcess read;
    clock.restart();
    read.start(cli,
               {"--reader", "socket:" + socket, "--pin", "1234", "--json", "phonebook", "read"});
    read.waitForFinished(120000);
    Report("pellucard-cli phonebook read", clock.nsecsElapsed() / 1e6, counters, -1);
    if (read.exitCode() != 0)
        std::fprintf(stderr, "pellucard-cli failed: %s\n", read.readAllStandardError().constData());
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
    if (status == 0)
        status = CliRuns(argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QStringLiteral(PELLUCARD_CLI_PATH));
    UninstallDialogs(&dialogs);
    SetApplicationFolder({});
    return status;
}
