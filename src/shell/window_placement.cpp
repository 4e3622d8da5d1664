#include "shell/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QWidget>

namespace pellucard {
namespace {

const QString kPlacementKey = QStringLiteral("MainWindow/geometry");

// Room enough for the record windows' two lists side by side in every language; a smaller
// screen gets nine tenths of its area.
constexpr QSize kPreferredSize(1280, 820);

}  // namespace

void fitToScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        window.resize(kPreferredSize);
        return;
    }
    const QRect available = screen->availableGeometry();
    const QSize size = kPreferredSize.boundedTo(available.size() * 9 / 10);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
}

void restorePlacement(QWidget& window, QSettings* settings) {
    const QByteArray placement =
        settings != nullptr ? settings->value(kPlacementKey).toByteArray() : QByteArray();
    // restoreGeometry brings a window that would lie off every screen back onto one.
    if (placement.isEmpty() || !window.restoreGeometry(placement))
        fitToScreen(window);
}

void rememberPlacement(const QWidget& window, QSettings* settings) {
    if (settings == nullptr)
        return;
    settings->setValue(kPlacementKey, window.saveGeometry());
    settings->sync();
}

}  // namespace pellucard
