// pellucard: the desktop program for the USB SIM card reader.
#include <QApplication>
#include <QSettings>
#include <QTimer>

#include <memory>

#include <cstdio>

#include "platform/reader_session.h"
#include "records/dialog_seam.h"
#include "records/program_settings.h"
#include "shell/artwork.h"
#include "shell/command_line.h"
#include "shell/mdi_main.h"
#include "shell/session.h"
#include "shell/single_instance.h"
#include "shell/widget_dialogs.h"
#include "shell/window_factory.h"
#include "shell/window_placement.h"

#include "windows/record_windows.h"

using namespace pellucard;

namespace {

// Waits until the polling has read the card (or a few seconds passed), then saves a picture of
// the main window and ends the program: for documentation made under a virtual X server.
void TakeScreenshotWhenRead(QWidget& window, Session& session, const QString& path) {
    auto* timer = new QTimer(&window);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, &window, [&window, &session, path, timer, waited] {
        *waited += 250;
        const bool read = session.CardInfo.MaxPhoneRecords > 0;
        // One more period after the card was read lets the windows show what was read.
        if ((!read || *waited < 1500) && *waited < 10000)
            return;
        timer->stop();
        if (!window.grab().save(path))
            std::fprintf(stderr, "pellucard: cannot save %s\n", qPrintable(path));
        QApplication::quit();
    });
    timer->start(250);
}

void ShowError(const QString& text) {
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
            std::fputs(qPrintable(ProgramUsage()), stdout);
            return 0;
        }
        if (word == "--version") {
            std::printf("pellucard %s\n", PELLUCARD_VERSION);
            return 0;
        }
    }

    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pellucard"));
    QApplication::setApplicationName(QStringLiteral("pellucard"));
    QApplication::setApplicationVersion(QStringLiteral(PELLUCARD_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("pellucard"));
    QApplication::setWindowIcon(ArtworkIcon(Artwork::SimCard));

    // Qt has taken its own options (-platform, -style ...) out of the arguments by now.
    ProgramOptions options;
    QString error;
    if (!ParseProgramOptions(QApplication::arguments(), options, error)) {
        std::fprintf(stderr, "pellucard: %s\n\n%s", qPrintable(error), qPrintable(ProgramUsage()));
        return 2;
    }

    // A second copy leaves the running one alone and says nothing. Without a place for the lock
    // the program still runs: better two copies than none.
    SingleInstance instance;
    if (instance.Acquire() == SingleInstance::Outcome::HeldByAnother)
        return 0;

    WidgetDialogs dialogs;
    InstallDialogs(&dialogs);
    // The main window's place, the folder last used and the files opened last.
    AttachSettings(std::make_unique<QSettings>());

    const bool virtualReader = options.reader.kind == ReaderChoice::Kind::Virtual;
    std::string why;
    // The virtual reader takes the time a real one takes, so that the demo shows the polling.
    auto reader = OpenReaderSession(options.reader, virtualReader, why);
    if (!reader) {
        ShowError(QString::fromStdString(why));
        UninstallDialogs(&dialogs);
        return 1;
    }
    Session session(std::move(reader));

    WindowFactory factory;
    RegisterShellWindows(factory);
    RegisterRecordWindows(factory);

    int status = 0;
    {
        MDIMain window(session, factory);
        RestorePlacement(window, ProgramSettings());
        window.show();
        window.Load();
        if (options.language != 0)
            window.MenuOption(options.language);
        if (!options.screenshot.isEmpty())
            TakeScreenshotWhenRead(window, session, options.screenshot);
        status = QApplication::exec();
        RememberPlacement(window, ProgramSettings());
    }

    // A card image given on the command line keeps what was written to the virtual card.
    if (!session.Reader().SaveVirtualCard(why))
        ShowError(QString::fromStdString(why));
    UninstallDialogs(&dialogs);
    return status;
}
