// Questions that can throw work away (exit, New, Open, closing a window) offer Cancel, and
// Cancel (Escape, the box's close button) keeps every document and the program as they were.
// The SIM list is the card's side of the work: edits not written to the card are asked about
// before they can be lost.
#include <QFile>
#include <QtTest>

#include "engine/phonebook_entry.h"
#include "shell/main_window.h"
#include "shell/window_factory.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/personal_records_window.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/record_list_model.h"
#include "windows/record_windows.h"

using namespace pellucard;
using namespace pellucard::testing;

class UnsavedWorkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellRig> rig;
    MainWindow* main = nullptr;
    PersonalRecordsWindow* person = nullptr;
    PhoneBookWindow* phone = nullptr;
    static constexpr int kComputer = RecordWindow::kComputerList;
    static constexpr int kSim = RecordWindow::kSimList;

    // Five new personal records in an untitled document, and an edited phone book list.
    void MakeWork() {
        person = rig->OpenWindow<PersonalRecordsWindow>(WindowIndex::PersonalRecords);
        QVERIFY(person);
        for (int row = 1; row <= 5; ++row) {
            person->recordList().SetText(row, 3, QStringLiteral("person %1").arg(row));
            person->setUsedCountOfCurrentList(row);
        }
        Type(person->field(1), QStringLiteral("!"));
        QVERIFY(person->modified());

        phone = rig->OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
        QVERIFY(phone);
        phone->recordList(kComputer).SetText(1, 1, QStringLiteral("Ann"));
        phone->setUsedCountOfCurrentList(1);
        phone->newRecord(kComputer);
        QTRY_VERIFY(phone->editorOverCell());
        QTest::keyClicks(phone->editor(), QStringLiteral("Bob"));
        QTRY_VERIFY(phone->modified());
        rig->dialogs.Clear();
    }

    // As the card holds it, whether the program still has the reader open or not.
    std::string CardName(int record) {
        const CardImage image = rig->Card().ToImage();
        const auto& records = image.FindFile("3F00/7F10/6F3A")->records;
        return DecodePhoneBookRecord(records.at(std::size_t(record - 1)).data).name;
    }

    // The card's phone book read, then a new name typed over slot 1's, as a person does.
    void EditFirstName(const QString& name) {
        rig->TickUntilIdentified();
        phone = rig->OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
        QVERIFY(phone);
        rig->AnswerVerifyPin();
        phone->readCard();
        QVERIFY(!phone->cardSideModified());
        ClickCell(phone->grid(kSim), 1, phone_column::kName);
        QTRY_VERIFY(phone->editorOverCell());
        phone->editor()->selectAll();
        QTest::keyClicks(phone->editor(), name);
        QTRY_COMPARE(phone->recordList(kSim).Text(1, phone_column::kName), name);
        phone->grid(kSim)->setFocus();
        rig->dialogs.Clear();
    }

    void VerifyWorkKept() {
        QVERIFY(main->isVisible());
        QCOMPARE(main->childWindow(WindowIndex::PersonalRecords), person);
        QCOMPARE(main->childWindow(WindowIndex::PhoneBook), phone);
        QVERIFY(person->modified() && phone->modified());
        QCOMPARE(person->usedCount(), 5);
        QCOMPARE(person->recordList().Text(5, 3), QStringLiteral("person 5"));
        QVERIFY(QFile::exists(person->currentFile()));
        QCOMPARE(phone->recordList(kComputer).Text(1, 1), QStringLiteral("Ann"));
        QVERIFY(QFile::exists(phone->currentFile()));
    }

private slots:
    void init() {
        rig = std::make_unique<ShellRig>(ShellRig::Start::CardIn, kTestPeriods,
                                         registerRecordWindows);
        main = rig->main.get();
    }
    void cleanup() {
        // Let everything go without questions.
        for (int i = 0; i < 4; ++i)
            rig->dialogs.QueueAnswer(DialogAnswer::No);
        main = nullptr;
        rig.reset();
    }

    void exitCancelledOnAnyQuestionKeepsEverything() {
        MakeWork();
        for (int cancelAt = 0; cancelAt < 2; ++cancelAt) {
            rig->dialogs.Clear();
            for (int i = 0; i < cancelAt; ++i)
                rig->dialogs.QueueAnswer(DialogAnswer::No);
            rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
            QVERIFY(!main->close());
            QCOMPARE(rig->dialogs.MessageIds().size(), cancelAt + 1);
            VerifyWorkKept();
            QVERIFY(!rig->session->exitRequested());
        }
        // A window answered No before the cancel is asked again at the next exit.
        rig->dialogs.Clear();
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        QVERIFY(main->close());
        QCOMPARE(rig->dialogs.MessageIds().size(), 2);
    }

    void newOpenAndCloseCancelledKeepTheDocument() {
        MakeWork();
        for (int i = 0; i < 6; ++i)
            rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        person->newFile();
        person->openFile();
        phone->newFile();
        phone->openFile();
        QVERIFY(!person->close());
        QVERIFY(!phone->close());
        QCOMPARE(rig->dialogs.MessageIds(), MessageIdList(6, MessageId::SaveNewRecordQuestion));
        VerifyWorkKept();
    }

    void exitAsksAndCancelKeepsEverything() {
        EditFirstName(QStringLiteral("Zoe"));
        QVERIFY(phone->cardSideModified());
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        rig->Action("quitAction")->trigger();  // File > Exit, Ctrl+Q
        QCOMPARE(rig->dialogs.MessageIds(), MessageIdList{MessageId::CardEditsNotWrittenQuestion});
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
        QVERIFY(phone->cardSideModified());
        // Read and Write come back as soon as the polling, asked to look at once, has found the
        // card again; no other window needs to be chosen.
        QTRY_VERIFY(phone->findChild<QPushButton*>("readButton")->isEnabled());
    }

    void undoBackToTheCardsContentAsksNothing() {
        EditFirstName(QStringLiteral("Zoe"));
        phone->undoStack()->undo();
        QVERIFY(!phone->cardSideModified());
        QVERIFY(phone->close());
        QVERIFY(rig->dialogs.MessageIds().isEmpty());
    }
};

QTEST_MAIN(UnsavedWorkTest)
#include "unsaved_work_test.moc"
