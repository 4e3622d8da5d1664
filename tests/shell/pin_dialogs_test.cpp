// The PIN dialogs against the virtual card: what the card says decides, the counters follow,
// and input that is not a code never reaches the card.
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "shell/change_pin_dialog.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/pin_lock_dialog.h"
#include "shell/verify_pin_dialog.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

void Enter(QLineEdit* field, const QString& text) {
    field->clear();
    QTest::keyClicks(field, text);
}

void Press(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

QPushButton* OkOf(QDialog* dialog) {
    return dialog->findChild<QPushButton*>("okButton");
}

QRadioButton* PinOption(QDialog* dialog, int chv) {
    return dialog->findChild<QRadioButton*>(QStringLiteral("pinOption_%1").arg(chv));
}

QString CountShown(QDialog* dialog, const char* label) {
    return dialog->findChild<QLabel*>(label)->text();
}

// The information window's words for `count` attempts left.
QString Remaining(ShellRig& rig, int count) {
    return rig.session->text(MessageId::RemainPrefix) + QString::number(count) + " " +
           rig.session->text(MessageId::TimesSuffix);
}

// Types `code` into a verify or lock dialog and presses OK.
void SubmitCode(QDialog* dialog, const QString& code) {
    Enter(dialog->findChild<QLineEdit*>("codeField"), code);
    Press(OkOf(dialog));
}

// Fills in the change dialog's three fields and presses OK.
void SubmitChange(ChangePinDialog* dialog, const QString& oldCode, const QString& newCode,
                  const QString& confirmation) {
    Enter(dialog->oldCodeField, oldCode);
    Enter(dialog->newCodeFields[0], newCode);
    Enter(dialog->newCodeFields[1], confirmation);
    Press(OkOf(dialog));
}

// Verifies PIN1 with `code` in a fresh verify dialog; true when the dialog closed.
bool VerifyPin1(ShellRig& rig, const QString& code) {
    VerifyPinDialog* dialog = rig.main->pinDialogs().showVerifyPin(0);
    SubmitCode(dialog, code);
    const bool closed = !dialog->isVisible();
    if (!closed)
        dialog->reject();
    return closed;
}

}  // namespace

class PinDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void verifyRightAndWrong();
    void badCodesNeverReachTheCard_data();
    void badCodesNeverReachTheCard();
    void blockPin1AndUnblockIt();
    void readerFailureNeverShowsACounterAsZero();
    void lostAnswerSaysTheChangeMayBeInForce_data();
    void lostAnswerSaysTheChangeMayBeInForce();
    void gateClosesModalDialogsLeftUnanswered();
    void gateGoesOnToUnblockingWhenTheCodeBlocks();
    void mainWindowClosesOpenDialogs();
};

void PinDialogsTest::verifyRightAndWrong() {
    ShellRig rig;
    rig.TickUntilIdentified();
    CardInfoWindow* window = rig.cardInfoWindow();
    QCOMPARE(window->imsiValue->text(), QString("-"));
    Press(window->verifyPinButton);  // the information window's own button
    VerifyPinDialog* dialog = rig.main->pinDialogs().openVerifyPin();
    QVERIFY(dialog != nullptr && dialog->isVisible());

    auto* code = dialog->findChild<QLineEdit*>("codeField");
    SubmitCode(dialog, "1111");
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("2"));
    QCOMPARE(rig.Info().Pin1Attempts, 2);
    // The window behind shows the new count at once, with the dialog still open.
    QCOMPARE(window->pin1StateValue->text(), Remaining(rig, 2));
    // The wrong code is gone and the field has the focus: the right one is typed afresh.
    QVERIFY(code->text().isEmpty());
    QCOMPARE(dialog->focusWidget(), code);

    // The right code after a wrong one costs no further attempt: the counter goes back up,
    // and that is a success.
    QTest::keyClicks(code, "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QVERIFY(rig.Info().Pin1Open);
    // The card is open now: what only an open card gives is read and shown.
    QCOMPARE(rig.Info().Imsi, std::string("001010123456789"));
    QCOMPARE(window->imsiValue->text(), QString("001010123456789"));
}

