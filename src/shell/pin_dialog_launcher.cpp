#include "shell/pin_dialog_launcher.h"

#include <QTimer>

#include "shell/change_pin_dialog.h"
#include "shell/input_pin_dialog.h"
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
Dialog* PinDialogLauncher::Open(QPointer<Dialog>& slot, PinDialogKind kind) {
    if (slot)
        return slot;
    slot = new Dialog(session_, parentWindow_);
    connect(slot, &PinDialogBase::CountersRead, this, &PinDialogLauncher::CountersChanged);
    connect(slot, &QDialog::finished, this, [this, kind, &slot, dialog = slot.data()] {
        // A dialog on its way out is never handed out again.
        if (slot == dialog)
            slot = nullptr;
        dialog->deleteLater();
        emit DialogClosed(kind);
        // A code blocked in a dialog without modality goes on to the unblocking dialog;
        // the modal ones do so in their Exec function.
        const int unblock = dialog->UnblockRequested();
        if (unblock >= 0 && !dialog->testAttribute(Qt::WA_ShowModal))
            QTimer::singleShot(0, this, [this, unblock] { ShowChangePin(1, unblock); });
    });
    return slot;
}

InputPinC* PinDialogLauncher::ShowInputPin(int pinIndex, int lockIndex) {
    InputPinC* dialog = Open(input_, PinDialogKind::Input);
    dialog->Prepare(pinIndex, lockIndex);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

ChangePinC* PinDialogLauncher::ShowChangePin(int modeIndex, int pinIndex) {
    ChangePinC* dialog = Open(change_, PinDialogKind::Change);
    dialog->Prepare(modeIndex, pinIndex);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

VerifyPinC* PinDialogLauncher::ShowVerifyPin(int pinIndex) {
    const std::unique_ptr<CardGate::Hold> hold =
        session_.Gate().AcquireForCommand(this, [this, pinIndex] { ShowVerifyPin(pinIndex); });
    if (!hold)
        return nullptr;
    VerifyPinC* dialog = Open(verify_, PinDialogKind::Verify);
    dialog->Prepare(pinIndex, *hold);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

bool PinDialogLauncher::ExecVerifyPin(int pinIndex, CardGate::Hold& hold) {
    QPointer<VerifyPinC> dialog = Open(verify_, PinDialogKind::Verify);
    dialog->hide();  // a dialog already open without modality comes back modal
    dialog->LendHold(&hold);
    dialog->Prepare(pinIndex, hold);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return accepted;
    dialog->LendHold(nullptr);
    if (accepted)
        return true;
    const int unblock = dialog->UnblockRequested();
    return unblock >= 0 && ExecChangePin(1, unblock, hold);
}

bool PinDialogLauncher::ExecChangePin(int modeIndex, int pinIndex, CardGate::Hold& hold) {
    QPointer<ChangePinC> dialog = Open(change_, PinDialogKind::Change);
    dialog->hide();
    dialog->LendHold(&hold);
    dialog->Prepare(modeIndex, pinIndex);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (dialog)
        dialog->LendHold(nullptr);
    return accepted;
}

InputPinC* PinDialogLauncher::OpenInputPin() const {
    return input_;
}

ChangePinC* PinDialogLauncher::OpenChangePin() const {
    return change_;
}

VerifyPinC* PinDialogLauncher::OpenVerifyPin() const {
    return verify_;
}

void PinDialogLauncher::CloseAll() {
    if (input_ && session_.IsDialogOpen(PinDialogKind::Input))
        input_->reject();
    if (change_ && session_.IsDialogOpen(PinDialogKind::Change))
        change_->reject();
    if (verify_ && session_.IsDialogOpen(PinDialogKind::Verify))
        verify_->reject();
}

void PinDialogLauncher::ChangeLanguage() {
    if (input_)
        input_->ChangeLanguage();
    if (change_)
        change_->ChangeLanguage();
    if (verify_)
        verify_->ChangeLanguage();
}

}  // namespace pellucard
