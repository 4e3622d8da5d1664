// The main window's first size on the laptop screens people have most: the whole screen where
// the two lists want more room than it has, else a window with room around it; a size the user
// chose comes back.
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "shell/main_window.h"
#include "shell/window_placement.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// What a desktop takes of the screen's height: a panel and the window's title bar.
constexpr int kDesktopAllowance = 70;

}  // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void theMainWindowFirstFillsALaptopScreen();
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

QTEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
