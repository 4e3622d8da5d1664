#include "shell/mdi_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "engine/pellucard.h"
#include "platform/reader_session.h"
#include "records/dialog_seam.h"
#include "records/file_history.h"
#include "records/record_documents.h"
#include "records/record_messages.h"
#include "shell/about_dialog.h"
#include "shell/artwork.h"
#include "shell/button_panel.h"
#include "shell/card_watch.h"
#include "shell/demo_controls.h"
#include "shell/help_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"
#include "shell/window_factory.h"
#include "shell/window_placement.h"

namespace pellucard {
namespace {
constexpr int kAtOnce = 1;  // ms: the next tick as soon as the event loop is free
}

MDIMain::MDIMain(Session& session, const WindowFactory& factory, PollPeriods periods,
                 QWidget* parent)
    : QMainWindow(parent), session_(session), factory_(factory), periods_(periods) {
    setObjectName("MDIMain");
    setWindowIcon(ArtworkIcon(Artwork::SimCard));

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    panel_ = new ButtonPanel(central);
    mdi_ = new QMdiArea(central);
    mdi_->setObjectName("MDIArea");
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(panel_);
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);
    connect(panel_, &ButtonPanel::Command1_Click, this, &MDIMain::Command1_Click);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MDIMain::OnSubWindowActivated);

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    connect(timer_, &QTimer::timeout, this, &MDIMain::Timer1_Timer);

    pinDialogs_ = std::make_unique<PinDialogLauncher>(session_, this);
    CreateMenus();
    // Says what is missing for card work (the reader, the card) as long as it is missing.
    readerState_ = new QLabel(this);
    readerState_->setObjectName("LReaderState");
    statusBar()->addPermanentWidget(readerState_);
    connect(&session_.Gate(), &CardGate::Changed, this, &MDIMain::UpdateCardCommands);
    if (session_.IsVirtualReader())
        demo_ = new DemoControls(session_, *this, [this] { StartPolling(kAtOnce); });
    FitToScreen(*this);
}

MDIMain::~MDIMain() {
    disconnect(&session_.Gate(), nullptr, this, nullptr);
    // The child windows are hidden while the frame goes; nothing may answer that any more.
    disconnect(mdi_, nullptr, this, nullptr);
}

void MDIMain::Load() {
    session_.LanguageIndex = 0;
    ChangeLanguage();
    panel_->ChangeLanguage(session_);
    pendingWindow_ = WindowIndex::None;
    if (session_.CurrentWindow != WindowIndex::None)
        Command1_Click(WindowIndex::Setting);
    MenuOption(session_.LanguageIndex);
    if (const auto hold = session_.Gate().Acquire(CardGate::Work::Poll))
        FindReaderAndCard(session_, *hold);
    DisableProgram(session_.Gate().ReaderPresent());
    ShowReaderState();
    timer_->start(periods_.searching);
}

void MDIMain::Command1_Click(WindowIndex index) {
    if (pollBusy_) {
        pendingWindow_ = index;  // the tick carries it out when it ends
        return;
    }
    const WindowIndex current = session_.CurrentWindow;
    const bool differs = index != current;
    if (differs && index != WindowIndex::Print && IsChildWindow(current))
        MinimiseChildWindow(current);
    bool selected = true;
    if (index == WindowIndex::Print) {
        if (differs) {
            if (ChildWindow* window = Window(current))
                window->PrintRecords();
        }
    } else if (IsChildWindow(index)) {
        selected = ShowChildWindow(index);
    }
    if (differs)
        session_.Yield();
    // Printing leaves the current window as it is.
    if (index != WindowIndex::Print && selected)
        session_.CurrentWindow = index;
    pendingWindow_ = WindowIndex::None;
}

void MDIMain::Timer1_Timer() {
    if (!session_.PollingAllowed || session_.Gate().Busy()) {
        timer_->setInterval(periods_.searching);  // card work is yielding; look again soon
        return;
    }
    if (pollBusy_)
        return;
    pollBusy_ = true;
    timer_->stop();
    if (session_.ExitRequested) {
        pollBusy_ = false;
        close();
        return;
    }

    PollOutcome outcome = PollOutcome::NoChange;
    if (const auto hold = session_.Gate().Acquire(CardGate::Work::Poll))
        outcome = PollReaderAndCard(session_, *hold);
    if (outcome != PollOutcome::NoChange) {
        RefreshCurrentWindow();
        DisableProgram(session_.Gate().ReaderPresent());
    }
    ShowReaderState();

    // A close refused during this tick is completed by the next one, right away.
    int interval = CardIdentified(session_) ? periods_.identified : periods_.searching;
    if (session_.ExitRequested)
        interval = kAtOnce;
    timer_->start(interval);
    pollBusy_ = false;
    if (pendingWindow_ != WindowIndex::None)
        Command1_Click(pendingWindow_);
}

