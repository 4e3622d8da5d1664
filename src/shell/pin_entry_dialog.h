#pragma once

#include <string>

#include "shell/pin_dialog_base.h"

class QVBoxLayout;

namespace pellucard {

// A PIN dialog with one code field: the lock/unlock dialog and the verify dialog.
class PinEntryDialog : public PinDialogBase {
    Q_OBJECT

public:
    void ChangeLanguage() override;

protected:
    PinEntryDialog(Session& session, PinDialogKind kind, QWidget* parent);

    // The engine operation this dialog stands for, on PIN `pin` (1 or 2), and its outcome.
    virtual CardOutcome RunOperation(Pellucard& engine, const std::string& code, int pin) = 0;
    void ShowState(int preferredPin) override;
    void OKButton_Click() override;
    void ClearCodes() override;

    QVBoxLayout* bodyLayout_;
    QLabel* CodeCaption;  // "PIN Code"
    QLineEdit* TPINCode;
};

}  // namespace pellucard
