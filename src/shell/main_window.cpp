#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
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
#include "records/program_settings.h"
#include "records/record_documents.h"
#include "records/record_messages.h"
#include "shell/about_dialog.h"
#include "shell/artwork.h"
#include "shell/button_panel.h"
#include "shell/card_watch.h"
#include "shell/demo_controls.h"
#include "shell/help_window.h"
#include "shell/language_choice.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/qt_language.h"
#include "shell/session.h"
#include "shell/window_factory.h"
#include "shell/window_placement.h"

namespace pellucard {
namespace {
constexpr int kAtOnce = 1;  // ms: the next tick as soon as the event loop is free
}

MainWindow::MainWindow(Session& session, const WindowFactory& factory, PollPeriods periods,
                       QWidget* parent)
    : QMainWindow(parent), session_(session), factory_(factory), periods_(periods) {
    setObjectName("mainWindow");
    setWindowIcon(artworkIcon(Artwork::SimCard));

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    panel_ = new ButtonPanel(central);
    mdi_ = new QMdiArea(central);
    mdi_->setObjectName("mdiArea");
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(panel_);
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);
    connect(panel_, &ButtonPanel::windowChosen, this, &MainWindow::showWindow);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::onSubWindowActivated);

    timer_ = new QTimer(this);
    timer_->setObjectName("pollTimer");
    connect(timer_, &QTimer::timeout, this, &MainWindow::pollReader);

    pinDialogs_ = std::make_unique<PinDialogLauncher>(session_, this);
    createMenus();
    // Says what is missing for card work (the reader, the card) as long as it is missing.
    readerState_ = new QLabel(this);
    readerState_->setObjectName("readerState");
    statusBar()->addPermanentWidget(readerState_);
    connect(&session_.gate(), &CardGate::changed, this, &MainWindow::updateCardCommands);
    if (session_.isVirtualReader())
        demo_ = new DemoControls(session_, *this, [this] { startPolling(kAtOnce); });
    fitToScreen(*this);
}

MainWindow::~MainWindow() {
    disconnect(&session_.gate(), nullptr, this, nullptr);
    // The child windows are hidden while the frame goes; nothing may answer that any more.
    disconnect(mdi_, nullptr, this, nullptr);
}

void MainWindow::start() {
    // The language of the run was chosen before the window opened (the command line, the
    // user's last choice or the desktop's locale).
    changeLanguage();
    panel_->changeLanguage(session_);
    pendingWindow_ = WindowIndex::None;
    if (session_.currentWindow() != WindowIndex::None)
        showWindow(WindowIndex::CardInfo);
    chooseLanguage(session_.languageIndex());
    if (const auto hold = session_.gate().acquire(CardGate::Work::Poll))
        findReaderAndCard(session_, *hold);
    setReaderFound(session_.gate().readerPresent());
    showReaderState();
    timer_->start(periods_.searching);
}

void MainWindow::showWindow(WindowIndex index) {
    if (pollBusy_) {
        pendingWindow_ = index;  // the tick carries it out when it ends
        return;
    }
    const WindowIndex current = session_.currentWindow();
    const bool differs = index != current;
    if (differs && index != WindowIndex::Print && isChildWindow(current))
        minimiseChildWindow(current);
    bool selected = true;
    if (index == WindowIndex::Print) {
        if (differs) {
            if (ChildWindow* window = childWindow(current))
                window->printRecords();
        }
    } else if (isChildWindow(index)) {
        selected = showChildWindow(index);
    }
    if (differs)
        session_.yield();
    // Printing leaves the current window as it is.
    if (index != WindowIndex::Print && selected)
        session_.setCurrentWindow(index);
    pendingWindow_ = WindowIndex::None;
}

void MainWindow::pollReader() {
    if (!session_.pollingAllowed() || session_.gate().busy()) {
        timer_->setInterval(periods_.searching);  // card work is yielding; look again soon
        return;
    }
    if (pollBusy_)
        return;
    pollBusy_ = true;
    timer_->stop();
    if (session_.exitRequested()) {
        pollBusy_ = false;
        close();
        return;
    }

    PollOutcome outcome = PollOutcome::NoChange;
    if (const auto hold = session_.gate().acquire(CardGate::Work::Poll))
        outcome = pollReaderAndCard(session_, *hold);
    if (outcome != PollOutcome::NoChange) {
        refreshCurrentWindow();
        setReaderFound(session_.gate().readerPresent());
    }
    showReaderState();

    // A close refused during this tick is completed by the next one, right away.
    int interval = cardIdentified(session_) ? periods_.identified : periods_.searching;
    if (session_.exitRequested())
        interval = kAtOnce;
    timer_->start(interval);
    pollBusy_ = false;
    if (pendingWindow_ != WindowIndex::None)
        showWindow(pendingWindow_);
}

