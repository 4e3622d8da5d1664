// Every window and dialog on the two laptop screens people have most, in each of the eight
// languages: at 1280x800 every control lies wholly in sight and keeps its whole caption; at
// 1024x600 every control can still be reached, in sight or inside a scroll area that scrolls to
// it; the two lists of a record window stand level.
#include <QApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "catalogue/catalogue.h"
#include "records/record_list.h"
#include "shell/about_dialog.h"
#include "shell/change_pin_dialog.h"
#include "shell/main_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/pin_lock_dialog.h"
#include "shell/print_records_dialog.h"
#include "shell/reader_chooser.h"
#include "shell/verify_pin_dialog.h"
#include "shell/window_placement.h"
#include "support/layout_checks.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/export_dialog.h"
#include "windows/record_exchange.h"
#include "windows/wrapping_row.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// What a desktop takes of the screen's height: a panel and the window's title bar.
constexpr int kDesktopAllowance = 70;

std::vector<AvailableReader> someReaders() {
    return {{{ReaderChoice::Kind::Auto, {}}, {}, true, false},
            {{ReaderChoice::Kind::Hid, {}}, {}, false, false},
            {{ReaderChoice::Kind::Pcsc, "Generic USB Smart Card Reader with a Long Name 00 00"},
             "Generic USB Smart Card Reader with a Long Name 00 00",
             true,
             true},
            {{ReaderChoice::Kind::Virtual, {}}, {}, true, false}};
}

class Findings {
public:
    Findings(QSize area, bool whole) : area_(area), whole_(whole) {}

    // A window inside the main window, measured in the main window, whose panel, menus and
    // status bar share the room.
    void checkInside(QWidget* main, QWidget* window, const QString& where) {
        QCoreApplication::processEvents();
        if (window == nullptr)
            return add(where, {QStringLiteral("not shown")});
        add(where, CaptionsCutOff(window) + ControlsOutOfSight(main, !whole_));
    }

    // A dialog of its own, as the desktop shows it: no bigger than the screen.
    void checkDialog(QWidget* dialog, const QString& where) {
        if (dialog == nullptr)
            return add(where, {QStringLiteral("not shown")});
        dialog->show();
        dialog->resize(dialog->size().boundedTo(area_));
        QCoreApplication::processEvents();
        add(where, CaptionsCutOff(dialog) + ControlsOutOfSight(dialog, !whole_));
    }

    void add(const QString& where, const QStringList& found) {
        for (const QString& problem : found) {
            if (!problems_.contains(where + ": " + problem))
                problems_ << where + ": " + problem;
        }
    }
    const QStringList& problems() const { return problems_; }

private:
    QSize area_;
    bool whole_;
    QStringList problems_;
};

}  // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void theMainWindowFirstFillsALaptopScreen();
    void everyWindowFitsTheScreen_data();
    void everyWindowFitsTheScreen();
};

void WindowFitTest::theMainWindowFirstFillsALaptopScreen() {
    // Less room than the two lists want: the whole screen. More: a window with room around it.
    QVERIFY(opensMaximised(QSize(1280, 800 - kDesktopAllowance)));
    QVERIFY(opensMaximised(QSize(1024, 600 - kDesktopAllowance)));
    QVERIFY(!opensMaximised(QSize(1920, 1080 - kDesktopAllowance)));

    ShellRig rig;
    const QSize available = rig.main->screen()->availableGeometry().size();
    MainWindow first(*rig.session, rig.factory, kTestPeriods);
    restorePlacement(first, nullptr);
    QCOMPARE(first.isMaximized(), opensMaximised(available));
    // Where the user made it smaller, it comes back smaller.
    QTemporaryDir folder;
    QSettings settings(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    first.setWindowState(Qt::WindowNoState);
    first.resize(600, 450);
    rememberPlacement(first, &settings);
    MainWindow again(*rig.session, rig.factory, kTestPeriods);
    restorePlacement(again, &settings);
    QVERIFY(!again.isMaximized());
    QCOMPARE(again.size(), QSize(600, 450));
}

void WindowFitTest::everyWindowFitsTheScreen_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QSize>("screen");
    for (const QSize screen : {QSize(1280, 800), QSize(1024, 600)}) {
        for (int k = 0; k < kLanguageCount; ++k) {
            const QString row = QStringLiteral("%1 %2x%3")
                                    .arg(Message(kLanguageNames[k], 0))
                                    .arg(screen.width())
                                    .arg(screen.height());
            QTest::newRow(qPrintable(row)) << k << screen;
        }
    }
}

