// The PIN dialogs against the virtual card: what the card says decides, the counters follow,
// and input that is not a code never reaches the card.
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "shell/change_pin_dialog.h"
#include "shell/input_pin_dialog.h"
#include "shell/pin_dialog_launcher.h"
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
    return dialog->findChild<QPushButton*>("OKButton");
}

QString CountShown(QDialog* dialog, const char* label) {
    return dialog->findChild<QLabel*>(label)->text();
}

// Verifies PIN1 with `code` in a fresh verify dialog; true when the dialog closed.
bool VerifyPin1(ShellRig& rig, const QString& code) {
    VerifyPinC* dialog = rig.main->PinDialogs().ShowVerifyPin(0);
    Enter(dialog->findChild<QLineEdit*>("TPINCode"), code);
    Press(OkOf(dialog));
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
    void codeThatIsNotANumberNeverReachesTheCard();
    void unlockAndLockPin1();
    void changePin();
    void changeRefusesBadInput_data();
    void changeRefusesBadInput();
    void blockPin1AndUnblockIt();
    void changeWithPin1BlockedStaysOnPin1AndOffersUnblocking();
    void unblockDialogNeverMovesToPin2();
    void lostAnswerSaysTheChangeMayBeInForce_data();
    void lostAnswerSaysTheChangeMayBeInForce();
    void readerFailureNeverShowsACounterAsZero();
    void informationWindowVerifiesPin1();
    void gateVerifiesModally();
    void gateGoesOnToUnblockingWhenTheCodeBlocks();
    void mainWindowClosesOpenDialogs();
};

void PinDialogsTest::verifyRightAndWrong() {
    ShellRig rig;
    rig.TickUntilIdentified();
    VerifyPinC* dialog = rig.main->PinDialogs().ShowVerifyPin(0);
    QVERIFY(rig.session->IsDialogOpen(PinDialogKind::Verify));
    QVERIFY(dialog->findChild<QRadioButton*>("OPIN_0")->isChecked());
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("3"));
    QCOMPARE(dialog->findChild<QLabel*>("LCardId")->text(), QString(kDemoIccid));

    auto* code = dialog->findChild<QLineEdit*>("TPINCode");
    Enter(code, "1111");
    Press(OkOf(dialog));
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QCOMPARE(rig.dialogs.LastMessage().icon, DialogIcon::Warning);
    QVERIFY(rig.dialogs.LastMessage().text.endsWith(QStringLiteral(": 2")));
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("2"));
    QCOMPARE(rig.Info().Pin1Attempts, 2);
    // The window behind shows the new count at once, with the dialog still open.
    QCOMPARE(rig.Info6()->TPIN1State->text(), rig.session->Text(MessageId::RemainPrefix) + "2 " +
                                                  rig.session->Text(MessageId::TimesSuffix));
    // The wrong code is gone and the field has the focus: the right one is typed afresh.
    QVERIFY(code->text().isEmpty());
    QCOMPARE(dialog->focusWidget(), code);

    // The right code after a wrong one costs no further attempt: the counter goes back up,
    // and that is a success.
    QTest::keyClicks(code, "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QVERIFY(!rig.session->IsDialogOpen(PinDialogKind::Verify));
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QVERIFY(rig.Info().Pin1Open);
    // The card is open now: what only an open card gives is read and shown.
    QCOMPARE(rig.Info().Imsi, QString("001010123456789"));
    QCOMPARE(rig.Info6()->TIMSI->text(), QString("001010123456789"));

    // PIN2 too.
    dialog = rig.main->PinDialogs().ShowVerifyPin(1);
    QVERIFY(dialog->findChild<QRadioButton*>("OPIN_1")->isChecked());
    Enter(dialog->findChild<QLineEdit*>("TPINCode"), "5678");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
}

