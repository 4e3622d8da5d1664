#include "shell/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QWidget>

namespace pellucard {
namespace {

const QString kPlacementKey = QStringLiteral("MainWindow/geometry");

// Room enough for the record windows' two lists side by side with their buttons on one line
// in every language.
constexpr QSize kPreferredSize(1280, 800);
// What a window at the preferred size should leave around it: its frame, a desktop panel and a
// glimpse of the desktop. A screen with less room is better used whole.
constexpr QSize kRoomAround(160, 100);

QScreen* screenOf(const QWidget& window) {
    return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

}  // namespace

void fitToScreen(QWidget& window) {
    QScreen* screen = screenOf(window);
    if (screen == nullptr) {
        window.resize(kPreferredSize);
        return;
    }
    const QRect available = screen->availableGeometry();
    const QSize size = kPreferredSize.boundedTo(available.size() * 9 / 10);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
}

bool opensMaximised(const QSize& available) {
    const QSize wanted = kPreferredSize + kRoomAround;
    return available.width() < wanted.width() || available.height() < wanted.height();
}

void restorePlacement(QWidget& window, QSettings* settings) {
    const QByteArray placement =
        settings != nullptr ? settings->value(kPlacementKey).toByteArray() : QByteArray();
    // restoreGeometry brings a window that would lie off every screen back onto one.
    if (!placement.isEmpty() && window.restoreGeometry(placement))
        return;
    fitToScreen(window);
    QScreen* screen = screenOf(window);
    if (screen != nullptr && opensMaximised(screen->availableGeometry().size()))
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void rememberPlacement(const QWidget& window, QSettings* settings) {
    if (settings == nullptr)
        return;
    settings->setValue(kPlacementKey, window.saveGeometry());
    settings->sync();
}

}  // namespace pellucard