void MainWindow::setReaderFound(bool enabled) {
    (void)
        enabled;  // the card commands follow the gate, which knows the reader (UpdateCardCommands)
    updateCardCommands();
    // The record windows keep files, lists, the clipboard and printing without a reader or a
    // card; each enables its own card commands (CardChanged). Their View entries and the left
    // panel's buttons therefore stay available whatever the polling finds.
    for (const char* name :
         {"smsWindowAction", "phoneBookWindowAction", "personalRecordsWindowAction"}) {
        if (auto* entry = findChild<QAction*>(name))
            entry->setEnabled(true);
    }
    panel_->setButtonsVisible(true);
}

void MainWindow::chooseLanguage(int index) {
    if (index < 0 || index >= static_cast<int>(languageEntries_.size()))
        return;
    for (int k = 0; k < static_cast<int>(languageEntries_.size()); ++k)
        languageEntries_[static_cast<std::size_t>(k)]->setChecked(k == index);
    session_.setLanguageIndex(index);
    applyQtLanguage(index);
    for (const auto& [windowIndex, subWindow] : windows_) {
        if (ChildWindow* window = childWindow(windowIndex))
            window->changeLanguage();
    }
    pinDialogs_->changeLanguage();
    if (about_)
        about_->changeLanguage(session_);
    if (help_)
        help_->showLanguage(index);
    panel_->changeLanguage(session_);
    if (demo_)
        demo_->changeLanguage();
    changeLanguage();
}

void MainWindow::languageChosenByUser(int index) {
    chooseLanguage(index);
    rememberLanguage(ProgramSettings(), index);
}