void PinDialogsTest::codeThatIsNotANumberNeverReachesTheCard() {
    ShellRig rig;
    rig.TickUntilIdentified();
    const int commands = rig.Reader().ExecutedCommands();
    VerifyPinC* dialog = rig.main->PinDialogs().ShowVerifyPin(0);
    const int afterOpening = rig.Reader().ExecutedCommands();
    QVERIFY(afterOpening >= commands);
    auto* code = dialog->findChild<QLineEdit*>("TPINCode");
    Enter(code, "12ab");
    Press(OkOf(dialog));
    // One message, and not a word to the card.
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::PinCodeNotValid});
    QCOMPARE(rig.Reader().ExecutedCommands(), afterOpening);
    QVERIFY(dialog->isVisible());
    QCOMPARE(code->selectedText(), QString("12ab"));
    QCOMPARE(rig.Info().Pin1Attempts, 3);  // no attempt was spent

    // Nine digits cannot be typed: the card would take only eight of them.
    Enter(code, "123456789");
    QCOMPARE(code->text(), QString("12345678"));
    dialog->reject();
}

void PinDialogsTest::unlockAndLockPin1() {
    ShellRig rig;
    rig.TickUntilIdentified();
    QVERIFY(!rig.Info().Pin1Open);
    Setting* window = rig.Info6();
    Press(window->ComLPIN[0]);
    InputPinC* dialog = rig.main->PinDialogs().OpenInputPin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QVERIFY(rig.session->IsDialogOpen(PinDialogKind::Input));
    QVERIFY(dialog->OLock[0]->isChecked());
    // Only CHV1 can be switched on and off.
    QVERIFY(!dialog->findChild<QRadioButton*>("OPIN_1")->isEnabled());

    QTest::mouseClick(dialog->OLock[1], Qt::LeftButton);
    Enter(dialog->findChild<QLineEdit*>("TPINCode"), "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QVERIFY(rig.Info().Pin1Open);
    QCOMPARE(window->TIMSI->text(), QString("001010123456789"));

    // Locking with a wrong code fails and says so; with the right one it locks.
    dialog = rig.main->PinDialogs().ShowInputPin(0, 0);
    Enter(dialog->findChild<QLineEdit*>("TPINCode"), "9999");
    Press(OkOf(dialog));
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("2"));
    Enter(dialog->findChild<QLineEdit*>("TPINCode"), "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QVERIFY(!rig.Info().Pin1Open);
    QCOMPARE(rig.Info().Pin1Attempts, 3);
}

void PinDialogsTest::changePin() {
    ShellRig rig;
    rig.TickUntilIdentified();
    Press(rig.Info6()->ComCPIN[0]);
    ChangePinC* dialog = rig.main->PinDialogs().OpenChangePin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->CurrentMode(), ChangePinC::kChange);
    QVERIFY(dialog->findChild<QRadioButton*>("OPIN_0")->isChecked());

    Enter(dialog->TOldPINCode, "1234");
    Enter(dialog->TNewPINCode[0], "4321");
    Enter(dialog->TNewPINCode[1], "4321");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QVERIFY(rig.dialogs.MessageIds().isEmpty());
    QVERIFY(!rig.session->IsDialogOpen(PinDialogKind::Change));

    QVERIFY(!VerifyPin1(rig, "1234"));
    QVERIFY(VerifyPin1(rig, "4321"));

    // A wrong old code: the dialog stays with the lowered count.
    dialog = rig.main->PinDialogs().ShowChangePin(0, 0);
    Enter(dialog->TOldPINCode, "0000");
    Enter(dialog->TNewPINCode[0], "1111");
    Enter(dialog->TNewPINCode[1], "1111");
    rig.dialogs.Clear();
    Press(OkOf(dialog));
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("2"));
}

void PinDialogsTest::changeRefusesBadInput_data() {
    QTest::addColumn<QString>("oldCode");
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<MessageId>("message");
    QTest::addColumn<QString>("selectedField");
    QTest::newRow("confirmation differs")
        << "1234"
        << "4321"
        << "4322" << MessageId::NewPinCodeNotConfirmed << "TNewPINCode_1";
    QTest::newRow("old code not a number")
        << "12a4"
        << "4321"
        << "4321" << MessageId::OldPinCodeNotValid << "TOldPINCode";
    QTest::newRow("new code not a number")
        << "1234"
        << "43x1"
        << "43x1" << MessageId::NewPinCodeNotValid << "TNewPINCode_0";
    QTest::newRow("confirmation empty") << "1234"
                                        << "4321"
                                        << "" << MessageId::NewPinCodeNotValid << "TNewPINCode_1";
}

