#pragma once

class QSettings;
class QSize;
class QWidget;

namespace pellucard {

// The main window's size and place on the screen. The first time it opens maximised on a
// laptop-sized screen, where the record windows need every pixel for their two lists, and at a
// comfortable size on a larger one; after that where the user left it, moved back onto a screen
// when that one has gone.

// Sizes `window` to its preferred size, at most nine tenths of its screen's available area,
// and centres it there: the size it has whenever it is not maximised.
void fitToScreen(QWidget& window);

// Whether the first start maximises the main window on a screen with this available area: one
// that leaves no room around the preferred size.
bool opensMaximised(const QSize& available);

// The place remembered in `settings`, else FitToScreen, maximised where OpensMaximised.
// `settings` may be null.
void restorePlacement(QWidget& window, QSettings* settings);

// Remembers the window's size and place (and whether it was maximised).
void rememberPlacement(const QWidget& window, QSettings* settings);

}  // namespace pellucard