void PinDialogsTest::badCodesNeverReachTheCard_data() {
    QTest::addColumn<bool>("verify");
    QTest::addColumn<QString>("oldCode");
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<MessageId>("message");
    QTest::addColumn<QString>("selectedField");
    const auto row = [](const char* name, bool verify, const char* oldCode, const char* newCode,
                        const char* confirmation, MessageId message, const char* field) {
        QTest::newRow(name) << verify << QString(oldCode) << QString(newCode)
                            << QString(confirmation) << message << QString(field);
    };
    row("verify: not a number", true, "12ab", "", "", MessageId::PinCodeNotValid, "codeField");
    row("confirmation differs", false, "1234", "4321", "4322", MessageId::NewPinCodeNotConfirmed,
        "newCodeField_1");
    row("old code not a number", false, "12a4", "4321", "4321", MessageId::OldPinCodeNotValid,
        "oldCodeField");
    row("confirmation empty", false, "1234", "4321", "", MessageId::NewPinCodeNotValid,
        "newCodeField_1");
}

void PinDialogsTest::badCodesNeverReachTheCard() {
    QFETCH(bool, verify);
    QFETCH(QString, oldCode);
    QFETCH(QString, newCode);
    QFETCH(QString, confirmation);
    QFETCH(MessageId, message);
    QFETCH(QString, selectedField);
    ShellRig rig;
    rig.TickUntilIdentified();
    ChangePinDialog* change = verify ? nullptr : rig.main->pinDialogs().showChangePin(0, 0);
    QDialog* dialog =
        verify ? static_cast<QDialog*>(rig.main->pinDialogs().showVerifyPin(0)) : change;
    const int commands = rig.Reader().ExecutedCommands();
    if (verify)
        SubmitCode(dialog, oldCode);
    else
        SubmitChange(change, oldCode, newCode, confirmation);
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{message});
    QCOMPARE(rig.Reader().ExecutedCommands(), commands);  // no card access at all
    QCOMPARE(rig.Info().Pin1Attempts, 3);                 // no attempt was spent
    QVERIFY(dialog->isVisible());
    auto* field = dialog->findChild<QLineEdit*>(selectedField);
    QCOMPARE(dialog->focusWidget(), field);
    QCOMPARE(field->selectedText(), field->text());
}

// Three wrong codes in the change dialog block PIN1 (No to the offer to unblock it): the dialog
// stays on PIN1 and never sends PIN2's code in its place; the information window offers
// unblocking, whose wrong code is named as such.
void PinDialogsTest::blockPin1AndUnblockIt() {
    ShellRig rig;
    rig.TickUntilIdentified();
    CardInfoWindow* window = rig.cardInfoWindow();
    ChangePinDialog* dialog = rig.main->pinDialogs().showChangePin(0, 0);
    auto* pin1 = PinOption(dialog, 0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt == 2)
            rig.dialogs.QueueAnswer(DialogAnswer::No);
        SubmitChange(dialog, "0000", "1111", "1111");
        QVERIFY(dialog->isVisible());
    }
    QCOMPARE(rig.dialogs.MessageIds(),
             (MessageIdList{MessageId::WrongPinCodeAttemptsLeft,
                            MessageId::WrongPinCodeAttemptsLeft, MessageId::CodeBlockedQuestion}));
    QCOMPARE(dialog->currentMode(), ChangePinDialog::kChange);
    QVERIFY(pin1->isChecked() && !pin1->isEnabled());
    QVERIFY(!PinOption(dialog, 1)->isChecked());
    QVERIFY(!OkOf(dialog)->isEnabled());
    Enter(dialog->oldCodeField, "5678");
    Enter(dialog->newCodeFields[0], "1111");
    Enter(dialog->newCodeFields[1], "1111");
    const int commands = rig.Reader().ExecutedCommands();
    emit OkOf(dialog)->clicked(false);  // a stray click
    QCOMPARE(rig.Reader().ExecutedCommands(), commands);
    QCOMPARE(rig.Info().Pin2Attempts, 3);
    dialog->reject();
    QCOMPARE(window->pin1StateValue->text(), Remaining(rig, 0));
    QVERIFY(!window->changePinButtons[0]->isEnabled());

    Press(window->unblockPinButtons[0]);
    dialog = rig.main->pinDialogs().openChangePin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->currentMode(), ChangePinDialog::kUnblock);
    pin1 = PinOption(dialog, 0);
    QVERIFY(pin1->isChecked() && pin1->isEnabled());
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("10"));  // the unblock code's attempts

    rig.dialogs.Clear();
    SubmitChange(dialog, "11111111", "2468", "2468");
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongUnblockCodeAttemptsLeft});
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("9"));

    SubmitChange(dialog, "12345678", "2468", "2468");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QCOMPARE(rig.Info().Puk1Attempts, 10);
    // Unblocked, the card is open: what only an open card gives is shown at once.
    QCOMPARE(window->imsiValue->text(), QString("001010123456789"));
    QVERIFY(VerifyPin1(rig, "2468"));
}

