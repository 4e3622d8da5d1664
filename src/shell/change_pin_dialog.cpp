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
ChangePinDialog::ChangePinDialog(Session& session, QWidget* parent)
    : PinDialogBase(session, PinDialogKind::Change, parent) {
    setObjectName("changePinDialog");
    auto* layout = new QVBoxLayout(body_);
    layout->setContentsMargins(0, 0, 0, 0);

    modeFrame = new QGroupBox(body_);
    modeFrame->setObjectName("modeFrame");
    auto* modes = new QHBoxLayout(modeFrame);
    for (int i = 0; i < 2; ++i) {
        modeOptions[i] = new QRadioButton(modeFrame);
        modeOptions[i]->setObjectName(QStringLiteral("modeOption_%1").arg(i));
        modes->addWidget(modeOptions[i]);
        connect(modeOptions[i], &QRadioButton::clicked, this, [this, i] { chooseMode(i); });
    }
    modeOptions[0]->setChecked(true);
    layout->addWidget(modeFrame);

    codesFrame = new QGroupBox(body_);
    codesFrame->setObjectName("codesFrame");
    auto* codes = new QFormLayout(codesFrame);
    oldCodeCaption = new QLabel(codesFrame);
    oldCodeCaption->setObjectName("oldCodeCaption");
    oldCodeField = newCodeField("oldCodeField");
    codes->addRow(oldCodeCaption, oldCodeField);
    for (int i = 0; i < 2; ++i) {
        newCodeCaptions[i] = new QLabel(codesFrame);
        newCodeCaptions[i]->setObjectName(QStringLiteral("newCodeCaption_%1").arg(i + 2));
        newCodeFields[i] = newCodeField(i == 0 ? "newCodeField_0" : "newCodeField_1");
        codes->addRow(newCodeCaptions[i], newCodeFields[i]);
    }
    layout->addWidget(codesFrame);
}

void ChangePinDialog::prepare(int modeIndex, int pinIndex) {
    modeOptions[modeIndex == kUnblock ? 1 : 0]->setChecked(true);
    activate();
    showState(pinIndex);
    clearCodes();
}

void ChangePinDialog::clearCodes() {
    oldCodeField->clear();
    for (QLineEdit* field : newCodeFields)
        field->clear();
    oldCodeField->setFocus();
}

void ChangePinDialog::offerUnblock(int pin) {
    modeOptions[1]->setChecked(true);
    oldCodeCaption->setText(session_.text(MessageId::UnblockPinCode));
    showState(pin == 2 ? 1 : 0);
    clearCodes();
}

ChangePinDialog::Mode ChangePinDialog::currentMode() const {
    return modeOptions[1]->isChecked() ? kUnblock : kChange;
}

void ChangePinDialog::changeLanguage() {
    PinDialogBase::changeLanguage();
    setWindowTitle(session_.text(MessageId::ChangeOrUnblockPinCode));
    modeFrame->setTitle(session_.text(MessageId::ChangeOrUnblock));
    codesFrame->setTitle(session_.text(MessageId::PinCode));
    modeOptions[0]->setText(session_.text(MessageId::ChangePinCode));
    modeOptions[1]->setText(session_.text(MessageId::UnblockPinCode));
    // In unblock mode the first field takes the unblock code rather than the old PIN.
    oldCodeCaption->setText(session_.text(currentMode() == kUnblock ? MessageId::UnblockPinCode
                                                                    : MessageId::OldPinCode));
    newCodeCaptions[0]->setText(session_.text(MessageId::NewPinCode));
    newCodeCaptions[1]->setText(session_.text(MessageId::ConfirmNewPinCode));
}

void ChangePinDialog::chooseMode(int index) {
    modeOptions[index == kUnblock ? 1 : 0]->setChecked(true);
    // The code the user chose stays chosen in the other mode, blocked there or not.
    const int chosen = checkedPin();
    oldCodeCaption->setText(
        session_.text(index == kUnblock ? MessageId::UnblockPinCode : MessageId::OldPinCode));
    showState(chosen == 2 ? 1 : 0);
}

void ChangePinDialog::showState(int preferredPin) {
    const CardInfo& info = session_.cardInfo();
    if (currentMode() == kUnblock)
        showCounts(info.Puk1Attempts, info.Puk2Attempts, preferredPin);
    else
        showCounts(info.Pin1Attempts, info.Pin2Attempts, preferredPin);
}

std::optional<MessageId> ChangePinDialog::mayHaveTakenEffect() const {
    return currentMode() == kUnblock ? MessageId::CodeMayHaveBeenUnblocked
                                     : MessageId::CodeMayHaveChanged;
}

std::optional<int> ChangePinDialog::judgedAttempts(int pin) const {
    if (currentMode() != kUnblock)
        return PinDialogBase::judgedAttempts(pin);
    return pin == 2 ? session_.cardInfo().Puk2Attempts : session_.cardInfo().Puk1Attempts;
}

void ChangePinDialog::submit() {
    const int language = session_.languageIndex();
    if (!isPinCode(oldCodeField->text())) {
        rejectInput(CatalogueMessage(MessageId::OldPinCodeNotValid, language, DialogButtons::Ok,
                                     DialogIcon::Warning),
                    oldCodeField);
        return;
    }
    for (QLineEdit* field : newCodeFields) {
        if (!isPinCode(field->text())) {
            MessageRequest message = CatalogueMessage(MessageId::NewPinCodeNotValid, language,
                                                      DialogButtons::Ok, DialogIcon::Warning);
            message.text += QLatin1Char('\n') + session_.text(MessageId::PleaseInputNumber);
            rejectInput(message, field);
            return;
        }
    }
    if (newCodeFields[0]->text() != newCodeFields[1]->text()) {
        rejectInput(CatalogueMessage(MessageId::NewPinCodeNotConfirmed, language, DialogButtons::Ok,
                                     DialogIcon::Warning),
                    newCodeFields[1]);
        return;
    }
    const int pin = chosenPin();
    if (pin == 0)
        return;

    const std::string code = oldCodeField->text().toStdString();
    const std::string newCode = newCodeFields[0]->text().toStdString();
    const bool unblock = currentMode() == kUnblock;
    const PinOutcome outcome = runPinOperation([&](Pellucard& engine) {
        return unblock ? engine.UnblockPin(pin, code, newCode)
                       : engine.ChangePin(pin, code, newCode);
    });
    if (outcome == PinOutcome::Refused)
        return;
    if (outcome == PinOutcome::Succeeded) {
        acceptSuccess();
        return;
    }
    reportRefusedCode(pin);
}

}  // namespace pellucard
