#include "shell/verify_pin_dialog.h"

#include <QLineEdit>

#include "engine/pellucard.h"

namespace pellucard {

VerifyPinDialog::VerifyPinDialog(Session& session, QWidget* parent)
    : PinEntryDialog(session, PinDialogKind::Verify, parent) {
    setObjectName("verifyPinDialog");
}

void VerifyPinDialog::prepare(int pinIndex, CardGate::Hold& hold) {
    activate();
    readPinCounters(session_, hold);
    showState(pinIndex);
    codeField->clear();
    codeField->setFocus();
}

void VerifyPinDialog::changeLanguage() {
    PinEntryDialog::changeLanguage();
    setWindowTitle(session_.text(MessageId::VerifyPinCode));
}

CardOutcome VerifyPinDialog::runOperation(Pellucard& engine, const std::string& code, int pin) {
    return engine.VerifyPin(pin, code);
}

}  // namespace pellucard
