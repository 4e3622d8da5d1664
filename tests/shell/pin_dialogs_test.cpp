// The PIN dialogs against the virtual card: what the card says decides, the counters follow,
// and input that is not a code never reaches the card.
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

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

QString CountShown(QDialog* dialog, const char* label) {
    return dialog->findChild<QLabel*>(label)->text();
}

// Verifies PIN1 with `code` in a fresh verify dialog; true when the dialog closed.
bool VerifyPin1(ShellRig& rig, const QString& code) {
    VerifyPinDialog* dialog = rig.main->pinDialogs().showVerifyPin(0);
    Enter(dialog->findChild<QLineEdit*>("codeField"), code);
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
    VerifyPinDialog* dialog = rig.main->pinDialogs().showVerifyPin(0);
    QVERIFY(rig.session->isDialogOpen(PinDialogKind::Verify));
    QVERIFY(dialog->findChild<QRadioButton*>("pinOption_0")->isChecked());
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("3"));
    QCOMPARE(dialog->findChild<QLabel*>("cardIdValue")->text(), QString(kDemoIccid));

    auto* code = dialog->findChild<QLineEdit*>("codeField");
    Enter(code, "1111");
    Press(OkOf(dialog));
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QCOMPARE(rig.dialogs.LastMessage().icon, DialogIcon::Warning);
    QVERIFY(rig.dialogs.LastMessage().text.endsWith(QStringLiteral(": 2")));
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("2"));
    QCOMPARE(rig.Info().Pin1Attempts, 2);
    // The window behind shows the new count at once, with the dialog still open.
    QCOMPARE(rig.cardInfoWindow()->pin1StateValue->text(),
             rig.session->text(MessageId::RemainPrefix) + "2 " +
                 rig.session->text(MessageId::TimesSuffix));
    // The wrong code is gone and the field has the focus: the right one is typed afresh.
    QVERIFY(code->text().isEmpty());
    QCOMPARE(dialog->focusWidget(), code);

    // The right code after a wrong one costs no further attempt: the counter goes back up,
    // and that is a success.
    QTest::keyClicks(code, "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QVERIFY(!rig.session->isDialogOpen(PinDialogKind::Verify));
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QVERIFY(rig.Info().Pin1Open);
    // The card is open now: what only an open card gives is read and shown.
    QCOMPARE(rig.Info().Imsi, std::string("001010123456789"));
    QCOMPARE(rig.cardInfoWindow()->imsiValue->text(), QString("001010123456789"));

    // PIN2 too.
    dialog = rig.main->pinDialogs().showVerifyPin(1);
    QVERIFY(dialog->findChild<QRadioButton*>("pinOption_1")->isChecked());
    Enter(dialog->findChild<QLineEdit*>("codeField"), "5678");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
}

void PinDialogsTest::codeThatIsNotANumberNeverReachesTheCard() {
    ShellRig rig;
    rig.TickUntilIdentified();
    VerifyPinDialog* dialog = rig.main->pinDialogs().showVerifyPin(0);
    const int afterOpening = rig.Reader().ExecutedCommands();
    auto* code = dialog->findChild<QLineEdit*>("codeField");
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
    CardInfoWindow* window = rig.cardInfoWindow();
    Press(window->pinCheckButtons[0]);
    PinLockDialog* dialog = rig.main->pinDialogs().openInputPin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QVERIFY(rig.session->isDialogOpen(PinDialogKind::Input));
    QVERIFY(dialog->lockOptions[0]->isChecked());
    // Only CHV1 can be switched on and off.
    QVERIFY(!dialog->findChild<QRadioButton*>("pinOption_1")->isEnabled());

    QTest::mouseClick(dialog->lockOptions[1], Qt::LeftButton);
    Enter(dialog->findChild<QLineEdit*>("codeField"), "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QVERIFY(rig.Info().Pin1Open);
    QCOMPARE(window->imsiValue->text(), QString("001010123456789"));

    // Locking with a wrong code fails and says so; with the right one it locks.
    dialog = rig.main->pinDialogs().showInputPin(0, 0);
    Enter(dialog->findChild<QLineEdit*>("codeField"), "9999");
    Press(OkOf(dialog));
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongPinCodeAttemptsLeft});
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("2"));
    Enter(dialog->findChild<QLineEdit*>("codeField"), "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QVERIFY(!rig.Info().Pin1Open);
    QCOMPARE(rig.Info().Pin1Attempts, 3);
}

