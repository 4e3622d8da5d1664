// The one PIN2 step before the fixed dialling numbers are written, as the phone book window and
// the restore and card copy take it: the counters first, the Verify PIN dialog once, and how it
// ended, on the demo card in the virtual reader.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "shell/pin2_step.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr char kDemoPin2[] = "5678";

// Answers every PIN dialog: a code typed for the PIN chosen, or Cancel when `code` is empty.
// Counts the dialogs and the ones that came with PIN1 chosen.
struct Pin2Answers {
    QString code;
    int dialogs = 0;
    int onPin1 = 0;

    void install(ScriptedDialogs& script) {
        script.RunModalWith([this](QDialog& modal) {
            ++dialogs;
            if (!modal.findChild<QRadioButton*>(QStringLiteral("pinOption_1"))->isChecked())
                ++onPin1;
            if (code.isEmpty()) {
                modal.reject();
                return;
            }
            modal.findChild<QLineEdit*>(QStringLiteral("codeField"))->setText(code);
            modal.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
            // A refused code leaves the dialog open for another: the person gives up.
            if (modal.isVisible())
                modal.reject();
        });
    }
};

}  // namespace

class Pin2StepTest : public QObject {
    Q_OBJECT

private slots:
    // Cancel, a wrong code and the right one each open the dialog once, on PIN2, and send what
    // was typed once; PIN1 picked there instead is no PIN2, and PIN1, verified before, stays
    // so. With PIN2 blocked nothing is asked.
    void asksOnceAndTellsHowItEnded();
};

void Pin2StepTest::asksOnceAndTellsHowItEnded() {
    WindowRig rig;
    rig.IdentifyCard();
    QVERIFY(rig.engine().VerifyPin(1, kDemoPin1).IsDone());
    pellucard::readPinCounters(*rig.session, *rig.session->gate().acquire(CardGate::Work::Run));
    QVERIFY(rig.Info().Pin1Open);
    Pin2Answers answers;
    answers.install(rig.dialogs);
    const auto step = [&rig] {
        const auto hold = rig.session->gate().acquire(CardGate::Work::Run);
        return askForPin2(*rig.session, *rig.pins, *hold);
    };

    Pin2Step pin2 = step();
    QCOMPARE(pin2.ending, Pin2Step::Ending::Cancelled);
    QVERIFY(pin2.asked);
    QCOMPARE(rig.Info().Pin2Attempts, 3);

    answers.code = QStringLiteral("0000");
    pin2 = step();
    QCOMPARE(pin2.ending, Pin2Step::Ending::Wrong);
    QCOMPARE(pin2.attemptsLeft, 2);
    QCOMPARE(rig.Info().Pin2Attempts, 2);  // sent once, never again
    QCOMPARE(rig.dialogs.MessageIds().count(MessageId::WrongPinCodeAttemptsLeft), 1);

    answers.code = QString::fromLatin1(kDemoPin2);
    // PIN1 picked in the dialog and verified is not PIN2.
    rig.dialogs.RunModalWith([](QDialog& modal) {
        modal.findChild<QRadioButton*>(QStringLiteral("pinOption_0"))->setChecked(true);
        modal.findChild<QLineEdit*>(QStringLiteral("codeField"))->setText(kDemoPin1);
        modal.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    QVERIFY(step().ending != Pin2Step::Ending::Verified);
    answers.install(rig.dialogs);
    QCOMPARE(step().ending, Pin2Step::Ending::Verified);
    QCOMPARE(answers.dialogs, 3);
    QCOMPARE(answers.onPin1, 0);
    QVERIFY(rig.Info().Pin1Open);
    QCOMPARE(rig.Info().Pin1Attempts, 3);

    for (int attempt = 0; attempt < 3; ++attempt)
        QVERIFY(!rig.engine().VerifyPin(2, "0000").IsDone());
    pin2 = step();
    QCOMPARE(pin2.ending, Pin2Step::Ending::Blocked);
    QVERIFY(!pin2.asked);
    QCOMPARE(answers.dialogs, 3);
}

QTEST_MAIN(Pin2StepTest)
#include "pin2_step_test.moc"