void PinDialogsTest::changeRefusesBadInput() {
    QFETCH(QString, oldCode);
    QFETCH(QString, newCode);
    QFETCH(QString, confirmation);
    QFETCH(MessageId, message);
    QFETCH(QString, selectedField);
    ShellRig rig;
    rig.TickUntilIdentified();
    ChangePinC* dialog = rig.main->PinDialogs().ShowChangePin(0, 0);
    const int commands = rig.Reader().ExecutedCommands();
    Enter(dialog->TOldPINCode, oldCode);
    Enter(dialog->TNewPINCode[0], newCode);
    Enter(dialog->TNewPINCode[1], confirmation);
    Press(OkOf(dialog));
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{message});
    QCOMPARE(rig.Reader().ExecutedCommands(), commands);  // no card access at all
    QVERIFY(dialog->isVisible());
    auto* field = dialog->findChild<QLineEdit*>(selectedField);
    QCOMPARE(dialog->focusWidget(), field);
    QCOMPARE(field->selectedText(), field->text());
    if (message == MessageId::NewPinCodeNotValid)
        QVERIFY(rig.dialogs.LastMessage().text.endsWith(
            rig.session->Text(MessageId::PleaseInputNumber)));
}

void PinDialogsTest::blockPin1AndUnblockIt() {
    ShellRig rig;
    rig.TickUntilIdentified();
    Setting* window = rig.Info6();
    rig.dialogs.QueueAnswer(DialogAnswer::No);  // "PIN1 is now blocked ... Unblock it now?"
    for (int attempt = 0; attempt < 3; ++attempt)
        QVERIFY(!VerifyPin1(rig, "0000"));
    QCOMPARE(rig.Info().Pin1Attempts, 0);
    QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::CodeBlockedQuestion);
    QCOMPARE(window->TPIN1State->text(), rig.session->Text(MessageId::RemainPrefix) + "0 " +
                                             rig.session->Text(MessageId::TimesSuffix));
    QVERIFY(!window->ComCPIN[0]->isEnabled());
    QVERIFY(window->ComUBPIN[0]->isEnabled());
    QVERIFY(window->ComCPIN[1]->isEnabled());  // PIN2 is untouched
    QVERIFY(!window->ComUBPIN[1]->isEnabled());

    // A blocked PIN1 cannot be tried in a new dialog, nor is PIN2 chosen in its place: OK waits
    // for the user to choose PIN2.
    VerifyPinC* verify = rig.main->PinDialogs().ShowVerifyPin(0);
    QVERIFY(!verify->findChild<QRadioButton*>("OPIN_0")->isEnabled());
    QVERIFY(verify->findChild<QRadioButton*>("OPIN_0")->isChecked());
    QVERIFY(verify->findChild<QRadioButton*>("OPIN_1")->isEnabled());
    QVERIFY(!OkOf(verify)->isEnabled());
    verify->reject();

    Press(window->ComUBPIN[0]);
    ChangePinC* dialog = rig.main->PinDialogs().OpenChangePin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->CurrentMode(), ChangePinC::kUnblock);
    QVERIFY(dialog->findChild<QRadioButton*>("OPIN_0")->isChecked());
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("10"));  // the unblock code's attempts

    rig.dialogs.Clear();
    Enter(dialog->TOldPINCode, "11111111");
    Enter(dialog->TNewPINCode[0], "2468");
    Enter(dialog->TNewPINCode[1], "2468");
    Press(OkOf(dialog));
    QVERIFY(dialog->isVisible());
    // A wrong unblocking code is named as such, with its own attempts left.
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongUnblockCodeAttemptsLeft});
    QVERIFY(rig.dialogs.LastMessage().text.contains(QStringLiteral("PUK1")));
    QVERIFY(rig.dialogs.LastMessage().text.endsWith(QStringLiteral(": 9")));
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("9"));

    Enter(dialog->TOldPINCode, "12345678");
    Enter(dialog->TNewPINCode[0], "2468");
    Enter(dialog->TNewPINCode[1], "2468");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QCOMPARE(rig.Info().Puk1Attempts, 10);
    // Unblocked, the card is open: what only an open card gives is shown at once.
    QCOMPARE(window->TIMSI->text(), QString("001010123456789"));
    QVERIFY(window->ComCPIN[0]->isEnabled());
    QVERIFY(!window->ComUBPIN[0]->isEnabled());
    QVERIFY(VerifyPin1(rig, "2468"));
}

