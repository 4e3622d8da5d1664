// The SIM list as the card's side of the work: edits that were not written to the card are
// asked about before they can be lost.
#include <QAction>
#include <QtTest>

#include "engine/phonebook_entry.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"

using namespace pellucard;
using namespace pellucard::testing;

class CardSideEditsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ShellRig> rig;
    PhoneBookWindow* phone = nullptr;
    static constexpr int kSim = RecordWindow::kSimList;

    // As the card holds it, whether the program still has the reader open or not.
    std::string CardName(int record) {
        const CardImage image = rig->Card().ToImage();
        const auto& records = image.FindFile("3F00/7F10/6F3A")->records;
        return DecodePhoneBookRecord(records.at(std::size_t(record - 1)).data).name;
    }

    // Types a new name over slot 1's, as a person does.
    void EditFirstName(const QString& name) {
        ClickCell(phone->grid(kSim), 1, phone_column::kName);
        QTRY_VERIFY(phone->editorOverCell());
        phone->editor()->selectAll();
        QTest::keyClicks(phone->editor(), name);
        QTRY_COMPARE(phone->recordList(kSim).Text(1, phone_column::kName), name);
        phone->grid(kSim)->setFocus();
        rig->dialogs.Clear();
    }

private slots:
    void init() {
        rig = std::make_unique<ShellRig>(ShellRig::Start::CardIn, kTestPeriods,
                                         registerRecordWindows);
        rig->TickUntilIdentified();
        phone = rig->OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
        QVERIFY(phone);
        rig->AnswerVerifyPin();
        phone->readCard();
        QCOMPARE(phone->recordList(kSim).Text(1, phone_column::kName),
                 QStringLiteral("Alice Martin"));
        QVERIFY(!phone->cardSideModified());
    }
    void cleanup() {
        for (int i = 0; i < 3; ++i)
            rig->dialogs.QueueAnswer(DialogAnswer::No);
        rig.reset();
    }

    void exitAsksAndCancelKeepsEverything() {
        EditFirstName(QStringLiteral("Zoe"));
        QVERIFY(phone->cardSideModified());
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        rig->Action("quitAction")->trigger();  // File > Exit, Ctrl+Q
        QCOMPARE(rig->dialogs.MessageIds(), MessageIdList{MessageId::CardEditsNotWrittenQuestion});
        QCOMPARE(rig->dialogs.LastMessage().buttons, DialogButtons::YesNoCancel);
        QVERIFY(rig->main->isVisible());
        QCOMPARE(phone->recordList(kSim).Text(1, phone_column::kName), QStringLiteral("Zoe"));
        QCOMPARE(CardName(1), std::string("Alice Martin"));

        // The window's own close button asks the same.
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        QVERIFY(!phone->close());
        QCOMPARE(rig->dialogs.MessageIds().size(), 2);

        // Discard lets the edit go; the card keeps what it had.
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        QVERIFY(rig->main->close());
        QCOMPARE(CardName(1), std::string("Alice Martin"));
    }

    void writeOnExitWritesTheEditsAndCloses() {
        EditFirstName(QStringLiteral("Zoe"));
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // Write
        QVERIFY(rig->main->close());
        // Write was the answer: "Do you want to save it to SIM ?" is not asked again.
        QCOMPARE(rig->dialogs.MessageIds(), MessageIdList{MessageId::CardEditsNotWrittenQuestion});
        QVERIFY(rig->dialogs.ScriptUsedUp());
        QCOMPARE(CardName(1), std::string("Zoe"));
        QCOMPARE(CardName(2), std::string("José Müller"));  // the rest as it was
    }

    void writeThatCannotBeDoneKeepsTheProgramOpen() {
        EditFirstName(QStringLiteral("Zoe"));
        rig->Reader().RemoveCard();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        QVERIFY(!rig->main->close());
        QVERIFY(phone->cardSideModified());
        QCOMPARE(phone->recordList(kSim).Text(1, phone_column::kName), QStringLiteral("Zoe"));
    }

    void failedEntryKeepsTheListAndSaysSo() {
        EditFirstName(QStringLiteral("Zoe"));
        // The answers to the read's SELECTs are lost: the phone book is never entered.
        rig->Reader().Faults().loseAnswerOf = 0xA4;
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // "Do you want to over write the record?"
        phone->readCard();
        rig->Reader().Faults().loseAnswerOf.reset();
        QCOMPARE(phone->findChild<QLabel*>("lastReadLabel")->text(),
                 Message(MessageId::CardFileNoAnswer, 0) + Message(MessageId::ListLeftAsItWas, 0));
        QCOMPARE(phone->recordList(kSim).Text(1, phone_column::kName), QStringLiteral("Zoe"));
        QCOMPARE(phone->recordList(kSim).Text(2, phone_column::kName),
                 QStringLiteral("José Müller"));
        QVERIFY(phone->cardSideModified());
        // Read and Write come back as soon as the polling, asked to look at once, has found the
        // card again; no other window needs to be chosen.
        QTRY_VERIFY(phone->findChild<QPushButton*>("readButton")->isEnabled());
        QVERIFY(phone->findChild<QPushButton*>("writeButton")->isEnabled());
    }

    void undoBackToTheCardsContentAsksNothing() {
        EditFirstName(QStringLiteral("Zoe"));
        phone->undoStack()->undo();
        QCOMPARE(phone->recordList(kSim).Text(1, phone_column::kName),
                 QStringLiteral("Alice Martin"));
        QVERIFY(!phone->cardSideModified());
        QVERIFY(phone->close());
        QVERIFY(rig->dialogs.MessageIds().isEmpty());
    }
};

QTEST_MAIN(CardSideEditsTest)
#include "card_side_edits_test.moc"
