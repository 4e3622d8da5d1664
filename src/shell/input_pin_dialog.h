#pragma once

#include "shell/pin_entry_dialog.h"

class QGroupBox;
class QRadioButton;

namespace pellucard {

// Switches the PIN1 check of the card on (lock) or off (unlock) with the PIN1 code. GSM 11.11
// lets only CHV1 be switched, so PIN2 cannot be chosen here.
class InputPinC final : public PinEntryDialog {
    Q_OBJECT

public:
    InputPinC(Session& session, QWidget* parent);

    // Captions the dialog, shows the counters of CardInfo and chooses PIN `pinIndex` (0 or 1)
    // where it can and the lock option `lockIndex` (0 lock, 1 unlock).
    void Prepare(int pinIndex, int lockIndex);
    void ChangeLanguage() override;

    QGroupBox* Frame2;
    QRadioButton* OLock[2];

protected:
    void ShowState(int preferredPin) override;
    CardOutcome RunOperation(Pellucard& engine, const std::string& code, int pin) override;
    std::optional<MessageId> MayHaveTakenEffect() const override {
        return MessageId::CheckMayHaveSwitched;
    }
};

}  // namespace pellucard
