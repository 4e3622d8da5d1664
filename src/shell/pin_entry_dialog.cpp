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
    CodeCaption = new QLabel(body_);
    CodeCaption->setObjectName("Label1_1");
    TPINCode = NewCodeField("TPINCode");
    CodeCaption->setBuddy(TPINCode);
    code->addRow(CodeCaption, TPINCode);
    bodyLayout_->addLayout(code);
}

void PinEntryDialog::ChangeLanguage() {
    PinDialogBase::ChangeLanguage();
    CodeCaption->setText(session_.Text(MessageId::PinCode));
}

void PinEntryDialog::ShowState(int preferredPin) {
    ShowCounts(session_.CardInfo.Pin1Attempts, session_.CardInfo.Pin2Attempts, preferredPin);
}

void PinEntryDialog::OKButton_Click() {
    const QString code = TPINCode->text();
    const int pin = ChosenPin();
    if (!IsPinCode(code)) {
        // Never sent, and said once: the text stays, selected, for the user to correct.
        RejectInput(CatalogueMessage(MessageId::PinCodeNotValid, session_.LanguageIndex,
                                     DialogButtons::Ok, DialogIcon::Warning),
                    TPINCode);
        return;
    }
    if (pin == 0)
        return;
    const PinOutcome outcome = RunPinOperation(
        [&](Pellucard& engine) { return RunOperation(engine, code.toStdString(), pin); });
    if (outcome == PinOutcome::Refused)
        return;
    if (outcome == PinOutcome::Succeeded) {
        AcceptSuccess();
        return;
    }
    ReportRefusedCode(pin);
}

void PinEntryDialog::ClearCodes() {
    TPINCode->clear();
    TPINCode->setFocus();
}

}  // namespace pellucard
