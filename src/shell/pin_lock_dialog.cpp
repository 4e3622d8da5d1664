#include "shell/pin_lock_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/pellucard.h"

namespace pellucard {

PinLockDialog::PinLockDialog(Session& session, QWidget* parent)
    : PinEntryDialog(session, PinDialogKind::Input, parent) {
    setObjectName("pinLockDialog");
    lockFrame = new QGroupBox(body_);
    lockFrame->setObjectName("lockFrame");
    auto* lock = new QHBoxLayout(lockFrame);
    for (int i = 0; i < 2; ++i) {
        lockOptions[i] = new QRadioButton(lockFrame);
        lockOptions[i]->setObjectName(QStringLiteral("lockOption_%1").arg(i));
        lock->addWidget(lockOptions[i]);
    }
    lockOptions[0]->setChecked(true);
    bodyLayout_->insertWidget(0, lockFrame);
}

void PinLockDialog::prepare(int pinIndex, int lockIndex) {
    activate();
    showState(pinIndex);
    lockOptions[lockIndex == 1 ? 1 : 0]->setChecked(true);
    codeField->clear();
    codeField->setFocus();
}

void PinLockDialog::changeLanguage() {
    PinEntryDialog::changeLanguage();
    setWindowTitle(session_.text(MessageId::InputPinCode));
    lockFrame->setTitle(session_.text(MessageId::LockOrUnlock));
    lockOptions[0]->setText(session_.text(MessageId::Lock));
    lockOptions[1]->setText(session_.text(MessageId::Unlock));
}

void PinLockDialog::showState(int /*preferredPin*/) {
    showCounts(session_.cardInfo().Pin1Attempts, session_.cardInfo().Pin2Attempts, 0, false);
}

CardOutcome PinLockDialog::runOperation(Pellucard& engine, const std::string& code,
                                        int /*pin: always PIN1*/) {
    return lockOptions[0]->isChecked() ? engine.EnablePin1(code) : engine.DisablePin1(code);
}

}  // namespace pellucard
