#pragma once

#include <QObject>
#include <QPointer>

#include "shell/session.h"

class QDialog;
class QWidget;

namespace pellucard {

class ChangePinDialog;
class PinLockDialog;
class VerifyPinDialog;

// Opens the PIN dialogs, one of each kind at a time: not modal from the SIM card information
// window, modal from a record window's card-access gate. Tells when one has closed, so that
// the windows can show the new counters.
class PinDialogLauncher final : public QObject {
    Q_OBJECT

public:
    PinDialogLauncher(Session& session, QWidget* parentWindow);
    ~PinDialogLauncher() override;

    // Not modal. `pinIndex` 0 PIN1, 1 PIN2; `lockIndex` 0 lock, 1 unlock; `modeIndex` 0 change,
    // 1 unblock. An open dialog of the kind is reused. The verify dialog reads the counters
    // first: it does not open (nullptr) while the card is held elsewhere.
    PinLockDialog* showInputPin(int pinIndex, int lockIndex);
    ChangePinDialog* showChangePin(int modeIndex, int pinIndex);
    VerifyPinDialog* showVerifyPin(int pinIndex);

    // Modal, within the run that holds the card: the dialog works through `hold`. True when
    // the operation succeeded (for the verify dialog: on the PIN asked for).
    bool execVerifyPin(int pinIndex, CardGate::Hold& hold);
    bool execChangePin(int modeIndex, int pinIndex, CardGate::Hold& hold);

    // The dialog of the kind while it is open, else nullptr.
    PinLockDialog* openInputPin() const;
    ChangePinDialog* openChangePin() const;
    VerifyPinDialog* openVerifyPin() const;

    // The main window is closing: PinLockDialog, then ChangePinDialog, then VerifyPinDialog.
    void closeAll();
    void changeLanguage();

signals:
    void dialogClosed(PinDialogKind kind);
    // A dialog read the attempt counters after an attempt.
    void countersChanged();

private:
    template <typename Dialog>
    Dialog* open(QPointer<Dialog>& slot, PinDialogKind kind);
    bool runModally(QDialog& dialog);

    Session& session_;
    QWidget* parentWindow_;
    QPointer<PinLockDialog> input_;
    QPointer<ChangePinDialog> change_;
    QPointer<VerifyPinDialog> verify_;
};

}  // namespace pellucard
