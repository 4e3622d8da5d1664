#pragma once

#include "shell/pin_dialog_base.h"

namespace pellucard {

// Changes PIN1 or PIN2 (old code, new code twice), or unblocks it with its unblock code and a
// new code. In change mode the counts shown are the PINs' attempts left, in unblock mode those
// of the unblock codes; a PIN can be chosen while the count shown for it is above 0.
class ChangePinC final : public PinDialogBase {
    Q_OBJECT

public:
    enum Mode { kChange = 0, kUnblock = 1 };

    ChangePinC(Session& session, QWidget* parent);

    // Captions the dialog, chooses mode `modeIndex` and PIN `pinIndex` (0 or 1) where it can.
    void Prepare(int modeIndex, int pinIndex);
    void ChangeLanguage() override;
    Mode CurrentMode() const;
    void OCPINCode_Click(int index);

    QGroupBox* Frame6;
    QGroupBox* Frame5;
    QRadioButton* OCPINCode[2];
    QLabel* OldCodeCaption;
    QLabel* NewCodeCaption[2];
    QLineEdit* TOldPINCode;
    QLineEdit* TNewPINCode[2];

protected:
    void ShowState(int preferredPin) override;
    std::optional<int> JudgedAttempts(int pin) const override;
    std::optional<MessageId> MayHaveTakenEffect() const override;
    void OKButton_Click() override;
    void ClearCodes() override;
    bool ShowsUnblockCodes() const override { return CurrentMode() == kUnblock; }
    // A PIN blocked here is unblocked here: the dialog turns to unblock mode on that PIN.
    void OfferUnblock(int pin) override;
};

}  // namespace pellucard
