#include "shell/child_window.h"

#include <QCloseEvent>

#include "shell/session.h"

namespace pellucard {

ChildWindow::ChildWindow(WindowIndex windowIndex, ShellHost& host, QWidget* parent)
    : QWidget(parent), windowIndex_(windowIndex), host_(host) {
    // Every window follows the card's holder: its card commands grey while a run holds it.
    connect(&host.currentSession().gate(), &CardGate::changed, this, [this] { cardRunChanged(); });
}

void ChildWindow::deactivate() {
    currentSession().CurrentWindow = WindowIndex::None;
}

void ChildWindow::cardChanged() {
    activate();
}

void ChildWindow::runFileCommand(FileCommand) {}

void ChildWindow::printRecords() {}

bool ChildWindow::confirmClose() {
    if (!closeConfirmed_)
        closeConfirmed_ = askAboutUnsavedWork();
    return closeConfirmed_;
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    closeConfirmed_ = false;
    currentSession().CurrentWindow = WindowIndex::Unloaded;
    event->accept();
}

}  // namespace pellucard