void PinDialogsTest::changeWithPin1BlockedStaysOnPin1AndOffersUnblocking() {
    ShellRig rig;
    rig.TickUntilIdentified();
    ChangePinC* dialog = rig.main->PinDialogs().ShowChangePin(0, 0);
    auto* pin1 = dialog->findChild<QRadioButton*>("OPIN_0");
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt == 2)
            rig.dialogs.QueueAnswer(DialogAnswer::No);
        QTest::keyClicks(dialog->TOldPINCode, "0000");
        QTest::keyClicks(dialog->TNewPINCode[0], "1111");
        QTest::keyClicks(dialog->TNewPINCode[1], "1111");
        Press(OkOf(dialog));
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->TOldPINCode->text().isEmpty());
        QVERIFY(dialog->TNewPINCode[0]->text().isEmpty() &&
                dialog->TNewPINCode[1]->text().isEmpty());
    }
    QCOMPARE(rig.dialogs.MessageIds(),
             (MessageIdList{MessageId::WrongPinCodeAttemptsLeft,
                            MessageId::WrongPinCodeAttemptsLeft, MessageId::CodeBlockedQuestion}));
    const QString blocked = rig.dialogs.LastMessage().text;
    QVERIFY(blocked.contains(QStringLiteral("PIN1")) && blocked.contains(QStringLiteral("PUK1")));
    // Still on PIN1, which cannot be tried any more: PIN2's attempts are never spent here.
    QCOMPARE(dialog->CurrentMode(), ChangePinC::kChange);
    QVERIFY(pin1->isChecked() && !pin1->isEnabled());
    QVERIFY(!dialog->findChild<QRadioButton*>("OPIN_1")->isChecked());
    QVERIFY(!OkOf(dialog)->isEnabled());
    QCOMPARE(rig.Info().Pin2Attempts, 3);
    QCOMPARE(rig.Info6()->TPIN1State->text(), rig.session->Text(MessageId::RemainPrefix) + "0 " +
                                                  rig.session->Text(MessageId::TimesSuffix));
    dialog->reject();

    // PIN2 blocked in the verify dialog, and Yes to the offer: the unblocking dialog follows,
    // on PIN2.
    rig.dialogs.Clear();
    VerifyPinC* verify = rig.main->PinDialogs().ShowVerifyPin(1);
    rig.dialogs.QueueAnswer(DialogAnswer::Yes);
    for (int attempt = 0; attempt < 3; ++attempt) {
        QTest::keyClicks(verify->findChild<QLineEdit*>("TPINCode"), "0000");
        Press(OkOf(verify));
    }
    QVERIFY(!verify->isVisible());  // PIN2 blocked: the verify dialog leaves it to unblocking
    QCOMPARE(rig.Info().Pin2Attempts, 0);
    QTRY_VERIFY(rig.main->PinDialogs().OpenChangePin() != nullptr);
    dialog = rig.main->PinDialogs().OpenChangePin();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->CurrentMode(), ChangePinC::kUnblock);
    QVERIFY(dialog->findChild<QRadioButton*>("OPIN_1")->isChecked());
    QCOMPARE(rig.Info().Pin1Attempts, 0);  // PIN1 was never tried for PIN2
}

