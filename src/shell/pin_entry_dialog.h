#pragma once

#include <string>

#include "shell/pin_dialog_base.h"

class QVBoxLayout;

namespace pellucard {

// A PIN dialog with one code field: the lock/unlock dialog and the verify dialog.
class PinEntryDialog : public PinDialogBase {
    Q_OBJECT

public:
    void changeLanguage() override;

protected:
    PinEntryDialog(Session& session, PinDialogKind kind, QWidget* parent);

    // The engine operation this dialog stands for, on PIN `pin` (1 or 2), and its outcome.
    virtual CardOutcome runOperation(Pellucard& engine, const std::string& code, int pin) = 0;
    void showState(int preferredPin) override;
    void submit() override;
    void clearCodes() override;

    QVBoxLayout* bodyLayout_;
    QLabel* codeCaption;  // "PIN Code"
    QLineEdit* codeField;
};

}  // namespace pellucard