void PinDialogsTest::changePin() {
    ShellRig rig;
    rig.TickUntilIdentified();
    Press(rig.cardInfoWindow()->changePinButtons[0]);
    ChangePinDialog* dialog = rig.main->pinDialogs().openChangePin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->currentMode(), ChangePinDialog::kChange);
    QVERIFY(dialog->findChild<QRadioButton*>("pinOption_0")->isChecked());

    Enter(dialog->oldCodeField, "1234");
    Enter(dialog->newCodeFields[0], "4321");
    Enter(dialog->newCodeFields[1], "4321");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QVERIFY(rig.dialogs.MessageIds().isEmpty());
    QVERIFY(!rig.session->isDialogOpen(PinDialogKind::Change));

    QVERIFY(!VerifyPin1(rig, "1234"));
    QVERIFY(VerifyPin1(rig, "4321"));

    // A wrong old code: the dialog stays with the lowered count.
    dialog = rig.main->pinDialogs().showChangePin(0, 0);
    Enter(dialog->oldCodeField, "0000");
    Enter(dialog->newCodeFields[0], "1111");
    Enter(dialog->newCodeFields[1], "1111");
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
        << "4322" << MessageId::NewPinCodeNotConfirmed << "newCodeField_1";
    QTest::newRow("old code not a number")
        << "12a4"
        << "4321"
        << "4321" << MessageId::OldPinCodeNotValid << "oldCodeField";
    QTest::newRow("new code not a number")
        << "1234"
        << "43x1"
        << "43x1" << MessageId::NewPinCodeNotValid << "newCodeField_0";
    QTest::newRow("confirmation empty") << "1234"
                                        << "4321"
                                        << "" << MessageId::NewPinCodeNotValid << "newCodeField_1";
}

void PinDialogsTest::changeRefusesBadInput() {
    QFETCH(QString, oldCode);
    QFETCH(QString, newCode);
    QFETCH(QString, confirmation);
    QFETCH(MessageId, message);
    QFETCH(QString, selectedField);
    ShellRig rig;
    rig.TickUntilIdentified();
    ChangePinDialog* dialog = rig.main->pinDialogs().showChangePin(0, 0);
    const int commands = rig.Reader().ExecutedCommands();
    Enter(dialog->oldCodeField, oldCode);
    Enter(dialog->newCodeFields[0], newCode);
    Enter(dialog->newCodeFields[1], confirmation);
    Press(OkOf(dialog));
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{message});
    QCOMPARE(rig.Reader().ExecutedCommands(), commands);  // no card access at all
    QVERIFY(dialog->isVisible());
    auto* field = dialog->findChild<QLineEdit*>(selectedField);
    QCOMPARE(dialog->focusWidget(), field);
    QCOMPARE(field->selectedText(), field->text());
    if (message == MessageId::NewPinCodeNotValid)
        QVERIFY(rig.dialogs.LastMessage().text.endsWith(
            rig.session->text(MessageId::PleaseInputNumber)));
}

