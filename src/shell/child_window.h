#pragma once

#include <QWidget>

class QUndoStack;

#include "shell/window_index.h"

namespace pellucard {

class PinDialogLauncher;
class Session;

// Entries of the main window's File menu that the record windows act on.
enum class FileMenuEntry { New, Open, Save, SaveAs, Import, Export };

// Commands of the File menu, carried out by the active record window.
enum class FileCommand { New, Open, Save, SaveAs, ImportComma, ImportTab, ExportComma, ExportTab };

// What the main window offers its child windows.
class ShellHost {
public:
    virtual ~ShellHost() = default;

    virtual Session& currentSession() = 0;
    // The polling timer (pollTimer): a record window stops it around its card-access gate and
    // starts it again afterwards, with 1 ms to have the reader examined at once.
    virtual void stopPolling() = 0;
    virtual void startPolling(int intervalMs) = 0;
    // Starts it again with the period it had.
    virtual void resumePolling() = 0;
    virtual void setFileCommandEnabled(FileMenuEntry entry, bool enabled) = 0;
    // The PIN dialogs, for the information window and the record windows' card-access gate.
    virtual PinDialogLauncher& pinDialogs() = 0;
    // The main window, as parent for dialogs.
    virtual QWidget* mainWidget() = 0;
    // A passing note in the status bar (nothing found, a refused character); it takes no
    // focus and needs no answer.
    virtual void showStatus(const QString& /*text*/) {}
    // Lets the user choose the reader (the information window's Connect SIM Card Reader).
    virtual void openReaderChooser() {}
    // Copies the card in the reader onto another card (the information window's Copy SIM
    // Card).
    virtual void copyCard() {}
};

// A child window of the main window: the SIM card information window (index 6) and the record
// windows (2 personal records, 4 phone book, 5 SMS). The main window creates each on first use
// through the WindowFactory, keeps it in its multiple-document area and calls these hooks.
class ChildWindow : public QWidget {
    Q_OBJECT

public:
    ChildWindow(WindowIndex windowIndex, ShellHost& host, QWidget* parent = nullptr);

    WindowIndex index() const { return windowIndex_; }

    // Reloads every caption from the catalogue in the language in force.
    virtual void changeLanguage() = 0;
    // The window became the active child; it makes itself the session's current window and shows
    // what it displays of the card information. Also called by the polling timer after a card
    // change.
    virtual void activate() = 0;
    // Another child window became the active one.
    virtual void deactivate();
    // The polling timer found a new card or lost one: show the counts of the card information and
    // enable the card commands by the engine's CardPresent. The default re-activates the window.
    virtual void cardChanged();
    // The card gate was taken or let go (a run, a PIN operation, a poll): grey or enable the
    // commands that would reach the card. Does nothing by default.
    virtual void cardRunChanged() {}
    // A File menu command while this window is the current one. Does nothing by default.
    virtual void runFileCommand(FileCommand command);
    // The left panel's print button while this window is the current one. Does nothing by
    // default.
    virtual void printRecords();
    // Opens the cell editor on the first selected record (the Name menu's Edit Phone Record).
    // Does nothing by default.
    virtual void editFirstSelectedRecord() {}
    // The undo history of the window's lists, for the Edit menu; none by default.
    virtual QUndoStack* undoStack() { return nullptr; }

    // Asks about unsaved work before the window closes: true when it may close (the work was
    // saved or the user chose to let it go), false when the user cancelled. The answer holds
    // for the window's next close, so that a program exit asks each window once;
    // ForgetCloseAnswer drops it when the exit was cancelled after all.
    bool confirmClose();
    void forgetCloseAnswer() { closeConfirmed_ = false; }

protected:
    // The window's own question about unsaved work; false when the user cancelled. Windows
    // without documents have nothing to ask.
    virtual bool askAboutUnsavedWork() { return true; }

    // The session and the main window are not part of the window's own state: const members
    // reach them as well.
    ShellHost& host() const { return host_; }
    Session& currentSession() const { return host_.currentSession(); }
    // Closing makes the current window Unloaded. A window that refuses to close (unsaved work)
    // ignores the event and does not call this.
    void closeEvent(QCloseEvent* event) override;

private:
    WindowIndex windowIndex_;
    ShellHost& host_;
    bool closeConfirmed_ = false;
};

}  // namespace pellucard
