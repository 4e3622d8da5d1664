// The phone book window as a person uses it, on the instant virtual reader with the demo card.
#include <QClipboard>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/phonebook_entry.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_list_model.h"

using namespace pellucard;
using namespace pellucard::testing;

class PhoneBookWindowTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private:
    // Read with the PIN dialog answered; the demo card asks for PIN1.
    void ReadCard() {
        ReadWith("readButton");
        QCOMPARE(window->usedCount(kSim), 20);
    }

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { Close(); }

    // A window in the background follows the card all the same.
    void followsTheCardInTheBackground() {
        QCOMPARE(label("recordCountLabel")->text(), QStringLiteral("250"));
        window->deactivate();
        rig->session->forgetCard();
        QCOMPARE(label("recordCountLabel")->text(), QStringLiteral("-"));
    }

    // The demo card holds CHV1: PIN1 is asked first, then every record comes in; an empty
    // card record between used ones stays an empty slot. A second read asks before replacing
    // the list; No keeps it.
    void readsTheCardAfterPin1() {
        QVERIFY(!rig->session->cardInfo().Pin1Open);
        ReadCard();
        QVERIFY(rig->session->cardInfo().Pin1Open);
        QCOMPARE(Sim().Text(3, 1), QString());
        QCOMPARE(Sim().Text(4, 1), QStringLiteral("王小明"));
        // 250 records read, 15 of them entries: the empty slots up to the last one are not.
        QCOMPARE(label("lastReadLabel")->text(), readTotalText(250, 15, 0));

        Sim().SetText(1, 1, QStringLiteral("changed"));
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        Button("readButton")->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::OverwriteRecordQuestion);
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("changed"));
    }

    void anotherCardIsOnlyExamined() {
        rig->session->setCardId(QStringLiteral("8900000000000000000"));
        Button("readButton")->click();
        QCOMPARE(window->usedCount(kSim), 0);
        QCOMPARE(rig->session->cardInfo().MaxPhoneRecords, 250);
        QVERIFY(rig->dialogs.Calls().isEmpty());
    }

    // Marking by slot numbers and copying to the computer list.
    void copiesMarkedRows() {
        ReadCard();
        RecordTable* sim = window->grid(kSim);
        ClickSlot(sim, 1);
        ClickSlot(sim, 2, Qt::ShiftModifier);
        QVERIFY(!window->model(kSim)->IsMarked(3));
        Button("copyToComputerButton")->click();
        QCOMPARE(window->usedCount(kComputer), 2);
        QCOMPARE(Computer().Text(2, 1), QStringLiteral("José Müller"));
        QVERIFY(!window->model(kSim)->IsMarked(1));
    }

    void editsInPlace() {
        RecordTable* computer = window->grid(kComputer);
        ClickCell(computer, 1, 1);
        CellEditor* editor = window->editor();
        QTRY_VERIFY(window->editorOverCell());
        Type(editor, QStringLiteral("Ελένη"));
        QTRY_COMPARE(Computer().Text(1, 1), QStringLiteral("Ελένη"));

        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(computer->currentColumn(), 2);
        // A refused letter is a hint that takes no focus: the keystrokes after it arrive.
        QTest::keyClicks(editor, QStringLiteral("+12a3+"));
        QTRY_COMPARE(Computer().Text(1, 2), QStringLiteral("+123"));
        QCOMPARE(Count(MessageId::InvalidNumberCharacter), 0);
        QVERIFY(editor->hasFocus());

        // Forty characters in the computer list; the SIM list takes what its records hold.
        ClickCell(computer, 2, 1);
        QTRY_VERIFY(window->editorOverCell());
        QTest::keyClicks(editor, QString(45, QLatin1Char('x')));
        QCOMPARE(Computer().Text(2, 1), QString(40, QLatin1Char('x')));
        ClickCell(window->grid(kSim), 1, 1);
        QTRY_COMPARE(window->editorList(), kSim);
        QTest::keyClicks(editor, QString(20, QLatin1Char('y')));
        QCOMPARE(Sim().Text(1, 1), QString(14, QLatin1Char('y')));

        // Delete over a cell empties that cell only.
        window->model(kComputer)->List().SetText(1, 26, QStringLiteral("1"));
        ClickCell(computer, 2, 1);
        QTRY_COMPARE(window->editorList(), kComputer);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->deleteMarked(kComputer);
        QCOMPARE(Computer().Text(2, 1), QString());
        QCOMPARE(Computer().Text(1, 1), QStringLiteral("Ελένη"));
    }

    // Writing the SIM list back through the window changes no byte of the records left alone;
    // a row whose number was edited is encoded anew: its name of 11 Cyrillic letters, more
    // than form 0x80 holds, keeps every letter.
    void writesBackUnchangedButTheEdits() {
        ReadCard();
        Pellucard& engine = rig->engine();
        const auto before = cardRecords(engine, CardBook::PhoneBook);
        ClickCell(window->grid(kSim), 5, 2);
        QTRY_VERIFY(window->editorOverCell());
        QTest::keyClick(window->editor(), Qt::Key_Backspace);
        QTRY_COMPARE(Sim().Text(5, 2), QStringLiteral("+7495123456"));
        window->grid(kSim)->setFocus();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("writeButton")->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveToSimQuestion);
        const auto edited = cardRecords(engine, CardBook::PhoneBook);
        QCOMPARE(QString::fromStdString(DecodePhoneBookRecord(edited[4]).name),
                 QStringLiteral("Достоевский"));
        QCOMPARE(QString::fromStdString(DecodePhoneBookRecord(edited[4]).Number()),
                 QStringLiteral("+7495123456"));
        for (std::size_t i = 0; i < edited.size(); ++i) {
            if (i != 4)
                QCOMPARE(edited[i], before[i]);
        }
    }

    // A clipboard table whose titles name no field is refused; titles match whatever their
    // letter case, and numbers pass the number filter.
    void pastesATableByItsTitles() {
        RecordTable* computer = window->grid(kComputer);
        computer->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("Name\tNumber\r\nEve\t1\r\n"));
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 0);
        QApplication::clipboard()->setText(QStringLiteral("alias\tPHONE\r\nEve\t12x\r\nOnly\r\n"));
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 2);
        QCOMPARE(Computer().Text(1, 2), QStringLiteral("12"));
    }

    // New never grows the SIM list beyond the card's records, even when every slot is used.
    void simListDoesNotGrowBeyondTheCard() {
        for (int row = 1; row <= 256; ++row)
            Sim().SetText(row, 1, QStringLiteral("n%1").arg(row));
        window->grid(kSim)->setCurrentCell(1, 1);
        window->newRecord(kSim);
        QCOMPARE(Sim().Rows(), 257);
    }
};

QTEST_MAIN(PhoneBookWindowTest)
#include "phone_book_window_test.moc"
