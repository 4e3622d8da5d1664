#include "shell/pin_entry_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "records/dialog_seam.h"

namespace pellucard {
PinEntryDialog::PinEntryDialog(Session& session, PinDialogKind kind, QWidget* parent)
    : PinDialogBase(session, kind, parent) {
    bodyLayout_ = new QVBoxLayout(body_);
    bodyLayout_->setContentsMargins(0, 0, 0, 0);
    auto* code = new QFormLayout;
    codeCaption = new QLabel(body_);
    codeCaption->setObjectName("codeCaption");
    codeField = newCodeField("codeField");
    codeCaption->setBuddy(codeField);
    code->addRow(codeCaption, codeField);
    bodyLayout_->addLayout(code);
}

void PinEntryDialog::changeLanguage() {
    PinDialogBase::changeLanguage();
    codeCaption->setText(session_.text(MessageId::PinCode));
}

void PinEntryDialog::showState(int preferredPin) {
    showCounts(session_.CardInfo.Pin1Attempts, session_.CardInfo.Pin2Attempts, preferredPin);
}

void PinEntryDialog::submit() {
    const QString code = codeField->text();
    const int pin = chosenPin();
    if (!isPinCode(code)) {
        // Never sent, and said once: the text stays, selected, for the user to correct.
        rejectInput(CatalogueMessage(MessageId::PinCodeNotValid, session_.LanguageIndex,
                                     DialogButtons::Ok, DialogIcon::Warning),
                    codeField);
        return;
    }
    if (pin == 0)
        return;
    const PinOutcome outcome = runPinOperation(
        [&](Pellucard& engine) { return runOperation(engine, code.toStdString(), pin); });
    if (outcome == PinOutcome::Refused)
        return;
    if (outcome == PinOutcome::Succeeded) {
        acceptSuccess();
        return;
    }
    reportRefusedCode(pin);
}

void PinEntryDialog::clearCodes() {
    codeField->clear();
    codeField->setFocus();
}

}  // namespace pellucard
