#include "shell/child_window.h"

#include <QCloseEvent>

#include "shell/session.h"

namespace pellucard {

ChildWindow::ChildWindow(WindowIndex windowIndex, ShellHost& host, QWidget* parent)
    : QWidget(parent), windowIndex_(windowIndex), host_(host) {
    // Every window follows the card's holder: its card commands grey while a run holds it.
    connect(&host.CurrentSession().Gate(), &CardGate::Changed, this, [this] { CardRunChanged(); });
}

void ChildWindow::Form_Deactivate() {
    CurrentSession().CurrentWindow = WindowIndex::None;
}

void ChildWindow::CardChanged() {
    Form_Activate();
}

void ChildWindow::RunFileCommand(FileCommand) {}

void ChildWindow::PrintRecords() {}

bool ChildWindow::ConfirmClose() {
    if (!closeConfirmed_)
        closeConfirmed_ = AskAboutUnsavedWork();
    return closeConfirmed_;
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    closeConfirmed_ = false;
    CurrentSession().CurrentWindow = WindowIndex::Unloaded;
    event->accept();
}

}  // namespace pellucard