void PinDialogsTest::readerFailureNeverShowsACounterAsZero() {
    ShellRig rig;
    rig.TickUntilIdentified();
    Setting* window = rig.Info6();
    const QString zero = rig.session->Text(MessageId::RemainPrefix) + "0 " +
                         rig.session->Text(MessageId::TimesSuffix);
    VerifyPinC* dialog = rig.main->PinDialogs().ShowVerifyPin(0);
    Enter(dialog->findChild<QLineEdit*>("TPINCode"), "1234");
    rig.Reader().Faults().silent = true;
    Press(OkOf(dialog));
    QCOMPARE(rig.dialogs.LastMessage().messageId, MessageId::ReaderFailedCountersUnknown);
    // Not read is not 0: no counter reads as blocked, and unblocking is not offered.
    const CardInfoRecord& info = rig.Info();
    for (const std::optional<int>& count :
         {info.Pin1Attempts, info.Pin2Attempts, info.Puk1Attempts, info.Puk2Attempts})
        QVERIFY(!IsKnown(count, 0));
    for (QLabel* field : {window->TPIN1State, window->TPIN2State, window->TUnblockPIN1State,
                          window->TUnblockPIN2State})
        QVERIFY2(field->text() != zero, qPrintable(field->objectName()));
    QVERIFY(!window->ComUBPIN[0]->isEnabled() && !window->ComUBPIN[1]->isEnabled());
    QVERIFY(dialog->findChild<QLabel*>("PIN1C")->text() != QString("0"));
    dialog->reject();

    // The reader is back: the next polls read the counters again, and the same card's
    // commands are offered as before.
    rig.Reader().Faults().silent = false;
    for (int tick = 0; tick < 4 && !(info.Pin1Attempts && info.Puk2Attempts); ++tick)
        rig.Tick();
    QCOMPARE(info.Pin1Attempts, 3);  // the card never got the command
    QCOMPARE(info.Puk2Attempts, 10);
    QCOMPARE(window->TPIN1State->text(), rig.session->Text(MessageId::RemainPrefix) + "3 " +
                                             rig.session->Text(MessageId::TimesSuffix));
    QVERIFY(window->ComCPIN[0]->isEnabled());
    QVERIFY(!window->ComUBPIN[0]->isEnabled());
}

void PinDialogsTest::unblockDialogNeverMovesToPin2() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.dialogs.QueueAnswer(DialogAnswer::No);  // "PIN1 is now blocked ... Unblock it now?"
    for (int attempt = 0; attempt < 3; ++attempt)
        QVERIFY(!VerifyPin1(rig, "0000"));
    Press(rig.Info6()->ComUBPIN[0]);
    ChangePinC* dialog = rig.main->PinDialogs().OpenChangePin();
    auto* pin1 = dialog->findChild<QRadioButton*>("OPIN_0");
    auto* pin2 = dialog->findChild<QRadioButton*>("OPIN_1");
    QVERIFY(pin1->isChecked() && pin1->isEnabled());

    // Change mode: PIN1 is blocked there, and stays the choice; OK sends nothing.
    QTest::mouseClick(dialog->OCPINCode[0], Qt::LeftButton);
    QCOMPARE(dialog->CurrentMode(), ChangePinC::kChange);
    QVERIFY(pin1->isChecked() && !pin1->isEnabled());
    QVERIFY(!pin2->isChecked());
    QVERIFY(!OkOf(dialog)->isEnabled());
    Enter(dialog->TOldPINCode, "5678");
    Enter(dialog->TNewPINCode[0], "1111");
    Enter(dialog->TNewPINCode[1], "1111");
    const int commands = rig.Reader().ExecutedCommands();
    emit OkOf(dialog)->clicked(false);  // even a stray click
    QCOMPARE(rig.Reader().ExecutedCommands(), commands);
    QCOMPARE(rig.Card().ToImage().chv2.attemptsLeft, 3);

    // Back to unblocking: still PIN1.
    QTest::mouseClick(dialog->OCPINCode[1], Qt::LeftButton);
    QVERIFY(pin1->isChecked() && pin1->isEnabled());
    QVERIFY(OkOf(dialog)->isEnabled());
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
    QDialog* dialog = nullptr;
    if (operation == "change") {
        ChangePinC* change = rig.main->PinDialogs().ShowChangePin(0, 0);
        Enter(change->TOldPINCode, "1234");
        Enter(change->TNewPINCode[0], "4321");
        Enter(change->TNewPINCode[1], "4321");
        dialog = change;
    } else {
        InputPinC* input = rig.main->PinDialogs().ShowInputPin(0, 1);
        Enter(input->findChild<QLineEdit*>("TPINCode"), "1234");
        dialog = input;
    }
    // The card executes the command; its answer never reaches the program.
    rig.Reader().Faults().loseAnswerOf = std::uint8_t(instruction);
    Press(OkOf(dialog));
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

