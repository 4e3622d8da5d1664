#pragma once

class QSettings;
class QWidget;

namespace pellucard {

// The main window's size and place on the screen. The first time it opens at a size that
// leaves room around it on the screen it opens on; after that where the user left it, moved
// back onto a screen when that one has gone.

// Sizes `window` to fit its screen's available area and centres it there.
void fitToScreen(QWidget& window);

// The place remembered in `settings`, else FitToScreen. `settings` may be null.
void restorePlacement(QWidget& window, QSettings* settings);

// Remembers the window's size and place (and whether it was maximised).
void rememberPlacement(const QWidget& window, QSettings* settings);

}  // namespace pellucard
