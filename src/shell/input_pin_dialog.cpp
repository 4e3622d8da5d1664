#include "shell/input_pin_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/pellucard.h"

namespace pellucard {

InputPinC::InputPinC(Session& session, QWidget* parent)
    : PinEntryDialog(session, PinDialogKind::Input, parent) {
    setObjectName("InputPinC");
    Frame2 = new QGroupBox(body_);
    Frame2->setObjectName("Frame2");
    auto* lock = new QHBoxLayout(Frame2);
    for (int i = 0; i < 2; ++i) {
        OLock[i] = new QRadioButton(Frame2);
        OLock[i]->setObjectName(QStringLiteral("OLock_%1").arg(i));
        lock->addWidget(OLock[i]);
    }
    OLock[0]->setChecked(true);
    bodyLayout_->insertWidget(0, Frame2);
}

void InputPinC::Prepare(int pinIndex, int lockIndex) {
    Activate();
    ShowState(pinIndex);
    OLock[lockIndex == 1 ? 1 : 0]->setChecked(true);
    TPINCode->clear();
    TPINCode->setFocus();
}

void InputPinC::ChangeLanguage() {
    PinEntryDialog::ChangeLanguage();
    setWindowTitle(session_.Text(MessageId::InputPinCode));
    Frame2->setTitle(session_.Text(MessageId::LockOrUnlock));
    OLock[0]->setText(session_.Text(MessageId::Lock));
    OLock[1]->setText(session_.Text(MessageId::Unlock));
}

void InputPinC::ShowState(int /*preferredPin*/) {
    ShowCounts(session_.CardInfo.Pin1Attempts, session_.CardInfo.Pin2Attempts, 0, false);
}

CardOutcome InputPinC::RunOperation(Pellucard& engine, const std::string& code,
                                    int /*pin: always PIN1*/) {
    return OLock[0]->isChecked() ? engine.EnablePin1(code) : engine.DisablePin1(code);
}

}  // namespace pellucard
