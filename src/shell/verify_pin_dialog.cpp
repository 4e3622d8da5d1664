#include "shell/verify_pin_dialog.h"

#include <QLineEdit>

#include "engine/pellucard.h"

namespace pellucard {

VerifyPinC::VerifyPinC(Session& session, QWidget* parent)
    : PinEntryDialog(session, PinDialogKind::Verify, parent) {
    setObjectName("VerifyPinC");
}

void VerifyPinC::Prepare(int pinIndex, CardGate::Hold& hold) {
    Activate();
    ReadPinCounters(session_, hold);
    ShowState(pinIndex);
    TPINCode->clear();
    TPINCode->setFocus();
}

void VerifyPinC::ChangeLanguage() {
    PinEntryDialog::ChangeLanguage();
    setWindowTitle(session_.Text(MessageId::VerifyPinCode));
}

CardOutcome VerifyPinC::RunOperation(Pellucard& engine, const std::string& code, int pin) {
    return engine.VerifyPin(pin, code);
}

}  // namespace pellucard
