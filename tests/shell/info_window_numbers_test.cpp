// The information window's own number and message centre, changed on the virtual card.
#include <QLineEdit>
#include <QTest>

#include "shell/card_number_dialog.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

std::vector<Bytes> cardRecords(ShellRig& rig, const char* path) {
    std::vector<Bytes> records;
    const CardImage image = rig.Card().ToImage();
    for (const auto& record : image.FindFile(path)->records)
        records.push_back(record.data);
    return records;
}

// Answers PIN1's verify dialog when the card asks for it, then the number dialog: checks what
// it offers and types `typed` (Cancel when null).
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
        if (typed == nullptr) {
            dialog->cancelButton->click();
            return;
        }
        dialog->numberField->setText(QString::fromUtf8(typed));
        dialog->okButton->click();
    });
}

}  // namespace

class InfoWindowNumbersTest : public QObject {
    Q_OBJECT

private slots:
    void messageCentreChangesOnlyItsAddressBytes();
    void ownNumberChangesAndKeepsItsName();
};

void InfoWindowNumbersTest::messageCentreChangesOnlyItsAddressBytes() {
    ShellRig rig;
    rig.TickUntilIdentified();
    CardInfoWindow* window = rig.cardInfoWindow();
    QCOMPARE(window->messageCentreValue->text(), QString("-"));  // PIN1 keeps it closed
    const auto before = cardRecords(rig, "3F00/7F10/6F42");

    // Bad input is refused before the card is written.
    answerNumberDialog(rig, "+447700900000", "0800 CALL");
    window->changeMessageCentreButton->click();
    QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::NotMessageCentreNumber);
    QCOMPARE(cardRecords(rig, "3F00/7F10/6F42"), before);
    QVERIFY(rig.Info().Pin1Open);
    // Cancel says nothing and writes nothing.
    const int shown = rig.dialogs.Calls().size();
    answerNumberDialog(rig, "+447700900000", nullptr);
    window->changeMessageCentreButton->click();
    QCOMPARE(rig.dialogs.Calls().size(), shown);

    answerNumberDialog(rig, "+447700900000", " +44 7700 900555 ");
    window->changeMessageCentreButton->click();
    QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::NumberWritten);
    QCOMPARE(window->messageCentreValue->text(), QString("+447700900555"));
    QCOMPARE(rig.Info().ServiceCentreNumber, std::string("+447700900555"));
    const auto after = cardRecords(rig, "3F00/7F10/6F42");
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after[1], before[1]);
    // Record 1 of 40 bytes: a 12-byte alpha tag, the indicators, the destination address (12
    // bytes), then the service centre's 12 bytes at 25..36.
    for (std::size_t i = 0; i < after[0].size(); ++i) {
        if (i < 25 || i > 36)
            QCOMPARE(after[0][i], before[0][i]);
    }
    QCOMPARE(Bytes(after[0].begin() + 25, after[0].begin() + 37),
             (Bytes{0x07, 0x91, 0x44, 0x77, 0x00, 0x09, 0x50, 0x55, 0xFF, 0xFF, 0xFF, 0xFF}));
    QVERIFY(rig.dialogs.Unexpected().isEmpty());
}

void InfoWindowNumbersTest::ownNumberChangesAndKeepsItsName() {
    ShellRig rig;
    rig.TickUntilIdentified();
    CardInfoWindow* window = rig.cardInfoWindow();
    const auto before = cardRecords(rig, "3F00/7F10/6F40");

    answerNumberDialog(rig, "+447700900123", "+31 6 1234 5678");
    window->changeOwnNumberButton->click();
    QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::NumberWritten);
    QCOMPARE(window->ownNumberValue->text(), QString("+31612345678 (Voice)"));
    const auto after = cardRecords(rig, "3F00/7F10/6F40");
    // The 14-byte name "Voice" as it was; the number bytes anew.
    QCOMPARE(Bytes(after[0].begin(), after[0].begin() + 14),
             Bytes(before[0].begin(), before[0].begin() + 14));
    QCOMPARE(Bytes(after[0].begin() + 14, after[0].end()),
             (Bytes{0x07, 0x91, 0x13, 0x16, 0x32, 0x54, 0x76, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                    0xFF}));

    // The card refuses: said with its status word, and the window shows what the card holds.
    rig.Card().AddRefusal({"6F40", CardRefusal::Command::Update, 1, 0x9804});
    answerNumberDialog(rig, "+31612345678", "0612345678");
    window->changeOwnNumberButton->click();
    QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::NumberRefused);
    QVERIFY(rig.dialogs.LastMessage().text.contains("98 04"));
    QCOMPARE(window->ownNumberValue->text(), QString("+31612345678 (Voice)"));
    QCOMPARE(cardRecords(rig, "3F00/7F10/6F40"), after);
    QVERIFY(rig.dialogs.Unexpected().isEmpty());
}

QTEST_MAIN(InfoWindowNumbersTest)
#include "info_window_numbers_test.moc"