void MainWindow::showHelp() {
    if (!help_)
        help_ = new HelpWindow(this);
    if (!help_->showLanguage(session_.languageIndex())) {
        MessageRequest request;
        request.text = Message(MessageId::HelpMissing, session_.languageIndex());
        request.icon = DialogIcon::Warning;
        ShowMessage(request);
        help_->close();
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::showAbout() {
    if (!about_)
        about_ = new AboutDialog(session_, this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::showReaderState() {
    QString text = readerStateText(session_);
    const std::string why = session_.reader().WhyNoReader();
    if (!session_.gate().readerPresent() && !why.empty())
        text += QStringLiteral(": ") + QString::fromStdString(why);
    readerState_->setText(text);
    readerState_->setVisible(!text.isEmpty());
}

void MainWindow::updateCardCommands() {
    // Backing up and restoring wait for a card, and for the run under way to end.
    const CardGate& gate = session_.gate();
    const bool available = gate.readerPresent() && gate.cardPresent() && !gate.runActive();
    for (const char* name : {"backupAction", "restoreAction"}) {
        if (auto* entry = findChild<QAction*>(name))
            entry->setEnabled(available);
    }
}

ChildWindow* MainWindow::childWindow(WindowIndex index) const {
    const auto found = windows_.find(index);
    if (found == windows_.end() || !found->second)
        return nullptr;
    return qobject_cast<ChildWindow*>(found->second->widget());
}

HelpWindow* MainWindow::help() const {
    return help_;
}

AboutDialog* MainWindow::about() const {
    return about_;
}

void MainWindow::stopPolling() {
    timer_->stop();
}

void MainWindow::startPolling(int intervalMs) {
    timer_->start(intervalMs);
}

void MainWindow::resumePolling() {
    timer_->start();
}

void MainWindow::setFileCommandEnabled(FileMenuEntry entry, bool enabled) {
    const auto found = fileEntries_.find(entry);
    if (found != fileEntries_.end())
        found->second->setEnabled(enabled);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!session_.pollingAllowed() || pollBusy_ || session_.gate().busy()) {
        // Card work is running: never cut it off. The timer closes the window once it has ended.
        event->ignore();
        session_.requestExit();
        session_.setCurrentWindow(WindowIndex::None);
        timer_->start(kAtOnce);
        return;
    }
    // Every window with unsaved work is asked first; a Cancel on any question keeps the
    // program, and every document, as it was.
    if (!confirmCloseChildren()) {
        event->ignore();
        session_.cancelExit();
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
        session_.cancelExit();
        if (!timer_->isActive())
            timer_->start(periods_.searching);  // the program goes on: so does the polling
        return;
    }
    timer_->stop();
    if (const auto hold = session_.gate().acquire(CardGate::Work::Poll)) {
        Pellucard& engine = hold->engine();
        engine.CloseReader();
    }
    session_.setCurrentWindow(WindowIndex::None);
    pinDialogs_->closeAll();
    if (help_)
        help_->close();
    if (about_)
        about_->close();
    event->accept();
}

bool MainWindow::confirmCloseChildren() {
    const auto subWindows = mdi_->subWindowList();
    for (QMdiSubWindow* subWindow : subWindows) {
        auto* child = qobject_cast<ChildWindow*>(subWindow->widget());
        if (child != nullptr && !child->confirmClose()) {
            for (QMdiSubWindow* other : subWindows) {
                if (auto* asked = qobject_cast<ChildWindow*>(other->widget()))
                    asked->forgetCloseAnswer();
            }
            return false;
        }
    }
    return true;
}

void MainWindow::runFileCommand(FileCommand command) {
    const WindowIndex current = session_.currentWindow();
    if (current != WindowIndex::PersonalRecords && current != WindowIndex::PhoneBook &&
        current != WindowIndex::Sms)
        return;
    if (ChildWindow* window = childWindow(current))
        window->runFileCommand(command);
}

bool MainWindow::showChildWindow(WindowIndex index) {
    QMdiSubWindow* subWindow = windows_[index];
    if (!subWindow) {
        ChildWindow* window = factory_.create(index, *this);
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

void MainWindow::openRecentFile(const QString& path, int storedWindowIndex) {
    if (!FileExists(path)) {
        ShowFileError(MessageId::FileNotRead, path, QString(), session_.languageIndex());
        FileHistory::Instance().Forget(path);
        return;
    }
    // The history stores the window as its number; one it does not know is chosen by the
    // file's extension.
    auto windowIndex = static_cast<WindowIndex>(storedWindowIndex);
    if (windowIndex != WindowIndex::PersonalRecords && windowIndex != WindowIndex::PhoneBook &&
        windowIndex != WindowIndex::Sms) {
        windowIndex = path.endsWith(QStringLiteral(".sms"), Qt::CaseInsensitive)
                          ? WindowIndex::Sms
                          : WindowIndex::PhoneBook;
    }
    if (pollBusy_)
        return;  // a poll is running; the user chooses again in a moment
    showWindow(windowIndex);
    ChildWindow* window = childWindow(windowIndex);
    if (window == nullptr || session_.currentWindow() != windowIndex)
        return;
    // The window's own Open command asks about unsaved work and loads the file.
    ChooseNextOpenFile(path);
    window->runFileCommand(FileCommand::Open);
    ChooseNextOpenFile({});
}

void MainWindow::openDocument(const QString& path) {
    constexpr int kRetryMs = 250;
    if (pollBusy_ || session_.gate().busy() || !session_.pollingAllowed() ||
        QApplication::activeModalWidget() != nullptr) {
        QTimer::singleShot(kRetryMs, this, [this, path] { openDocument(path); });
        return;
    }
    int windowIndex = 0;  // none known: chosen by the extension
    for (const FileHistory::RecentFile& recent : FileHistory::Instance().RecentFiles()) {
        if (SamePath(recent.path, path)) {
            windowIndex = recent.windowIndex;
            break;
        }
    }
    openRecentFile(path, windowIndex);
}

void MainWindow::minimiseChildWindow(WindowIndex index) {
    const auto found = windows_.find(index);
    if (found != windows_.end() && found->second)
        found->second->showMinimized();
}

void MainWindow::refreshCurrentWindow() {
    if (ChildWindow* window = childWindow(session_.currentWindow()))
        window->cardChanged();
}

void MainWindow::onSubWindowActivated(QMdiSubWindow* subWindow) {
    // No active child means the frame itself lost activation (a dialog, another program): the
    // child stays the current one.
    if (subWindow == nullptr)
        return;
    auto* window = qobject_cast<ChildWindow*>(subWindow->widget());
    if (window == activeChild_)
        return;
    if (activeChild_)
        activeChild_->deactivate();
    activeChild_ = window;
    followUndoStack(window);
    updateEditCommands();
    if (window)
        window->activate();
}

void MainWindow::followUndoStack(ChildWindow* window) {
    QUndoStack* stack = window ? window->undoStack() : nullptr;
    if (stack && !undoGroup_->stacks().contains(stack))
        undoGroup_->addStack(stack);
    undoGroup_->setActiveStack(stack);
}

void MainWindow::showStatus(const QString& text) {
    constexpr int kShownMs = 8000;
    statusBar()->showMessage(text, kShownMs);
}

}  // namespace pellucard