void MDIMain::DisableProgram(bool enabled) {
    (void)
        enabled;  // the card commands follow the gate, which knows the reader (UpdateCardCommands)
    UpdateCardCommands();
    // The record windows keep files, lists, the clipboard and printing without a reader or a
    // card; each enables its own card commands (CardChanged). Their View entries and the left
    // panel's buttons therefore stay available whatever the polling finds.
    for (const char* name : {"MDIMessage", "MDIPhone", "MDIPerson"}) {
        if (auto* entry = findChild<QAction*>(name))
            entry->setEnabled(true);
    }
    panel_->SetButtonsVisible(true);
}

void MDIMain::MenuOption(int index) {
    if (index < 0 || index >= static_cast<int>(languageEntries_.size()))
        return;
    for (int k = 0; k < static_cast<int>(languageEntries_.size()); ++k)
        languageEntries_[static_cast<std::size_t>(k)]->setChecked(k == index);
    session_.LanguageIndex = index;
    for (const auto& [windowIndex, subWindow] : windows_) {
        if (ChildWindow* window = Window(windowIndex))
            window->ChangeLanguage();
    }
    pinDialogs_->ChangeLanguage();
    if (about_)
        about_->ChangeLanguage(session_);
    if (help_)
        help_->ShowLanguage(index);
    panel_->ChangeLanguage(session_);
    if (demo_)
        demo_->ChangeLanguage();
    ChangeLanguage();
}

