#pragma once

#include "shell/pin_entry_dialog.h"

namespace pellucard {

// Verifies PIN1 or PIN2 with the card. The record windows show it while PIN1 bars access to
// the card's files.
class VerifyPinDialog final : public PinEntryDialog {
    Q_OBJECT

public:
    VerifyPinDialog(Session& session, QWidget* parent);

    // Re-reads the counters from the card, captions the dialog and chooses PIN `pinIndex`
    // (0 or 1) where it can.
    void prepare(int pinIndex, CardGate::Hold& hold);
    void changeLanguage() override;

protected:
    CardOutcome runOperation(Pellucard& engine, const std::string& code, int pin) override;
};

}  // namespace pellucard
