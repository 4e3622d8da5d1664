#include "shell/verify_pin_dialog.h"

#include <QLineEdit>

#include "engine/pellucard.h"

namespace pellucard {

VerifyPinC::VerifyPinC(Session& session, QWidget* parent)
    : PinEntryDialog(session, PinDialogKind::Verify, parent) {
    setObjectName("VerifyPinC");
}

void VerifyPinC::Prepare(int pinIndex) {
    Activate();
    ReadPinCounters(session_);
    ShowState(pinIndex);
    TPINCode->clear();
    TPINCode->setFocus();
}

void VerifyPinC::ChangeLanguage() {
    PinEntryDialog::ChangeLanguage();
    setWindowTitle(session_.Text(MessageId::VerifyPinCode));
}

bool VerifyPinC::RunOperation(const std::string& code, int pin) {
    return session_.Engine().PINCodeVerify(code, pin);
}

}  // namespace pellucard