void PinDialogsTest::blockPin1AndUnblockIt() {
    ShellRig rig;
    rig.TickUntilIdentified();
    CardInfoWindow* window = rig.cardInfoWindow();
    rig.dialogs.QueueAnswer(DialogAnswer::No);  // "PIN1 is now blocked ... Unblock it now?"
    for (int attempt = 0; attempt < 3; ++attempt)
        QVERIFY(!VerifyPin1(rig, "0000"));
    QCOMPARE(rig.Info().Pin1Attempts, 0);
    QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::CodeBlockedQuestion);
    QCOMPARE(window->pin1StateValue->text(), rig.session->text(MessageId::RemainPrefix) + "0 " +
                                                 rig.session->text(MessageId::TimesSuffix));
    QVERIFY(!window->changePinButtons[0]->isEnabled());
    QVERIFY(window->unblockPinButtons[0]->isEnabled());
    QVERIFY(window->changePinButtons[1]->isEnabled());  // PIN2 is untouched
    QVERIFY(!window->unblockPinButtons[1]->isEnabled());

    // A blocked PIN1 cannot be tried in a new dialog, nor is PIN2 chosen in its place: OK waits
    // for the user to choose PIN2.
    VerifyPinDialog* verify = rig.main->pinDialogs().showVerifyPin(0);
    QVERIFY(!verify->findChild<QRadioButton*>("pinOption_0")->isEnabled());
    QVERIFY(verify->findChild<QRadioButton*>("pinOption_0")->isChecked());
    QVERIFY(verify->findChild<QRadioButton*>("pinOption_1")->isEnabled());
    QVERIFY(!OkOf(verify)->isEnabled());
    verify->reject();

    Press(window->unblockPinButtons[0]);
    ChangePinDialog* dialog = rig.main->pinDialogs().openChangePin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->currentMode(), ChangePinDialog::kUnblock);
    QVERIFY(dialog->findChild<QRadioButton*>("pinOption_0")->isChecked());
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("10"));  // the unblock code's attempts

    rig.dialogs.Clear();
    Enter(dialog->oldCodeField, "11111111");
    Enter(dialog->newCodeFields[0], "2468");
    Enter(dialog->newCodeFields[1], "2468");
    Press(OkOf(dialog));
    QVERIFY(dialog->isVisible());
    // A wrong unblocking code is named as such, with its own attempts left.
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::WrongUnblockCodeAttemptsLeft});
    QVERIFY(rig.dialogs.LastMessage().text.contains(QStringLiteral("PUK1")));
    QVERIFY(rig.dialogs.LastMessage().text.endsWith(QStringLiteral(": 9")));
    QCOMPARE(CountShown(dialog, "PIN1C"), QString("9"));

    Enter(dialog->oldCodeField, "12345678");
    Enter(dialog->newCodeFields[0], "2468");
    Enter(dialog->newCodeFields[1], "2468");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QCOMPARE(rig.Info().Puk1Attempts, 10);
    // Unblocked, the card is open: what only an open card gives is shown at once.
    QCOMPARE(window->imsiValue->text(), QString("001010123456789"));
    QVERIFY(window->changePinButtons[0]->isEnabled());
    QVERIFY(!window->unblockPinButtons[0]->isEnabled());
    QVERIFY(VerifyPin1(rig, "2468"));
}

void PinDialogsTest::changeWithPin1BlockedStaysOnPin1AndOffersUnblocking() {
    ShellRig rig;
    rig.TickUntilIdentified();
    ChangePinDialog* dialog = rig.main->pinDialogs().showChangePin(0, 0);
    auto* pin1 = dialog->findChild<QRadioButton*>("pinOption_0");
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt == 2)
            rig.dialogs.QueueAnswer(DialogAnswer::No);
        QTest::keyClicks(dialog->oldCodeField, "0000");
        QTest::keyClicks(dialog->newCodeFields[0], "1111");
        QTest::keyClicks(dialog->newCodeFields[1], "1111");
        Press(OkOf(dialog));
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->oldCodeField->text().isEmpty());
        QVERIFY(dialog->newCodeFields[0]->text().isEmpty() &&
                dialog->newCodeFields[1]->text().isEmpty());
    }
    QCOMPARE(rig.dialogs.MessageIds(),
             (MessageIdList{MessageId::WrongPinCodeAttemptsLeft,
                            MessageId::WrongPinCodeAttemptsLeft, MessageId::CodeBlockedQuestion}));
    const QString blocked = rig.dialogs.LastMessage().text;
    QVERIFY(blocked.contains(QStringLiteral("PIN1")) && blocked.contains(QStringLiteral("PUK1")));
    // Still on PIN1, which cannot be tried any more: PIN2's attempts are never spent here.
    QCOMPARE(dialog->currentMode(), ChangePinDialog::kChange);
    QVERIFY(pin1->isChecked() && !pin1->isEnabled());
    QVERIFY(!dialog->findChild<QRadioButton*>("pinOption_1")->isChecked());
    QVERIFY(!OkOf(dialog)->isEnabled());
    QCOMPARE(rig.Info().Pin2Attempts, 3);
    QCOMPARE(rig.cardInfoWindow()->pin1StateValue->text(),
             rig.session->text(MessageId::RemainPrefix) + "0 " +
                 rig.session->text(MessageId::TimesSuffix));
    dialog->reject();

    // PIN2 blocked in the verify dialog, and Yes to the offer: the unblocking dialog follows,
    // on PIN2.
    rig.dialogs.Clear();
    VerifyPinDialog* verify = rig.main->pinDialogs().showVerifyPin(1);
    rig.dialogs.QueueAnswer(DialogAnswer::Yes);
    for (int attempt = 0; attempt < 3; ++attempt) {
        QTest::keyClicks(verify->findChild<QLineEdit*>("codeField"), "0000");
        Press(OkOf(verify));
    }
    QVERIFY(!verify->isVisible());  // PIN2 blocked: the verify dialog leaves it to unblocking
    QCOMPARE(rig.Info().Pin2Attempts, 0);
    QTRY_VERIFY(rig.main->pinDialogs().openChangePin() != nullptr);
    dialog = rig.main->pinDialogs().openChangePin();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->currentMode(), ChangePinDialog::kUnblock);
    QVERIFY(dialog->findChild<QRadioButton*>("pinOption_1")->isChecked());
    QCOMPARE(rig.Info().Pin1Attempts, 0);  // PIN1 was never tried for PIN2
}

