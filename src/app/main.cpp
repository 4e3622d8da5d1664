// pellucard: the desktop program for the USB SIM card reader.
#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <memory>

#include <cstdio>

#include "platform/reader_session.h"
#include "platform/virtual_usim_reader.h"
#include "records/dialog_seam.h"
#include "records/program_settings.h"
#include "shell/artwork.h"
#include "shell/command_line.h"
#include "shell/language_choice.h"
#include "shell/main_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/qt_language.h"
#include "shell/reader_chooser.h"
#include "shell/session.h"
#include "shell/single_instance.h"
#include "shell/verify_pin_dialog.h"
#include "shell/widget_dialogs.h"
#include "shell/window_factory.h"
#include "shell/window_placement.h"

#include "windows/record_windows.h"

using namespace pellucard;

namespace {

// Once the polling has identified the card: reads the card's phone book or messages into the
// record window `index`, as the user would with the window's Read button, and answers the PIN1
// dialog that the read asks with `pin`. `done` is set when the read has ended.
void readIntoWindowWhenIdentified(MainWindow& window, Session& session, WindowIndex index,
                                  const QString& pin, std::shared_ptr<bool> done) {
    auto* answer = new QTimer(&window);
    QObject::connect(answer, &QTimer::timeout, &window, [&window, pin] {
        VerifyPinDialog* dialog = window.pinDialogs().openVerifyPin();
        if (dialog == nullptr || !dialog->isVisible())
            return;
        auto* code = dialog->findChild<QLineEdit*>(QStringLiteral("codeField"));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("okButton"));
        if (code != nullptr && ok != nullptr && code->text().isEmpty()) {
            code->setText(pin);
            ok->click();
        }
    });
    auto* start = new QTimer(&window);
    QObject::connect(
        start, &QTimer::timeout, &window, [&window, &session, index, start, answer, done] {
            if (!isKnownAboveZero(session.cardInfo().MaxPhoneRecords) || window.pollBusy())
                return;
            start->stop();
            answer->start(50);
            window.showWindow(index);
            if (ChildWindow* records = window.childWindow(index)) {
                // The read runs here, letting the event loop run after each record.
                if (auto* read = records->findChild<QPushButton*>(QStringLiteral("readButton")))
                    read->click();
            }
            answer->stop();
            *done = true;
        });
    start->start(250);
}

// Waits until the polling has read the card (and `ready` is set), or a while has passed, then
// saves a picture of the main window and ends the program: for documentation made under a
// virtual X server.
void takeScreenshotWhenRead(QWidget& window, Session& session, const QString& path,
                            std::shared_ptr<bool> ready) {
    auto* timer = new QTimer(&window);
    auto waited = std::make_shared<int>(0);
    auto readAt = std::make_shared<int>(-1);
    QObject::connect(
        timer, &QTimer::timeout, &window, [&window, &session, path, timer, waited, readAt, ready] {
            *waited += 250;
            if (*readAt < 0 && isKnownAboveZero(session.cardInfo().MaxPhoneRecords) && *ready)
                *readAt = *waited;
            // One more second after the card was read lets the windows show
            // what was read.
            const bool shown = *readAt >= 0 && *waited >= *readAt + 1000;
            if (!shown && *waited < 120000)
                return;
            timer->stop();
            if (!window.grab().save(path))
                std::fprintf(stderr, "pellucard: cannot save %s\n", qPrintable(path));
            QApplication::quit();
        });
    timer->start(250);
}

void showError(const QString& text) {
    MessageRequest request;
    request.text = text;
    request.icon = DialogIcon::Critical;
    ShowMessage(request);
}

}  // namespace