void WindowFitTest::everyWindowFitsTheScreen() {
    QFETCH(int, language);
    QFETCH(QSize, screen);
    const bool whole = screen.width() >= 1280;
    const QSize area(screen.width(), screen.height() - kDesktopAllowance);
    ShellRig rig(ShellRig::Start::CardIn, kTestPeriods, registerRecordWindows);
    MainWindow& main = *rig.main;
    rig.TickUntilIdentified();
    main.chooseLanguage(language);
    main.resize(area);
    QCoreApplication::processEvents();
    Findings findings(area, whole);
    if (main.size() != area)
        findings.add("main window",
                     {QStringLiteral("is %1x%2").arg(main.width()).arg(main.height())});
    findings.add("main window", MenusOutOfSight(main.menuBar()));
    findings.add("main window", CaptionsCutOff(&main));

    for (WindowIndex index : {WindowIndex::CardInfo, WindowIndex::PhoneBook, WindowIndex::Sms,
                              WindowIndex::PersonalRecords}) {
        main.showWindow(index);
        findings.checkInside(&main, main.childWindow(index),
                             QStringLiteral("window %1").arg(static_cast<int>(index)));
    }

    // The two lists of a record window stand level, whichever side's buttons wrap.
    for (WindowIndex index : {WindowIndex::PhoneBook, WindowIndex::Sms}) {
        main.showWindow(index);
        QCoreApplication::processEvents();
        auto* window = qobject_cast<RecordWindow*>(main.childWindow(index));
        QVERIFY(window != nullptr);
        const QRect sim(window->grid(RecordWindow::kSimList)->mapTo(window, QPoint(0, 0)),
                        window->grid(RecordWindow::kSimList)->size());
        const QRect computer(window->grid(RecordWindow::kComputerList)->mapTo(window, QPoint(0, 0)),
                             window->grid(RecordWindow::kComputerList)->size());
        if (sim.top() != computer.top() || sim.bottom() != computer.bottom())
            findings.add(QStringLiteral("window %1").arg(static_cast<int>(index)),
                         {QStringLiteral("the lists stand at %1-%2 and %3-%4")
                              .arg(sim.top())
                              .arg(sim.bottom())
                              .arg(computer.top())
                              .arg(computer.bottom())});
    }

    PinDialogLauncher& pins = main.pinDialogs();
    findings.checkDialog(pins.showInputPin(0, 0), "PIN lock dialog");
    findings.checkDialog(pins.showChangePin(1, 1), "change PIN dialog");
    findings.checkDialog(pins.showVerifyPin(1), "verify PIN dialog");
    pins.closeAll();
    main.showAbout();
    findings.checkDialog(main.about(), "About");

    main.setReaderLister(someReaders);
    findings.checkDialog(main.chooseReader(), "reader chooser");
    main.chooseReader()->reject();

    RecordList list(3, 27);
    PrintRecordsDialog printer(&main);
    printer.changeLanguage(language);
    printer.setRecords(list, 2, 27);
    findings.checkDialog(&printer, "print dialog");
    printer.close();

    rig.dialogs.RunModalWith([&findings](QDialog& dialog) {
        findings.checkDialog(&dialog, dialog.metaObject()->className());
    });
    ExportRequest exportRequest;
    exportRequest.list = &list;
    exportRequest.usedCount = 2;
    exportRequest.columnCount = 27;
    exportRequest.parent = &main;
    exportRequest.languageIndex = language;
    showExportDialog(exportRequest);

    rig.dialogs.RunModalWith(nullptr);

    for (const QString& problem : findings.problems())
        qWarning().noquote() << problem;
    QVERIFY2(findings.problems().isEmpty(), "windows that do not fit (listed above)");
}

QTEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