void PinDialogsTest::informationWindowVerifiesPin1() {
    ShellRig rig;
    rig.TickUntilIdentified();
    Setting* window = rig.Info6();
    QCOMPARE(window->TIMSI->text(), QString("-"));
    QVERIFY(window->ComVPIN->isEnabled());
    Press(window->ComVPIN);
    VerifyPinC* dialog = rig.main->PinDialogs().OpenVerifyPin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QVERIFY(dialog->findChild<QRadioButton*>("OPIN_0")->isChecked());
    QTest::keyClicks(dialog->findChild<QLineEdit*>("TPINCode"), "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(window->TIMSI->text(), QString("001010123456789"));
    QVERIFY(window->TSPN->text() != QString("-"));
    QVERIFY(!window->ComVPIN->isEnabled());  // the card is open now
}

void PinDialogsTest::gateVerifiesModally() {
    ShellRig rig;
    rig.TickUntilIdentified();
    QTimer::singleShot(0, rig.main.get(), [&] {
        VerifyPinC* dialog = rig.main->PinDialogs().OpenVerifyPin();
        QVERIFY(dialog != nullptr && dialog->isModal());
        Enter(dialog->findChild<QLineEdit*>("TPINCode"), "1234");
        Press(OkOf(dialog));
    });
    const auto hold = rig.session->Gate().Acquire(CardGate::Work::Run);
    QVERIFY(rig.main->PinDialogs().ExecVerifyPin(0, *hold));
    QVERIFY(rig.Info().Pin1Open);

    QTimer::singleShot(0, rig.main.get(),
                       [&] { rig.main->PinDialogs().OpenChangePin()->reject(); });
    QVERIFY(!rig.main->PinDialogs().ExecChangePin(1, 0, *hold));
}

void PinDialogsTest::gateGoesOnToUnblockingWhenTheCodeBlocks() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.dialogs.QueueAnswer(DialogAnswer::Yes);  // "PIN1 is now blocked ... Unblock it now?"
    int wrongCodes = 0;
    QTimer driver;
    driver.setInterval(5);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        PinDialogLauncher& pins = rig.main->PinDialogs();
        if (VerifyPinC* verify = pins.OpenVerifyPin(); verify && verify->isVisible()) {
            QTest::keyClicks(verify->findChild<QLineEdit*>("TPINCode"), "0000");
            ++wrongCodes;
            Press(OkOf(verify));
        } else if (ChangePinC* change = pins.OpenChangePin(); change && change->isVisible()) {
            QCOMPARE(change->CurrentMode(), ChangePinC::kUnblock);
            QVERIFY(change->findChild<QRadioButton*>("OPIN_0")->isChecked());
            QTest::keyClicks(change->TOldPINCode, "12345678");
            QTest::keyClicks(change->TNewPINCode[0], "1234");
            QTest::keyClicks(change->TNewPINCode[1], "1234");
            Press(OkOf(change));
        }
    });
    driver.start();
    // The record windows' gate: the modal verify dialog, then the unblocking it offers.
    const auto hold = rig.session->Gate().Acquire(CardGate::Work::Run);
    QVERIFY(rig.main->PinDialogs().ExecVerifyPin(0, *hold));
    driver.stop();
    QCOMPARE(wrongCodes, 3);
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QVERIFY(rig.Info().Pin1Open);
}

void PinDialogsTest::mainWindowClosesOpenDialogs() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.main->PinDialogs().ShowInputPin(0, 0);
    rig.main->PinDialogs().ShowChangePin(0, 1);
    QVERIFY(rig.session->IsDialogOpen(PinDialogKind::Input));
    QVERIFY(rig.session->IsDialogOpen(PinDialogKind::Change));
    QVERIFY(rig.main->close());
    QVERIFY(!rig.session->IsDialogOpen(PinDialogKind::Input));
    QVERIFY(!rig.session->IsDialogOpen(PinDialogKind::Change));
    QVERIFY(!rig.Engine().ReaderPresent());
}

QTEST_MAIN(PinDialogsTest)
#include "pin_dialogs_test.moc"