void PinDialogsTest::readerFailureNeverShowsACounterAsZero() {
    ShellRig rig;
    rig.TickUntilIdentified();
    CardInfoWindow* window = rig.cardInfoWindow();
    const QString zero = rig.session->text(MessageId::RemainPrefix) + "0 " +
                         rig.session->text(MessageId::TimesSuffix);
    VerifyPinDialog* dialog = rig.main->pinDialogs().showVerifyPin(0);
    Enter(dialog->findChild<QLineEdit*>("codeField"), "1234");
    rig.Reader().Faults().silent = true;
    Press(OkOf(dialog));
    QCOMPARE(rig.dialogs.LastMessage().messageId, MessageId::ReaderFailedCountersUnknown);
    // Not read is not 0: no counter reads as blocked, and unblocking is not offered.
    const CardInfo& info = rig.Info();
    for (const std::optional<int>& count :
         {info.Pin1Attempts, info.Pin2Attempts, info.Puk1Attempts, info.Puk2Attempts})
        QVERIFY(!IsKnown(count, 0));
    for (QLabel* field : {window->pin1StateValue, window->pin2StateValue, window->puk1StateValue,
                          window->puk2StateValue})
        QVERIFY2(field->text() != zero, qPrintable(field->objectName()));
    QVERIFY(!window->unblockPinButtons[0]->isEnabled() &&
            !window->unblockPinButtons[1]->isEnabled());
    QVERIFY(dialog->findChild<QLabel*>("PIN1C")->text() != QString("0"));
    dialog->reject();

    // The reader is back: the next polls read the counters again, and the same card's
    // commands are offered as before.
    rig.Reader().Faults().silent = false;
    for (int tick = 0; tick < 4 && !(info.Pin1Attempts && info.Puk2Attempts); ++tick)
        rig.Tick();
    QCOMPARE(info.Pin1Attempts, 3);  // the card never got the command
    QCOMPARE(info.Puk2Attempts, 10);
    QCOMPARE(window->pin1StateValue->text(), rig.session->text(MessageId::RemainPrefix) + "3 " +
                                                 rig.session->text(MessageId::TimesSuffix));
    QVERIFY(window->changePinButtons[0]->isEnabled());
    QVERIFY(!window->unblockPinButtons[0]->isEnabled());
}

