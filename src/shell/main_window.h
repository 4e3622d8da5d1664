#pragma once

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "platform/reader_list.h"
#include "shell/card_gate.h"
#include "shell/child_window.h"

class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QUndoGroup;

namespace pellucard {

class AboutDialog;
class ButtonPanel;
class DemoControls;
class HelpWindow;
class EditCommands;
class PinDialogLauncher;
class ReaderChooser;
class Session;
class WindowFactory;

// Gives `action` the platform's keys for `key`, and `fallback` too when the platform binds
// none to it or binds others (F3 for Find Next wherever the platform knows another key).
void setStandardKeys(QAction* action, QKeySequence::StandardKey key,
                     const QKeySequence& fallback = {});

// How often pollTimer polls, in milliseconds: while no card is identified, and once one is.
struct PollPeriods {
    int searching = 250;
    int identified = 5000;
};

// The main window: a multiple-document frame with the menus, the left button panel that
// switches between the child windows, and pollTimer, which polls the reader and the card and
// keeps the session's card information and the card commands up to date.
class MainWindow final : public QMainWindow, public ShellHost {
    Q_OBJECT

public:
    MainWindow(Session& session, const WindowFactory& factory, PollPeriods periods = {},
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Captions the window, opens the SIM card information window, looks for the reader and the
    // card and starts polling. Call once the window is shown.
    void start();

    // Selects child window `index` (window_index); while a poll runs the request waits for
    // its end.
    void showWindow(WindowIndex index);
    // One poll of the reader and the card.
    void pollReader();
    // Called when the polling found the reader or lost it. The record windows' View entries and
    // the left panel's buttons stay available either way: only the card commands wait for a
    // reader and a card (UpdateCardCommands).
    void setReaderFound(bool enabled);
    // Enables the File menu's card commands while a card answers and no run holds it.
    void updateCardCommands();
    // The status bar says what is missing for card work: the reader, or the card.
    void showReaderState();
    // Puts language `index` (0 English ... 7 Spanish) in force: checks its language entry,
    // re-captions every window and switches Qt's own texts and the sorting with it.
    void chooseLanguage(int index);
    // The user's choice in the Language menu: chooseLanguage, remembered for the next start.
    void languageChosenByUser(int index);
    void changeLanguage();
    void showHelp();
    void showAbout();
    // File menu: reads every phone book and SMS record of the card into a backup file, and
    // writes a backup back to the card after asking (twice when it is another card or the
    // card's files are smaller), reading each record back to check it. Each holds the card for
    // its whole run.
    void backUpCard();
    void restoreCard();
    // The information window's Copy SIM Card: reads this card whole, asks for the other card,
    // says what does not fit onto it, writes it and reads every record back, holding the card
    // for the whole run.
    void copyCard() override;
    // Opens a record file named on a command line (this start's or a later one's) in the
    // window for its kind: the one that last opened it, else the SMS window for ".sms" and the
    // phone book window for ".SPB". Waits while a poll, card work or a dialog is under way.
    void openDocument(const QString& path);

    // The reader the session talks to, shown in the status bar; main() tells it at the start.
    void setReaderChoice(const ReaderChoice& choice);
    const ReaderChoice& readerChoice() const { return readerChoice_; }
    // File > Setting Com Port and the information window's Connect SIM Card Reader: opens the
    // reader chooser (without blocking); the reader chosen there is opened at once and
    // remembered.
    ReaderChooser* chooseReader();
    // Opens `choice` in place of the session's reader and remembers it in the program settings.
    // False, with the reader in use kept, while card work runs or when it cannot be opened.
    bool applyReaderChoice(const ReaderChoice& choice);
    // Where the chooser's list comes from (tests give their own); the system's readers unless
    // set.
    void setReaderLister(std::function<std::vector<AvailableReader>()> lister) {
        readerLister_ = std::move(lister);
    }

    bool pollBusy() const { return pollBusy_; }
    WindowIndex pendingWindow() const { return pendingWindow_; }
    QTimer* pollTimer() const { return timer_; }
    QMdiArea* mdiArea() const { return mdi_; }
    ButtonPanel* leftPanel() const { return panel_; }
    DemoControls* demoControls() const { return demo_; }
    // The child window of `index` if it is loaded.
    ChildWindow* childWindow(WindowIndex index) const;
    // The help window and the About box while they are open, else nullptr.
    HelpWindow* help() const;
    AboutDialog* about() const;

    // ShellHost
    Session& currentSession() override { return session_; }
    void stopPolling() override;
    void startPolling(int intervalMs) override;
    void resumePolling() override;
    void setFileCommandEnabled(FileMenuEntry entry, bool enabled) override;
    PinDialogLauncher& pinDialogs() override { return *pinDialogs_; }
    QWidget* mainWidget() override { return this; }
    void showStatus(const QString& text) override;
    void openReaderChooser() override { chooseReader(); }

    // The undo history the Edit menu acts on: the active record window's.
    QUndoGroup* undoGroup() const { return undoGroup_; }

protected:
    // Refused while card work runs; the timer completes it once the work has ended.
    void closeEvent(QCloseEvent* event) override;

    // Asks every child window about its unsaved work; false, with every answer forgotten,
    // when the user cancelled one of the questions.
    bool confirmCloseChildren();

private:
    void createMenus();
    void createFileMenu();
    void createEditMenu();
    // Copy, Paste, Delete, Find and Find Next, acting on the active record window.
    void createEditCommands(QMenu* edit);
    // The Edit menu's record commands are available while a window with records is active.
    void updateEditCommands();
    void createViewMenu();
    void createHelpMenu();
    void createNameMenu();
    void runFileCommand(FileCommand command);
    // The card is identified and PIN1 lets its files be read (the PIN dialog is offered once).
    bool cardOpenForRun(CardGate::Hold& hold);
    void runBackup(const QString& path, CardGate::Hold& hold);
    void runRestore(const QString& path, CardGate::Hold& hold);
    bool showChildWindow(WindowIndex index);
    void minimiseChildWindow(WindowIndex index);
    void refreshCurrentWindow();
    void onSubWindowActivated(QMdiSubWindow* subWindow);
    void showReaderChoice();
    // The File menu's list of the files opened last.
    void showRecentFiles();
    // Opens a file of that list in the window that opened it before.
    void openRecentFile(const QString& path, int storedWindowIndex);
    // Points the Edit menu at the history of `window` (none for a window without one).
    void followUndoStack(ChildWindow* window);

    Session& session_;
    const WindowFactory& factory_;
    PollPeriods periods_;
    bool pollBusy_ = false;
    WindowIndex pendingWindow_ = WindowIndex::None;

    QMdiArea* mdi_;
    ButtonPanel* panel_;
    QTimer* timer_;
    QLabel* readerState_ = nullptr;
    // Owned here: it closes its dialogs while the frame still stands.
    std::unique_ptr<PinDialogLauncher> pinDialogs_;
    DemoControls* demo_ = nullptr;
    std::map<WindowIndex, QPointer<QMdiSubWindow>> windows_;
    QPointer<ChildWindow> activeChild_;
    QPointer<HelpWindow> help_;
    QPointer<AboutDialog> about_;

    // Menus and entries that change state or caption; named as the controls they are.
    std::map<FileMenuEntry, QAction*> fileEntries_;
    QActionGroup* languages_ = nullptr;
    QUndoGroup* undoGroup_ = nullptr;
    std::array<QAction*, 8> languageEntries_{};
    std::vector<std::pair<QAction*, MessageId>>
        captions_;  // entry (or a menu's action), message id
    QMenu* recentFiles_ = nullptr;
    std::vector<QAction*> editCommands_;  // the entries of createEditCommands

    ReaderChoice readerChoice_{ReaderChoice::Kind::Auto, {}};
    QLabel* readerChoiceLabel_ = nullptr;
    QPointer<ReaderChooser> chooser_;
    std::function<std::vector<AvailableReader>()> readerLister_;
};

}  // namespace pellucard