int main(int argc, char* argv[]) {
    // Help and version need no display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray word(argv[i]);
        if (word == "--help" || word == "-h") {
            std::fputs(qPrintable(programUsage()), stdout);
            return 0;
        }
        if (word == "--version") {
            std::printf("pellucard %s\n", PELLUCARD_VERSION);
            return 0;
        }
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pellucard"));
    QApplication::setApplicationVersion(QStringLiteral(PELLUCARD_VERSION));
    // The desktop entry is named by the AppStream id; Wayland matches windows to it by this name.
    QApplication::setDesktopFileName(QStringLiteral("org.pellucard.Pellucard"));
    QApplication::setWindowIcon(artworkIcon(Artwork::SimCard));

    // Qt has taken its own options (-platform, -style ...) out of the arguments by now.
    ProgramOptions options;
    QString error;
    if (!parseProgramOptions(QApplication::arguments(), options, error)) {
        std::fprintf(stderr, "pellucard: %s\n\n%s", qPrintable(error), qPrintable(programUsage()));
        return 2;
    }

    // A second copy brings the running one forward, hands it the files to open and ends.
    // Without a place for the lock the program still runs: better two copies than none.
    SingleInstance instance;
    if (instance.acquire() == SingleInstance::Outcome::HeldByAnother) {
        if (instance.handOver(options.files, error))
            return 0;
        std::fprintf(stderr, "pellucard: %s\n", qPrintable(error));
        return 1;
    }

    WidgetDialogs dialogs;
    InstallDialogs(&dialogs);
    // The main window's place, the folder last used and the files opened last.
    // (No organisation name: that would move the application data folder of earlier versions.)
    AttachSettings(
        std::make_unique<QSettings>(QStringLiteral("Pellucard"), QStringLiteral("pellucard")));
    // Chosen before anything is shown, so that even a first error speaks the language.
    const int language = startLanguage(options.language, ProgramSettings(), QLocale::system());
    applyQtLanguage(language);

    QString goneReader;
    if (!options.readerGiven)
        options.reader = rememberedReader([] { return ListAvailableReaders(); }, goneReader);
    const bool virtualReader = options.reader.kind == ReaderChoice::Kind::Virtual;
    std::string why;
    // The virtual reader takes the time a real one takes, so that the demo shows the polling;
    // pictures for the documentation need not wait for it.
    auto reader =
        options.usimDemo
            ? OpenVirtualUsimSession({}, why)
            : OpenReaderSession(options.reader, virtualReader && options.screenshot.isEmpty(), why);
    if (!reader) {
        showError(QString::fromStdString(why));
        UninstallDialogs(&dialogs);
        return 1;
    }
    Session session(std::move(reader));
    session.setLanguageIndex(language);

    WindowFactory factory;
    registerShellWindows(factory);
    registerRecordWindows(factory);

    int status = 0;
    {
        MainWindow window(session, factory);
        restorePlacement(window, ProgramSettings());
        // A virtual X server has no window manager to maximise the window: the pictures show it
        // filling the screen as a maximised window does.
        if (!options.screenshot.isEmpty() && window.isMaximized() && window.screen() != nullptr)
            window.setGeometry(window.screen()->availableGeometry());
        window.show();
        window.start();
        QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                         [&window](const QStringList& files) {
                             bringForward(window);
                             for (const QString& file : files)
                                 window.openDocument(file);
                         });
        for (const QString& file : options.files)
            window.openDocument(file);
        window.setReaderChoice(options.reader);
        if (!goneReader.isEmpty())
            window.showStatus(session.text(MessageId::ReaderGoneFallback).arg(goneReader));
        auto recordsRead = std::make_shared<bool>(true);
        if (!options.readPhoneBookPin.isEmpty() || !options.readSmsPin.isEmpty()) {
            *recordsRead = false;
            const bool sms = !options.readSmsPin.isEmpty();
            readIntoWindowWhenIdentified(
                window, session, sms ? WindowIndex::Sms : WindowIndex::PhoneBook,
                sms ? options.readSmsPin : options.readPhoneBookPin, recordsRead);
        }
        if (!options.screenshot.isEmpty())
            takeScreenshotWhenRead(window, session, options.screenshot, recordsRead);
        status = QApplication::exec();
        rememberPlacement(window, ProgramSettings());
    }

    // A card image given on the command line keeps what was written to the virtual card.
    if (!session.reader().SaveVirtualCard(why))
        showError(QString::fromStdString(why));
    UninstallDialogs(&dialogs);
    return status;
}