void MDIMain::MDIHelpAbout_Click() {
    if (!help_)
        help_ = new HelpWindow(this);
    if (!help_->ShowLanguage(session_.LanguageIndex)) {
        MessageRequest request;
        request.text = Message(MessageId::HelpMissing, session_.LanguageIndex);
        request.icon = DialogIcon::Warning;
        ShowMessage(request);
        help_->close();
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MDIMain::MDIAbout_Click() {
    if (!about_)
        about_ = new AboutDialog(session_, this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MDIMain::ShowReaderState() {
    QString text = ReaderStateText(session_);
    const std::string why = session_.Reader().WhyNoReader();
    if (!session_.Gate().ReaderPresent() && !why.empty())
        text += QStringLiteral(": ") + QString::fromStdString(why);
    readerState_->setText(text);
    readerState_->setVisible(!text.isEmpty());
}

void MDIMain::UpdateCardCommands() {
    // Backing up and restoring wait for a card, and for the run under way to end.
    const CardGate& gate = session_.Gate();
    const bool available = gate.ReaderPresent() && gate.CardPresent() && !gate.RunActive();
    for (const char* name : {"MDIBackup", "MDIRestore"}) {
        if (auto* entry = findChild<QAction*>(name))
            entry->setEnabled(available);
    }
}

ChildWindow* MDIMain::Window(WindowIndex index) const {
    const auto found = windows_.find(index);
    if (found == windows_.end() || !found->second)
        return nullptr;
    return qobject_cast<ChildWindow*>(found->second->widget());
}

HelpWindow* MDIMain::Help() const {
    return help_;
}

AboutDialog* MDIMain::About() const {
    return about_;
}

void MDIMain::StopPolling() {
    timer_->stop();
}

void MDIMain::StartPolling(int intervalMs) {
    timer_->start(intervalMs);
}

void MDIMain::ResumePolling() {
    timer_->start();
}

void MDIMain::SetFileCommandEnabled(FileMenuEntry entry, bool enabled) {
    const auto found = fileEntries_.find(entry);
    if (found != fileEntries_.end())
        found->second->setEnabled(enabled);
}

void MDIMain::closeEvent(QCloseEvent* event) {
    if (!session_.PollingAllowed || pollBusy_ || session_.Gate().Busy()) {
        // Card work is running: never cut it off. The timer closes the window once it has ended.
        event->ignore();
        session_.ExitRequested = true;
        session_.CurrentWindow = WindowIndex::None;
        timer_->start(kAtOnce);
        return;
    }
    // Every window with unsaved work is asked first; a Cancel on any question keeps the
    // program, and every document, as it was.
    if (!ConfirmCloseChildren()) {
        event->ignore();
        session_.ExitRequested = false;
        if (!timer_->isActive())
            timer_->start(periods_.searching);
        return;
    }
    // A record window with unsaved work may keep the program open.
    mdi_->closeAllSubWindows();
    const auto subWindows = mdi_->subWindowList();
    if (std::any_of(subWindows.begin(), subWindows.end(),
                    [](QMdiSubWindow* window) { return window->isVisible(); })) {
        event->ignore();
        session_.ExitRequested = false;
        if (!timer_->isActive())
            timer_->start(periods_.searching);  // the program goes on: so does the polling
        return;
    }
    timer_->stop();
    if (const auto hold = session_.Gate().Acquire(CardGate::Work::Poll)) {
        Pellucard& engine = hold->Engine();
        engine.CloseReader();
    }
    session_.CurrentWindow = WindowIndex::None;
    pinDialogs_->CloseAll();
    if (help_)
        help_->close();
    if (about_)
        about_->close();
    event->accept();
}

bool MDIMain::ConfirmCloseChildren() {
    const auto subWindows = mdi_->subWindowList();
    for (QMdiSubWindow* subWindow : subWindows) {
        auto* child = qobject_cast<ChildWindow*>(subWindow->widget());
        if (child != nullptr && !child->ConfirmClose()) {
            for (QMdiSubWindow* other : subWindows) {
                if (auto* asked = qobject_cast<ChildWindow*>(other->widget()))
                    asked->ForgetCloseAnswer();
            }
            return false;
        }
    }
    return true;
}

void MDIMain::RunFileCommand(FileCommand command) {
    const WindowIndex current = session_.CurrentWindow;
    if (current != WindowIndex::PersonRec && current != WindowIndex::SimRec &&
        current != WindowIndex::SmsRec)
        return;
    if (ChildWindow* window = Window(current))
        window->RunFileCommand(command);
}

bool MDIMain::ShowChildWindow(WindowIndex index) {
    QMdiSubWindow* subWindow = windows_[index];
    if (!subWindow) {
        ChildWindow* window = factory_.Create(index, *this);
        if (window == nullptr)
            return false;
        subWindow = mdi_->addSubWindow(window);
        subWindow->setAttribute(Qt::WA_DeleteOnClose);
        subWindow->setWindowIcon(window->windowIcon());
        windows_[index] = subWindow;
    }
    subWindow->showMaximized();
    mdi_->setActiveSubWindow(subWindow);
    return true;
}

void MDIMain::OpenRecentFile(const QString& path, int storedWindowIndex) {
    if (!FileExists(path)) {
        ShowFileError(MessageId::FileNotRead, path, QString(), session_.LanguageIndex);
        FileHistory::Instance().Forget(path);
        return;
    }
    // The history stores the window as its number; one it does not know is chosen by the
    // file's extension.
    auto windowIndex = static_cast<WindowIndex>(storedWindowIndex);
    if (windowIndex != WindowIndex::PersonRec && windowIndex != WindowIndex::SimRec &&
        windowIndex != WindowIndex::SmsRec) {
        windowIndex = path.endsWith(QStringLiteral(".sms"), Qt::CaseInsensitive)
                          ? WindowIndex::SmsRec
                          : WindowIndex::SimRec;
    }
    if (pollBusy_)
        return;  // a poll is running; the user chooses again in a moment
    Command1_Click(windowIndex);
    ChildWindow* window = Window(windowIndex);
    if (window == nullptr || session_.CurrentWindow != windowIndex)
        return;
    // The window's own Open command asks about unsaved work and loads the file.
    ChooseNextOpenFile(path);
    window->RunFileCommand(FileCommand::Open);
    ChooseNextOpenFile({});
}

void MDIMain::MinimiseChildWindow(WindowIndex index) {
    const auto found = windows_.find(index);
    if (found != windows_.end() && found->second)
        found->second->showMinimized();
}

void MDIMain::RefreshCurrentWindow() {
    if (ChildWindow* window = Window(session_.CurrentWindow))
        window->CardChanged();
}

void MDIMain::OnSubWindowActivated(QMdiSubWindow* subWindow) {
    // No active child means the frame itself lost activation (a dialog, another program): the
    // child stays the current one.
    if (subWindow == nullptr)
        return;
    auto* window = qobject_cast<ChildWindow*>(subWindow->widget());
    if (window == activeChild_)
        return;
    if (activeChild_)
        activeChild_->Form_Deactivate();
    activeChild_ = window;
    FollowUndoStack(window);
    if (window)
        window->Form_Activate();
}

void MDIMain::FollowUndoStack(ChildWindow* window) {
    QUndoStack* stack = window ? window->UndoStack() : nullptr;
    if (stack && !undoGroup_->stacks().contains(stack))
        undoGroup_->addStack(stack);
    undoGroup_->setActiveStack(stack);
}

void MDIMain::ShowStatus(const QString& text) {
    constexpr int kShownMs = 8000;
    statusBar()->showMessage(text, kShownMs);
}

}  // namespace pellucard
