#pragma once

#include "shell/pin_dialog_base.h"

namespace pellucard {

// Changes PIN1 or PIN2 (old code, new code twice), or unblocks it with its unblock code and a
// new code. In change mode the counts shown are the PINs' attempts left, in unblock mode those
// of the unblock codes; a PIN can be chosen while the count shown for it is above 0.
class ChangePinDialog final : public PinDialogBase {
    Q_OBJECT

public:
    enum Mode { kChange = 0, kUnblock = 1 };

    ChangePinDialog(Session& session, QWidget* parent);

    // Captions the dialog, chooses mode `modeIndex` and PIN `pinIndex` (0 or 1) where it can.
    void prepare(int modeIndex, int pinIndex);
    void changeLanguage() override;
    Mode currentMode() const;
    void chooseMode(int index);

    QGroupBox* modeFrame;
    QGroupBox* codesFrame;
    QRadioButton* modeOptions[2];
    QLabel* oldCodeCaption;
    QLabel* newCodeCaptions[2];
    QLineEdit* oldCodeField;
    QLineEdit* newCodeFields[2];

protected:
    void showState(int preferredPin) override;
    std::optional<int> judgedAttempts(int pin) const override;
    std::optional<MessageId> mayHaveTakenEffect() const override;
    void submit() override;
    void clearCodes() override;
    bool showsUnblockCodes() const override { return currentMode() == kUnblock; }
    // A PIN blocked here is unblocked here: the dialog turns to unblock mode on that PIN.
    void offerUnblock(int pin) override;
};

}  // namespace pellucard
