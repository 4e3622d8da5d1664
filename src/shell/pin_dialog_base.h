#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include "engine/card_outcome.h"
#include "records/dialog_seam.h"
#include "shell/session.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pellucard {

class Pellucard;

// A code the card takes: GSM 11.11 CHVs and unblock codes are decimal digits, at most 8 of them.
inline constexpr int kMaxPinLength = 8;
bool isPinCode(const QString& code);

// What the three PIN dialogs share: the choice of PIN1 or PIN2 with the attempts each has
// left, the card's identity, OK and Cancel, and the open-dialog flag of the session.
class PinDialogBase : public QDialog {
    Q_OBJECT

public:
    ~PinDialogBase() override;

    virtual void changeLanguage();
    // The chosen PIN: 1 or 2, or 0 when the one checked cannot be chosen.
    int chosenPin() const;
    // The PIN checked, 1 or 2, whether it can be chosen or not (a blocked one stays checked).
    int checkedPin() const;
    // The PIN (0 PIN1, 1 PIN2) whose unblocking the user asked for when the code became
    // blocked in this dialog, or -1.
    int unblockRequested() const { return unblockRequested_; }
    // A run that holds the card and opens this dialog modally lends it its hold: the dialog's
    // operation is then part of that run. nullptr takes it back.
    void lendHold(CardGate::Hold* hold);

signals:
    // The attempt counters were read from the card after an attempt: windows that show
    // them follow at once.
    void countersRead();

protected:
    PinDialogBase(Session& session, PinDialogKind kind, QWidget* parent);

    // Shows the counts beside the two PIN options ("-" for a count not read) and lets a PIN be
    // chosen unless its count was read as 0 (PIN2 only when `secondChoosable`). `preferred`
    // (0 or 1) is checked even when it cannot be chosen: the dialog never moves to the other
    // code by itself (an attempt on it would cost that code one); OK waits for the user's choice.
    void showCounts(const std::optional<int>& first, const std::optional<int>& second,
                    int preferred, bool secondChoosable = true);
    // Marks the dialog open, captions it and puts the counts in.
    void activate();
    // The counts this dialog shows, from CardInfo (ShowCounts with this dialog's counters).
    virtual void showState(int preferredPin) = 0;
    // Shows an input error through the dialog seam and selects the offending field.
    void rejectInput(const MessageRequest& message, QLineEdit* field);
    enum class PinOutcome {
        Refused,    // another holds the card; nothing was sent
        Succeeded,  // the card executed the command
        Failed,     // the card refused it, or the link failed (linkFailed_ says which)
    };
    // Runs the engine's PIN operation as the card work of the moment (or in the run that lent
    // its hold), then reads the counters again and, after a success, what only an open card
    // gives. While the polling holds the card, OK is pressed again once it has let go.
    PinOutcome runPinOperation(const std::function<CardOutcome(Pellucard&)>& operation);
    // OK is offered while a PIN can be chosen and the card can be had.
    void updateOkButton();
    // The reader failed during the operation: never "wrong code", but that it failed, that
    // what was asked may already be in force (MayHaveTakenEffect), and what the card's
    // counter, read again, now says (ReportRefusedCode calls it).
    void reportReaderFailure(int pin);
    // The message that says that the operation may have taken effect although its answer was
    // lost; none for a verification, which changes nothing on the card.
    virtual std::optional<MessageId> mayHaveTakenEffect() const { return std::nullopt; }
    // The card refused the code tried for PIN `pin` (1 or 2): the dialog shows the card's
    // counts with that PIN still chosen (it never moves to another code by itself), empties
    // and focuses the code fields so that the next code is not typed after the wrong one,
    // and says how many attempts are left, or that the code is now blocked and how to
    // unblock it.
    void reportRefusedCode(int pin);
    // Empties every code field and focuses the first.
    virtual void clearCodes() = 0;
    // Whether the counts shown are those of the unblocking codes.
    virtual bool showsUnblockCodes() const { return false; }
    // The user wants PIN `pin` (1 or 2), just blocked, unblocked: by default the dialog
    // closes and leaves that to the unblocking dialog.
    virtual void offerUnblock(int pin);
    // The attempts left of the code the last operation presented for PIN `pin` (1 or 2), from
    // CardInfo; nothing when they could not be read.
    virtual std::optional<int> judgedAttempts(int pin) const;
    // The operation succeeded: the card may now give what only an open card gives.
    void acceptSuccess();
    // A code entry field: digits, at most kMaxPinLength of them, shown as dots.
    QLineEdit* newCodeField(const char* name);

    virtual void submit() = 0;

    void done(int result) override;

    Session& session_;
    PinDialogKind kind_;
    CardGate::Hold* lent_ = nullptr;
    int unblockRequested_ = -1;
    bool linkFailed_ = false;    // the reader failed during the last operation
    bool countersKnown_ = true;  // the counters were read after it

    QGroupBox* pinFrame;
    QRadioButton* pinOptions[2];
    QLabel* attemptLabels[4];  // "Remain:" and "Times" beside each PIN
    QLabel* pin1Attempts;
    QLabel* pin2Attempts;
    QLabel* cardIdCaption;  // "Card ID Number"
    QLabel* cardIdValue;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QWidget* body_;  // where each dialog puts its own controls, above the PIN choice
};

}  // namespace pellucard
