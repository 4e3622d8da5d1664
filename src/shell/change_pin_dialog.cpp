#include "shell/change_pin_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/pellucard.h"
#include "records/dialog_seam.h"

namespace pellucard {
ChangePinC::ChangePinC(Session& session, QWidget* parent)
    : PinDialogBase(session, PinDialogKind::Change, parent) {
    setObjectName("ChangePinC");
    auto* layout = new QVBoxLayout(body_);
    layout->setContentsMargins(0, 0, 0, 0);

    Frame6 = new QGroupBox(body_);
    Frame6->setObjectName("Frame6");
    auto* modes = new QHBoxLayout(Frame6);
    for (int i = 0; i < 2; ++i) {
        OCPINCode[i] = new QRadioButton(Frame6);
        OCPINCode[i]->setObjectName(QStringLiteral("OCPINCode_%1").arg(i));
        modes->addWidget(OCPINCode[i]);
        connect(OCPINCode[i], &QRadioButton::clicked, this, [this, i] { OCPINCode_Click(i); });
    }
    OCPINCode[0]->setChecked(true);
    layout->addWidget(Frame6);

    Frame5 = new QGroupBox(body_);
    Frame5->setObjectName("Frame5");
    auto* codes = new QFormLayout(Frame5);
    OldCodeCaption = new QLabel(Frame5);
    OldCodeCaption->setObjectName("Label1_1");
    TOldPINCode = NewCodeField("TOldPINCode");
    codes->addRow(OldCodeCaption, TOldPINCode);
    for (int i = 0; i < 2; ++i) {
        NewCodeCaption[i] = new QLabel(Frame5);
        NewCodeCaption[i]->setObjectName(QStringLiteral("Label1_%1").arg(i + 2));
        TNewPINCode[i] = NewCodeField(i == 0 ? "TNewPINCode_0" : "TNewPINCode_1");
        codes->addRow(NewCodeCaption[i], TNewPINCode[i]);
    }
    layout->addWidget(Frame5);
}

void ChangePinC::Prepare(int modeIndex, int pinIndex) {
    OCPINCode[modeIndex == kUnblock ? 1 : 0]->setChecked(true);
    Activate();
    ShowState(pinIndex);
    ClearCodes();
}

void ChangePinC::ClearCodes() {
    TOldPINCode->clear();
    for (QLineEdit* field : TNewPINCode)
        field->clear();
    TOldPINCode->setFocus();
}

void ChangePinC::OfferUnblock(int pin) {
    OCPINCode[1]->setChecked(true);
    OldCodeCaption->setText(session_.Text(MessageId::UnblockPinCode));
    ShowState(pin == 2 ? 1 : 0);
    ClearCodes();
}

ChangePinC::Mode ChangePinC::CurrentMode() const {
    return OCPINCode[1]->isChecked() ? kUnblock : kChange;
}

void ChangePinC::ChangeLanguage() {
    PinDialogBase::ChangeLanguage();
    setWindowTitle(session_.Text(MessageId::ChangeOrUnblockPinCode));
    Frame6->setTitle(session_.Text(MessageId::ChangeOrUnblock));
    Frame5->setTitle(session_.Text(MessageId::PinCode));
    OCPINCode[0]->setText(session_.Text(MessageId::ChangePinCode));
    OCPINCode[1]->setText(session_.Text(MessageId::UnblockPinCode));
    // In unblock mode the first field takes the unblock code rather than the old PIN.
    OldCodeCaption->setText(session_.Text(CurrentMode() == kUnblock ? MessageId::UnblockPinCode
                                                                    : MessageId::OldPinCode));
    NewCodeCaption[0]->setText(session_.Text(MessageId::NewPinCode));
    NewCodeCaption[1]->setText(session_.Text(MessageId::ConfirmNewPinCode));
}

void ChangePinC::OCPINCode_Click(int index) {
    OCPINCode[index == kUnblock ? 1 : 0]->setChecked(true);
    // The code the user chose stays chosen in the other mode, blocked there or not.
    const int chosen = CheckedPin();
    OldCodeCaption->setText(
        session_.Text(index == kUnblock ? MessageId::UnblockPinCode : MessageId::OldPinCode));
    ShowState(chosen == 2 ? 1 : 0);
}

void ChangePinC::ShowState(int preferredPin) {
    const CardInfoRecord& info = session_.CardInfo;
    if (CurrentMode() == kUnblock)
        ShowCounts(info.Puk1Attempts, info.Puk2Attempts, preferredPin);
    else
        ShowCounts(info.Pin1Attempts, info.Pin2Attempts, preferredPin);
}

std::optional<MessageId> ChangePinC::MayHaveTakenEffect() const {
    return CurrentMode() == kUnblock ? MessageId::CodeMayHaveBeenUnblocked
                                     : MessageId::CodeMayHaveChanged;
}

std::optional<int> ChangePinC::JudgedAttempts(int pin) const {
    if (CurrentMode() != kUnblock)
        return PinDialogBase::JudgedAttempts(pin);
    return pin == 2 ? session_.CardInfo.Puk2Attempts : session_.CardInfo.Puk1Attempts;
}

void ChangePinC::OKButton_Click() {
    const int language = session_.LanguageIndex;
    if (!IsPinCode(TOldPINCode->text())) {
        RejectInput(CatalogueMessage(MessageId::OldPinCodeNotValid, language, DialogButtons::Ok,
                                     DialogIcon::Warning),
                    TOldPINCode);
        return;
    }
    for (QLineEdit* field : TNewPINCode) {
        if (!IsPinCode(field->text())) {
            MessageRequest message = CatalogueMessage(MessageId::NewPinCodeNotValid, language,
                                                      DialogButtons::Ok, DialogIcon::Warning);
            message.text += QLatin1Char('\n') + session_.Text(MessageId::PleaseInputNumber);
            RejectInput(message, field);
            return;
        }
    }
    if (TNewPINCode[0]->text() != TNewPINCode[1]->text()) {
        RejectInput(CatalogueMessage(MessageId::NewPinCodeNotConfirmed, language, DialogButtons::Ok,
                                     DialogIcon::Warning),
                    TNewPINCode[1]);
        return;
    }
    const int pin = ChosenPin();
    if (pin == 0)
        return;

    const std::string code = TOldPINCode->text().toStdString();
    const std::string newCode = TNewPINCode[0]->text().toStdString();
    const bool unblock = CurrentMode() == kUnblock;
    const PinOutcome outcome = RunPinOperation([&](Pellucard& engine) {
        return unblock ? engine.UnblockPin(pin, code, newCode)
                       : engine.ChangePin(pin, code, newCode);
    });
    if (outcome == PinOutcome::Refused)
        return;
    if (outcome == PinOutcome::Succeeded) {
        AcceptSuccess();
        return;
    }
    ReportRefusedCode(pin);
}

}  // namespace pellucard