// A verify whose answer never comes: said so, and no counter is shown as 0 (blocked), since
// not read is not 0; unblocking is not offered.
void PinDialogsTest::readerFailureNeverShowsACounterAsZero() {
    ShellRig rig;
    rig.TickUntilIdentified();
    CardInfoWindow* window = rig.cardInfoWindow();
    VerifyPinDialog* dialog = rig.main->pinDialogs().showVerifyPin(0);
    Enter(dialog->findChild<QLineEdit*>("codeField"), "1234");
    rig.Reader().Faults().silent = true;
    Press(OkOf(dialog));
    QCOMPARE(rig.dialogs.LastMessage().messageId, MessageId::ReaderFailedCountersUnknown);
    for (QLabel* field : {window->pin1StateValue, window->pin2StateValue, window->puk1StateValue,
                          window->puk2StateValue})
        QVERIFY2(field->text() != Remaining(rig, 0), qPrintable(field->objectName()));
    QVERIFY(!window->unblockPinButtons[0]->isEnabled() &&
            !window->unblockPinButtons[1]->isEnabled());
    QVERIFY(CountShown(dialog, "PIN1C") != QString("0"));
    dialog->reject();
}

void PinDialogsTest::lostAnswerSaysTheChangeMayBeInForce_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("instruction");
    QTest::addColumn<MessageId>("message");
    QTest::newRow("change") << "change" << 0x24 << MessageId::CodeMayHaveChanged;
    QTest::newRow("unlock") << "unlock" << 0x26 << MessageId::CheckMayHaveSwitched;
}

void PinDialogsTest::lostAnswerSaysTheChangeMayBeInForce() {
    QFETCH(QString, operation);
    QFETCH(int, instruction);
    QFETCH(MessageId, message);
    ShellRig rig;
    rig.TickUntilIdentified();
    // The card executes the command; its answer never reaches the program.
    rig.Reader().Faults().loseAnswerOf = std::uint8_t(instruction);
    QDialog* dialog = nullptr;
    if (operation == "change") {
        ChangePinDialog* change = rig.main->pinDialogs().showChangePin(0, 0);
        SubmitChange(change, "1234", "4321", "4321");
        dialog = change;
    } else {
        dialog = rig.main->pinDialogs().showInputPin(0, 1);
        SubmitCode(dialog, "1234");
    }
    rig.Reader().Faults().loseAnswerOf.reset();
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{message});
    const QString text = rig.dialogs.LastMessage().text;
    // Never "wrong" or "failed": it may be in force, the card should be checked, and the counter
    // was read again before anything was shown.
    QVERIFY2(text.endsWith(Message(MessageId::AttemptsLeftReadAgain, 0).arg(3)), qPrintable(text));
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QVERIFY(dialog->isVisible());
    dialog->reject();
    if (operation == "change")
        QVERIFY(VerifyPin1(rig, "4321"));  // it was in force
    else
        QVERIFY(!rig.Card().ToImage().chv1Enabled);
}