void PinDialogsTest::unblockDialogNeverMovesToPin2() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.dialogs.QueueAnswer(DialogAnswer::No);  // "PIN1 is now blocked ... Unblock it now?"
    for (int attempt = 0; attempt < 3; ++attempt)
        QVERIFY(!VerifyPin1(rig, "0000"));
    Press(rig.cardInfoWindow()->unblockPinButtons[0]);
    ChangePinDialog* dialog = rig.main->pinDialogs().openChangePin();
    auto* pin1 = dialog->findChild<QRadioButton*>("pinOption_0");
    auto* pin2 = dialog->findChild<QRadioButton*>("pinOption_1");
    QVERIFY(pin1->isChecked() && pin1->isEnabled());

    // Change mode: PIN1 is blocked there, and stays the choice; OK sends nothing.
    QTest::mouseClick(dialog->modeOptions[0], Qt::LeftButton);
    QCOMPARE(dialog->currentMode(), ChangePinDialog::kChange);
    QVERIFY(pin1->isChecked() && !pin1->isEnabled());
    QVERIFY(!pin2->isChecked());
    QVERIFY(!OkOf(dialog)->isEnabled());
    Enter(dialog->oldCodeField, "5678");
    Enter(dialog->newCodeFields[0], "1111");
    Enter(dialog->newCodeFields[1], "1111");
    const int commands = rig.Reader().ExecutedCommands();
    emit OkOf(dialog)->clicked(false);  // even a stray click
    QCOMPARE(rig.Reader().ExecutedCommands(), commands);
    QCOMPARE(rig.Card().ToImage().chv2.attemptsLeft, 3);

    // Back to unblocking: still PIN1.
    QTest::mouseClick(dialog->modeOptions[1], Qt::LeftButton);
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
        ChangePinDialog* change = rig.main->pinDialogs().showChangePin(0, 0);
        Enter(change->oldCodeField, "1234");
        Enter(change->newCodeFields[0], "4321");
        Enter(change->newCodeFields[1], "4321");
        dialog = change;
    } else {
        PinLockDialog* input = rig.main->pinDialogs().showInputPin(0, 1);
        Enter(input->findChild<QLineEdit*>("codeField"), "1234");
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
    CardInfoWindow* window = rig.cardInfoWindow();
    QCOMPARE(window->imsiValue->text(), QString("-"));
    QVERIFY(window->verifyPinButton->isEnabled());
    Press(window->verifyPinButton);
    VerifyPinDialog* dialog = rig.main->pinDialogs().openVerifyPin();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QVERIFY(dialog->findChild<QRadioButton*>("pinOption_0")->isChecked());
    QTest::keyClicks(dialog->findChild<QLineEdit*>("codeField"), "1234");
    Press(OkOf(dialog));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(window->imsiValue->text(), QString("001010123456789"));
    QVERIFY(window->providerValue->text() != QString("-"));
    QVERIFY(!window->verifyPinButton->isEnabled());  // the card is open now
}

void PinDialogsTest::gateVerifiesModally() {
    ShellRig rig;
    rig.TickUntilIdentified();
    QTimer::singleShot(0, rig.main.get(), [&] {
        VerifyPinDialog* dialog = rig.main->pinDialogs().openVerifyPin();
        QVERIFY(dialog != nullptr && dialog->isModal());
        Enter(dialog->findChild<QLineEdit*>("codeField"), "1234");
        Press(OkOf(dialog));
    });
    const auto hold = rig.session->gate().acquire(CardGate::Work::Run);
    QVERIFY(rig.main->pinDialogs().execVerifyPin(0, *hold));
    QVERIFY(rig.Info().Pin1Open);

    QTimer::singleShot(0, rig.main.get(),
                       [&] { rig.main->pinDialogs().openChangePin()->reject(); });
    QVERIFY(!rig.main->pinDialogs().execChangePin(1, 0, *hold));
}

void PinDialogsTest::gateGoesOnToUnblockingWhenTheCodeBlocks() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.dialogs.QueueAnswer(DialogAnswer::Yes);  // "PIN1 is now blocked ... Unblock it now?"
    int wrongCodes = 0;
    QTimer driver;
    driver.setInterval(5);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        PinDialogLauncher& pins = rig.main->pinDialogs();
        if (VerifyPinDialog* verify = pins.openVerifyPin(); verify && verify->isVisible()) {
            QTest::keyClicks(verify->findChild<QLineEdit*>("codeField"), "0000");
            ++wrongCodes;
            Press(OkOf(verify));
        } else if (ChangePinDialog* change = pins.openChangePin(); change && change->isVisible()) {
            QCOMPARE(change->currentMode(), ChangePinDialog::kUnblock);
            QVERIFY(change->findChild<QRadioButton*>("pinOption_0")->isChecked());
            QTest::keyClicks(change->oldCodeField, "12345678");
            QTest::keyClicks(change->newCodeFields[0], "1234");
            QTest::keyClicks(change->newCodeFields[1], "1234");
            Press(OkOf(change));
        }
    });
    driver.start();
    // The record windows' gate: the modal verify dialog, then the unblocking it offers.
    const auto hold = rig.session->gate().acquire(CardGate::Work::Run);
    QVERIFY(rig.main->pinDialogs().execVerifyPin(0, *hold));
    driver.stop();
    QCOMPARE(wrongCodes, 3);
    QCOMPARE(rig.Info().Pin1Attempts, 3);
    QVERIFY(rig.Info().Pin1Open);
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
    QVERIFY(!rig.engine().ReaderPresent());
}

QTEST_MAIN(PinDialogsTest)
#include "pin_dialogs_test.moc"
