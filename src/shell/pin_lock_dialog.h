#pragma once

#include "shell/pin_entry_dialog.h"

class QGroupBox;
class QRadioButton;

namespace pellucard {

// Switches the PIN1 check of the card on (lock) or off (unlock) with the PIN1 code. GSM 11.11
// lets only CHV1 be switched, so PIN2 cannot be chosen here.
class PinLockDialog final : public PinEntryDialog {
    Q_OBJECT

public:
    PinLockDialog(Session& session, QWidget* parent);

    // Captions the dialog, shows the counters of CardInfo and chooses PIN `pinIndex` (0 or 1)
    // where it can and the lock option `lockIndex` (0 lock, 1 unlock).
    void prepare(int pinIndex, int lockIndex);
    void changeLanguage() override;

    QGroupBox* lockFrame;
    QRadioButton* lockOptions[2];

protected:
    void showState(int preferredPin) override;
    CardOutcome runOperation(Pellucard& engine, const std::string& code, int pin) override;
    std::optional<MessageId> mayHaveTakenEffect() const override {
        return MessageId::CheckMayHaveSwitched;
    }
};

}  // namespace pellucard
