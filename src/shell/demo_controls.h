#pragma once

#include <QObject>

#include <functional>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;

namespace pellucard {

class Session;

// With the built-in virtual reader the program cannot be shown a real card, so the main window
// gets a menu of its own to pull the card out, put it back, load another card image and unplug
// the reader, and a quiet mark in the status bar that says the card is virtual. Each change is
// followed by an immediate poll, so the windows show at once what the polling makes of it.
class DemoControls final : public QObject {
    Q_OBJECT

public:
    DemoControls(Session& session, QMainWindow& window, std::function<void()> pollNow);

    void removeCard();
    void insertCard();
    // Asks for a card image through the dialog seam and puts it in the reader.
    void loadCardImage();
    void unplug();
    void plug();
    // Captions the menu and the status bar mark in the session's language.
    void changeLanguage();

    QMenu* menu() const { return menu_; }
    QLabel* mark() const { return mark_; }

private:
    void showState();

    Session& session_;
    std::function<void()> pollNow_;
    QMenu* menu_;
    QAction* remove_;
    QAction* insert_;
    QAction* load_;
    QAction* unplug_;
    QAction* plug_;
    QLabel* mark_;
};

}  // namespace pellucard