// The record windows' gate runs the dialogs modally (a verify answered there is how every record
// window test reads the card): a dialog the user rejects, or one the seam returns unanswered,
// gives false and is closed, not left open.
void PinDialogsTest::gateClosesModalDialogsLeftUnanswered() {
    ShellRig rig;
    rig.TickUntilIdentified();
    PinDialogLauncher& pins = rig.main->pinDialogs();
    const auto hold = rig.session->gate().acquire(CardGate::Work::Run);
    rig.dialogs.RunModalWith([&](QDialog& modal) { modal.reject(); });
    QVERIFY(!pins.execChangePin(1, 0, *hold));

    // A modal dialog the seam returns unanswered is rejected and closed, not left open.
    rig.dialogs.RunModalWith([](QDialog&) {});
    QVERIFY(!pins.execChangePin(1, 0, *hold));
    QVERIFY(!rig.session->isDialogOpen(PinDialogKind::Change));
    QVERIFY(pins.openChangePin() == nullptr);
    QVERIFY(rig.dialogs.Unexpected().isEmpty());
}

void PinDialogsTest::gateGoesOnToUnblockingWhenTheCodeBlocks() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.dialogs.QueueAnswer(DialogAnswer::Yes);  // "PIN1 is now blocked ... Unblock it now?"
    PinDialogLauncher& pins = rig.main->pinDialogs();
    int wrongCodes = 0;
    int unblockings = 0;
    rig.dialogs.RunModalWith([&](QDialog& modal) {
        if (auto* verify = qobject_cast<VerifyPinDialog*>(&modal)) {
            // Wrong codes until the dialog closes on the blocked code.
            while (pins.openVerifyPin() == verify && wrongCodes < 5) {
                verify->findChild<QLineEdit*>("codeField")->setText("0000");
                ++wrongCodes;
                OkOf(verify)->click();
            }
        } else if (auto* change = qobject_cast<ChangePinDialog*>(&modal)) {
            ++unblockings;
            QVERIFY(change->isModal());
            QCOMPARE(change->currentMode(), ChangePinDialog::kUnblock);
            QVERIFY(change->findChild<QRadioButton*>("pinOption_0")->isChecked());
            change->oldCodeField->setText("12345678");
            change->newCodeFields[0]->setText("1234");
            change->newCodeFields[1]->setText("1234");
            OkOf(change)->click();
        }
    });
    // The record windows' gate: the modal verify dialog, then the unblocking it offers.
    const auto hold = rig.session->gate().acquire(CardGate::Work::Run);
    QVERIFY(pins.execVerifyPin(0, *hold));
    QCOMPARE(wrongCodes, 3);
    QCOMPARE(unblockings, 1);
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QVERIFY(rig.Info().Pin1Open);
    // The modal path alone went on to unblocking: no dialog beside the windows opens later.
    QTest::qWait(20);
    QVERIFY(pins.openChangePin() == nullptr);
}

void PinDialogsTest::mainWindowClosesOpenDialogs() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.main->pinDialogs().showInputPin(0, 0);
    rig.main->pinDialogs().showChangePin(0, 1);
    QVERIFY(rig.session->isDialogOpen(PinDialogKind::Input));
    QVERIFY(rig.session->isDialogOpen(PinDialogKind::Change));
    QVERIFY(rig.main->close());
    QVERIFY(!rig.session->isDialogOpen(PinDialogKind::Input));
    QVERIFY(!rig.session->isDialogOpen(PinDialogKind::Change));
}

QTEST_MAIN(PinDialogsTest)
#include "pin_dialogs_test.moc"
