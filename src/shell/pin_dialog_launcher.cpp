#include "shell/pin_dialog_launcher.h"

#include <QTimer>

#include <optional>

#include "records/dialog_seam.h"
#include "shell/change_pin_dialog.h"
#include "shell/pin_lock_dialog.h"
#include "shell/verify_pin_dialog.h"

namespace pellucard {

PinDialogLauncher::PinDialogLauncher(Session& session, QWidget* parentWindow)
    : session_(session), parentWindow_(parentWindow) {}

PinDialogLauncher::~PinDialogLauncher() {
    delete input_;
    delete change_;
    delete verify_;
}

template <typename Dialog>
Dialog* PinDialogLauncher::open(QPointer<Dialog>& slot, PinDialogKind kind) {
    if (slot)
        return slot;
    slot = new Dialog(session_, parentWindow_);
    connect(slot, &PinDialogBase::countersRead, this, &PinDialogLauncher::countersChanged);
    connect(slot, &QDialog::finished, this, [this, kind, &slot, dialog = slot.data()] {
        // A dialog on its way out is never handed out again.
        if (slot == dialog)
            slot = nullptr;
        dialog->deleteLater();
        emit dialogClosed(kind);
        // A code blocked in a dialog without modality goes on to the unblocking dialog;
        // the modal ones do so in execVerifyPin.
        const int unblock = dialog->unblockRequested();
        if (unblock >= 0 && !dialog->testAttribute(Qt::WA_ShowModal))
            QTimer::singleShot(0, this, [this, unblock] { showChangePin(1, unblock); });
    });
    return slot;
}

// Runs `dialog` through the dialog seam, marked modal while it runs so that its closing does
// not take the path of a dialog beside the windows. The answer is taken as the dialog finishes,
// since it deletes itself then. A seam that returns with the dialog unanswered (one without a
// display) leaves it rejected and closed, never open and unseen.
bool PinDialogLauncher::runModally(QDialog& dialog) {
    QPointer<QDialog> guard(&dialog);
    std::optional<int> answer;
    const QMetaObject::Connection finished =
        connect(&dialog, &QDialog::finished, this, [&answer](int result) { answer = result; });
    dialog.setModal(true);
    RunModal(dialog);
    if (guard && !answer)
        dialog.reject();
    if (guard) {
        disconnect(finished);
        dialog.setModal(false);
    }
    return answer == QDialog::Accepted;
}

PinLockDialog* PinDialogLauncher::showInputPin(int pinIndex, int lockIndex) {
    PinLockDialog* dialog = open(input_, PinDialogKind::Input);
    dialog->prepare(pinIndex, lockIndex);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

ChangePinDialog* PinDialogLauncher::showChangePin(int modeIndex, int pinIndex) {
    ChangePinDialog* dialog = open(change_, PinDialogKind::Change);
    dialog->prepare(modeIndex, pinIndex);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

VerifyPinDialog* PinDialogLauncher::showVerifyPin(int pinIndex) {
    const std::unique_ptr<CardGate::Hold> hold =
        session_.gate().acquireForCommand(this, [this, pinIndex] { showVerifyPin(pinIndex); });
    if (!hold)
        return nullptr;
    VerifyPinDialog* dialog = open(verify_, PinDialogKind::Verify);
    dialog->prepare(pinIndex, *hold);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

bool PinDialogLauncher::execVerifyPin(int pinIndex, CardGate::Hold& hold) {
    QPointer<VerifyPinDialog> dialog = open(verify_, PinDialogKind::Verify);
    dialog->hide();  // a dialog already open without modality comes back modal
    dialog->lendHold(&hold);
    dialog->prepare(pinIndex, hold);
    const bool accepted = runModally(*dialog);
    if (!dialog)
        return accepted;
    dialog->lendHold(nullptr);
    // The dialog lets the person pick the other PIN, and the unblocking follows the PIN that
    // blocked: only the one asked for counts.
    if (accepted)
        return dialog->chosenPin() == pinIndex + 1;
    const int unblock = dialog->unblockRequested();
    return unblock >= 0 && execChangePin(1, unblock, hold) && unblock == pinIndex;
}

bool PinDialogLauncher::execChangePin(int modeIndex, int pinIndex, CardGate::Hold& hold) {
    QPointer<ChangePinDialog> dialog = open(change_, PinDialogKind::Change);
    dialog->hide();
    dialog->lendHold(&hold);
    dialog->prepare(modeIndex, pinIndex);
    const bool accepted = runModally(*dialog);
    if (dialog)
        dialog->lendHold(nullptr);
    return accepted;
}

PinLockDialog* PinDialogLauncher::openInputPin() const {
    return input_;
}

ChangePinDialog* PinDialogLauncher::openChangePin() const {
    return change_;
}

VerifyPinDialog* PinDialogLauncher::openVerifyPin() const {
    return verify_;
}

void PinDialogLauncher::closeAll() {
    if (input_ && session_.isDialogOpen(PinDialogKind::Input))
        input_->reject();
    if (change_ && session_.isDialogOpen(PinDialogKind::Change))
        change_->reject();
    if (verify_ && session_.isDialogOpen(PinDialogKind::Verify))
        verify_->reject();
}

void PinDialogLauncher::changeLanguage() {
    if (input_)
        input_->changeLanguage();
    if (change_)
        change_->changeLanguage();
    if (verify_)
        verify_->changeLanguage();
}

}  // namespace pellucard
