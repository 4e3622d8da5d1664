#pragma once

#include "shell/pin_entry_dialog.h"

namespace pellucard {

// Verifies PIN1 or PIN2 with the card. The record windows show it while PIN1 bars access to
// the card's files.
class VerifyPinC final : public PinEntryDialog {
    Q_OBJECT

public:
    VerifyPinC(Session& session, QWidget* parent);

    // Re-reads the counters from the card, captions the dialog and chooses PIN `pinIndex`
    // (0 or 1) where it can.
    void Prepare(int pinIndex, CardGate::Hold& hold);
    void ChangeLanguage() override;

protected:
    CardOutcome RunOperation(Pellucard& engine, const std::string& code, int pin) override;
};

}  // namespace pellucard
