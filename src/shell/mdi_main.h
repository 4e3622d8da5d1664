#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
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
class PinDialogLauncher;
class Session;
class WindowFactory;

// How often Timer1 polls, in milliseconds: while no card is identified, and once one is.
struct PollPeriods {
    int searching = 250;
    int identified = 5000;
};

// The main window: a multiple-document frame with the menus, the left button panel that
// switches between the child windows, and Timer1, which polls the reader and the card and
// keeps the session's card information and the card commands up to date.
class MDIMain final : public QMainWindow, public ShellHost {
    Q_OBJECT

public:
    MDIMain(Session& session, const WindowFactory& factory, PollPeriods periods = {},
            QWidget* parent = nullptr);
    ~MDIMain() override;

    // Captions the window, opens the SIM card information window, looks for the reader and the
    // card and starts polling. Call once the window is shown.
    void Load();

    // Selects child window `index` (window_index); while a poll runs the request waits for
    // its end.
    void Command1_Click(WindowIndex index);
    // One poll of the reader and the card.
    void Timer1_Timer();
    // Called when the polling found the reader or lost it. The record windows' View entries and
    // the left panel's buttons stay available either way: only the card commands wait for a
    // reader and a card (UpdateCardCommands).
    void DisableProgram(bool enabled);
    // Enables the File menu's card commands while a card answers and no run holds it.
    void UpdateCardCommands();
    // The status bar says what is missing for card work: the reader, or the card.
    void ShowReaderState();
    // Chooses language entry `index` (0 English ... 7 Spanish) and re-captions every window.
    void MenuOption(int index);
    void ChangeLanguage();
    void MDIHelpAbout_Click();
    void MDIAbout_Click();
    // File menu: reads every phone book and SMS record of the card into a backup file, and
    // writes a backup back to the card after asking (twice when it is another card or the
    // card's files are smaller), reading each record back to check it. Each holds the card for
    // its whole run.
    void MDIBackup_Click();
    void MDIRestore_Click();

    bool PollBusy() const { return pollBusy_; }
    WindowIndex PendingWindow() const { return pendingWindow_; }
    QTimer* Timer1() const { return timer_; }
    QMdiArea* MdiArea() const { return mdi_; }
    ButtonPanel* LeftPanel() const { return panel_; }
    DemoControls* Demo() const { return demo_; }
    // The child window of `index` if it is loaded.
    ChildWindow* Window(WindowIndex index) const;
    // The help window and the About box while they are open, else nullptr.
    HelpWindow* Help() const;
    AboutDialog* About() const;

    // ShellHost
    Session& CurrentSession() override { return session_; }
    void StopPolling() override;
    void StartPolling(int intervalMs) override;
    void ResumePolling() override;
    void SetFileCommandEnabled(FileMenuEntry entry, bool enabled) override;
    PinDialogLauncher& PinDialogs() override { return *pinDialogs_; }
    QWidget* MainWidget() override { return this; }
    void ShowStatus(const QString& text) override;

    // The undo history the Edit menu acts on: the active record window's.
    QUndoGroup* UndoGroup() const { return undoGroup_; }

protected:
    // Refused while card work runs; the timer completes it once the work has ended.
    void closeEvent(QCloseEvent* event) override;

    // Asks every child window about its unsaved work; false, with every answer forgotten,
    // when the user cancelled one of the questions.
    bool ConfirmCloseChildren();

private:
    void CreateMenus();
    void CreateFileMenu();
    void CreateEditMenu();
    void CreateViewMenu();
    void CreateHelpMenu();
    void CreateNameMenu();
    void RunFileCommand(FileCommand command);
    // The card is identified and PIN1 lets its files be read (the PIN dialog is offered once).
    bool CardOpenForRun(CardGate::Hold& hold);
    void BackUpCard(const QString& path, CardGate::Hold& hold);
    void RestoreCard(const QString& path, CardGate::Hold& hold);
    bool ShowChildWindow(WindowIndex index);
    void MinimiseChildWindow(WindowIndex index);
    void RefreshCurrentWindow();
    void OnSubWindowActivated(QMdiSubWindow* subWindow);
    // The File menu's list of the files opened last.
    void ShowRecentFiles();
    // Opens a file of that list in the window that opened it before.
    void OpenRecentFile(const QString& path, int storedWindowIndex);
    // Points the Edit menu at the history of `window` (none for a window without one).
    void FollowUndoStack(ChildWindow* window);

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
};

}  // namespace pellucard
