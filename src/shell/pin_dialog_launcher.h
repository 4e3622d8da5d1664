#pragma once

#include <QObject>
#include <QPointer>

#include "shell/session.h"

class QWidget;

namespace pellucard {

class ChangePinC;
class InputPinC;
class VerifyPinC;

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
    InputPinC* ShowInputPin(int pinIndex, int lockIndex);
    ChangePinC* ShowChangePin(int modeIndex, int pinIndex);
    VerifyPinC* ShowVerifyPin(int pinIndex);

    // Modal, within the run that holds the card: the dialog works through `hold`. True when
    // the operation succeeded.
    bool ExecVerifyPin(int pinIndex, CardGate::Hold& hold);
    bool ExecChangePin(int modeIndex, int pinIndex, CardGate::Hold& hold);

    // The dialog of the kind while it is open, else nullptr.
    InputPinC* OpenInputPin() const;
    ChangePinC* OpenChangePin() const;
    VerifyPinC* OpenVerifyPin() const;

    // The main window is closing: InputPinC, then ChangePinC, then VerifyPinC.
    void CloseAll();
    void ChangeLanguage();

signals:
    void DialogClosed(PinDialogKind kind);
    // A dialog read the attempt counters after an attempt.
    void CountersChanged();

private:
    template <typename Dialog>
    Dialog* Open(QPointer<Dialog>& slot, PinDialogKind kind);

    Session& session_;
    QWidget* parentWindow_;
    QPointer<InputPinC> input_;
    QPointer<ChangePinC> change_;
    QPointer<VerifyPinC> verify_;
};

}  // namespace pellucard
