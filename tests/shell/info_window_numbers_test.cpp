// The information window's own number and message centre, changed on the virtual card.
#include <QLineEdit>
#include <QTest>

#include "engine/message_centre.h"
#include "shell/card_number_dialog.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// Answers PIN1's verify dialog when the card asks for it, then the number dialog: checks what
// it offers and types `typed`.
void answerNumberDialog(ShellRig& rig, const QString& offered, const char* typed) {
    rig.dialogs.RunModalWith([offered, typed](QDialog& modal) {
        if (auto* verify = qobject_cast<VerifyPinDialog*>(&modal)) {
            verify->findChild<QLineEdit*>("codeField")->setText(kDemoPin1);
            verify->findChild<QPushButton*>("okButton")->click();
            return;
        }
        auto* dialog = qobject_cast<CardNumberDialog*>(&modal);
        QVERIFY2(dialog != nullptr, modal.metaObject()->className());
        QCOMPARE(dialog->numberField->text(), offered);
        dialog->numberField->setText(QString::fromUtf8(typed));
        dialog->okButton->click();
    });
}

}  // namespace

class InfoWindowNumbersTest : public QObject {
    Q_OBJECT

private slots:
    // Bad input is refused before the card is written; a good number changes the service
    // centre's 12 bytes at 25..36 of the 40-byte record (after the alpha tag, the indicators and
    // the destination address) and nothing else.
    void messageCentreChangesOnlyItsAddressBytes() {
        ShellRig rig;
        rig.TickUntilIdentified();
        CardInfoWindow* window = rig.cardInfoWindow();
        const auto before = rig.FileRecords("3F00/7F10/6F42");
        answerNumberDialog(rig, "+447700900000", "0800 CALL");
        window->changeMessageCentreButton->click();
        QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::NotMessageCentreNumber);
        QCOMPARE(rig.FileRecords("3F00/7F10/6F42"), before);

        answerNumberDialog(rig, "+447700900000", " +44 7700 900555 ");
        window->changeMessageCentreButton->click();
        QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::NumberWritten);
        QCOMPARE(window->messageCentreValue->text(), QString("+447700900555"));
        // Which bytes change is SmsParametersTest's; here that the card was written.
        QCOMPARE(ServiceCentreOf(rig.FileRecords("3F00/7F10/6F42")[0]),
                 std::optional<std::string>("+447700900555"));
    }

    // The own number keeps its name; a refusal is said with the card's status word and the
    // window keeps showing what the card holds.
    void ownNumberChangesAndKeepsItsName() {
        ShellRig rig;
        rig.TickUntilIdentified();
        CardInfoWindow* window = rig.cardInfoWindow();
        const auto before = rig.FileRecords("3F00/7F10/6F40");
        answerNumberDialog(rig, "+447700900123", "+31 6 1234 5678");
        window->changeOwnNumberButton->click();
        QCOMPARE(window->ownNumberValue->text(), QString("+31612345678 (Voice)"));
        // Which bytes change is OwnNumberTest's; here that the card was written.
        const auto expected = rig.FileRecords("3F00/7F10/6F40");
        QVERIFY(expected != before);

        rig.Card().AddRefusal({"6F40", CardRefusal::Command::Update, 1, 0x9804});
        answerNumberDialog(rig, "+31612345678", "0612345678");
        window->changeOwnNumberButton->click();
        QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::NumberRefused);
        QVERIFY(rig.dialogs.LastMessage().text.contains("98 04"));
        QCOMPARE(window->ownNumberValue->text(), QString("+31612345678 (Voice)"));
        QCOMPARE(rig.FileRecords("3F00/7F10/6F40"), expected);
    }
};

QTEST_MAIN(InfoWindowNumbersTest)
#include "info_window_numbers_test.moc"
