// The one PIN2 step before the fixed dialling numbers are written (phone book window, restore,
// card copy), on the demo card in the virtual reader.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "shell/pin2_step.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

class Pin2StepTest : public QObject {
    Q_OBJECT

private slots:
    // Cancel, a wrong code and the right one each open the dialog once, on PIN2, and send the
    // code typed once; PIN1 picked there instead is no PIN2, and PIN1, verified before, stays
    // so. (A blocked PIN2, where nothing is asked, is the fixed dialling window's test.)
    void asksOnceAndTellsHowItEnded() {
        WindowRig rig;
        rig.IdentifyCard();
        QVERIFY(rig.engine().VerifyPin(1, kDemoPin1).IsDone());
        rig.ChangeInfo([](CardInfo& info) { info.Pin1Open = true; });
        int dialogs = 0;
        // Types `code` for PIN `option` (0 PIN1, 1 PIN2), or cancels; gives up after a refusal.
        const auto answer = [&](const QString& code, int option = 1) {
            rig.dialogs.RunModalWith([&dialogs, code, option](QDialog& modal) {
                dialogs += modal.findChild<QRadioButton*>("pinOption_1")->isChecked() ? 1 : 100;
                modal.findChild<QRadioButton*>(QStringLiteral("pinOption_%1").arg(option))
                    ->setChecked(true);
                modal.findChild<QLineEdit*>("codeField")->setText(code);
                if (!code.isEmpty())
                    modal.findChild<QPushButton*>("okButton")->click();
                if (modal.isVisible())
                    modal.reject();
            });
            const auto hold = rig.session->gate().acquire(CardGate::Work::Run);
            return askForPin2(*rig.session, *rig.pins, *hold);
        };

        const Pin2Step cancelled = answer(QString());
        QVERIFY(cancelled.ending == Pin2Step::Ending::Cancelled && cancelled.asked);
        const Pin2Step wrong = answer("0000");
        QCOMPARE(wrong.ending, Pin2Step::Ending::Wrong);
        QCOMPARE(wrong.attemptsLeft, 2);  // sent once, never again
        QVERIFY(answer(kDemoPin1, 0).ending != Pin2Step::Ending::Verified);
        QCOMPARE(answer("5678").ending, Pin2Step::Ending::Verified);
        QCOMPARE(dialogs, 4);  // each on PIN2
        QVERIFY(rig.Info().Pin1Open);
        QCOMPARE(rig.Info().Pin1Attempts, 3);
    }
};

QTEST_MAIN(Pin2StepTest)
#include "pin2_step_test.moc"
