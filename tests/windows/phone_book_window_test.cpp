// The phone book window as a person uses it, on the instant virtual reader with the demo card.
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QToolTip>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/phonebook_entry.h"
#include "records/application_folder.h"
#include "records/file_history.h"
#include "records/record_documents.h"
#include "windows/record_list_model.h"
#include "shell/print_records_dialog.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/print_hook.h"
#include "windows/record_columns.h"

using namespace pellucard;
using namespace pellucard::testing;

class SimRecTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
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

    void opensWithAnUntitledFile() {
        QCOMPARE(rig->session->CurrentWindow, WindowIndex::PhoneBook);
        QCOMPARE(window->currentFile(), ApplicationFilePath("NewPhoneRecord0.SPB"));
        QVERIFY(QFile::exists(window->currentFile()));
        QCOMPARE(window->findChild<QGroupBox*>("listFrame_0")->title(),
                 QStringLiteral("NewPhoneRecord0.SPB"));
        QCOMPARE(window->findChild<QGroupBox*>("listFrame_1")->title(),
                 Message(MessageId::SimCardPhoneBook, 0));
        QCOMPARE(label("recordCountLabel")->text(), QStringLiteral("250"));
        QVERIFY(Button("readButton")->isEnabled());
        QVERIFY(!Button("saveFileButton")->isEnabled());
        QVERIFY(rig->menu[FileMenuEntry::New] && !rig->menu[FileMenuEntry::Save]);
        QCOMPARE(Sim().Text(0, 1), QStringLiteral("Alias"));
        QCOMPARE(Sim().Rows(), 257);
        window->deactivate();
        QCOMPARE(rig->session->CurrentWindow, WindowIndex::None);
    }

    // The demo card holds CHV1: PIN1 is asked first, then every record comes in; an empty
    // card record between used ones stays an empty slot and the label gives the last slot.
    void readsTheCardAfterPin1() {
        QVERIFY(!rig->session->CardInfo.Pin1Open);
        ReadCard();
        QVERIFY(rig->session->CardInfo.Pin1Open);
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("Alice Martin"));
        QCOMPARE(Sim().Text(1, 2), QStringLiteral("+441632960123"));
        QCOMPARE(Sim().Text(3, 1), QString());
        QCOMPARE(Sim().Text(4, 1), QStringLiteral("王小明"));
        QCOMPARE(Sim().Text(5, 1), QStringLiteral("Достоевский"));
        QCOMPARE(Sim().Text(8, 1), QStringLiteral("Γιώργος"));
        QCOMPARE(Sim().Text(10, 2), QStringLiteral("+31201234567P123"));
        // 250 records read, 15 of them entries: the empty slots up to the last one are not.
        QCOMPARE(label("lastReadLabel")->text(), readTotalText(250, 15, 0));
        QCOMPARE(window->findChild<QProgressBar*>("progressBar")->value(), 250);
        QVERIFY(rig->polling);

        // A second read asks before replacing the list; No keeps it.
        Sim().SetText(1, 1, QStringLiteral("changed"));
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        Button("readButton")->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::OverwriteRecordQuestion);
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("changed"));
    }

    void anotherCardIsOnlyExamined() {
        rig->session->CardInfo.CardId = QStringLiteral("8900000000000000000");
        Button("readButton")->click();
        QCOMPARE(window->usedCount(kSim), 0);
        QCOMPARE(rig->session->CardInfo.MaxPhoneRecords, 250);
        QVERIFY(rig->dialogs.Calls().isEmpty());
    }

    // Marking by slot numbers and copying to the computer list; a record the computer list
    // already holds is refused with its message.
    void copiesMarkedRowsAndRefusesDuplicates() {
        ReadCard();
        RecordTable* sim = window->grid(kSim);
        ClickSlot(sim, 1);
        ClickSlot(sim, 2, Qt::ShiftModifier);
        QVERIFY(window->model(kSim)->IsMarked(1) && window->model(kSim)->IsMarked(2));
        QVERIFY(!window->model(kSim)->IsMarked(3));
        Button("copyToComputerButton")->click();
        QCOMPARE(window->usedCount(kComputer), 2);
        QCOMPARE(Computer().Text(2, 1), QStringLiteral("José Müller"));
        QVERIFY(Button("saveFileButton")->isEnabled());
        QVERIFY(rig->menu[FileMenuEntry::Save]);
        QVERIFY(!window->model(kSim)->IsMarked(1));

        ClickSlot(sim, 1);
        Button("copyToComputerButton")->click();
        QCOMPARE(Count(MessageId::SameRecordNumber), 1);
        QCOMPARE(rig->dialogs.LastMessage().text, Message(MessageId::SameRecordNumber, 0) +
                                                      QStringLiteral(" 1") +
                                                      Message(MessageId::InDestinationList, 0));
        QCOMPARE(window->usedCount(kComputer), 2);

        // Ctrl+A marks every used slot; the corner cell inverts.
        sim->setFocus();
        QTest::keyClick(sim, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(window->model(kSim)->IsMarked(20) && !window->model(kSim)->IsMarked(3));
        sim->cornerButton()->click();
        QVERIFY(!window->model(kSim)->IsMarked(20) && !window->model(kSim)->IsMarked(3));
    }

    void editsInPlace() {
        RecordTable* computer = window->grid(kComputer);
        ClickCell(computer, 1, 1);
        CellEditor* editor = window->editor();
        QTRY_VERIFY(window->editorOverCell());
        QCOMPARE(editor->parentWidget(), computer->viewport());
        Type(editor, QStringLiteral("Ελένη"));
        QTRY_COMPARE(Computer().Text(1, 1), QStringLiteral("Ελένη"));
        QCOMPARE(window->usedCount(kComputer), 1);
        QVERIFY(Button("saveFileButton")->isEnabled());

        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(computer->currentColumn(), 2);
        // A refused letter is a hint that takes no focus: the keystrokes after it arrive.
        QTest::keyClicks(editor, QStringLiteral("+12a3+"));
        QTRY_COMPARE(Computer().Text(1, 2), QStringLiteral("+123"));
        QCOMPARE(Count(MessageId::InvalidNumberCharacter), 0);
        QCOMPARE(rig->status, Message(MessageId::InvalidNumberCharacter, 0));
        QCOMPARE(QToolTip::text(), Message(MessageId::InvalidNumberCharacter, 0));
        QVERIFY(editor->hasFocus());
        QCOMPARE(editor->text(), QStringLiteral("+123"));

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
        QCOMPARE(window->usedCount(kComputer), 1);

        // Without the editor the marked rows are emptied.
        window->grid(kComputer)->setFocus();
        QTRY_VERIFY(!window->editorOverCell());
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->deleteMarked(kComputer);
        QCOMPARE(Computer().Text(1, 1), QString());
        QCOMPARE(window->usedCount(kComputer), 0);
    }

    // Save as, new file, open again: every name comes back, Cyrillic and Chinese included,
    // and the untitled scratch file does not outlive its list.
    void filesKeepTheRecords() {
        ReadCard();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // computer list is empty: no question
        Button("copyAllToComputerButton")->click();
        QCOMPARE(window->usedCount(kComputer), 20);
        const QString scratch = window->currentFile();
        const QString saved = rig->folder.filePath("book.SPB");
        rig->dialogs.Clear();
        rig->dialogs.QueueFileName(saved);
        Button("saveAsButton")->click();
        QCOMPARE(window->currentFile(), saved);
        QVERIFY(!Button("saveFileButton")->isEnabled());
        QVERIFY(!QFile::exists(scratch));
        QCOMPARE(window->findChild<QGroupBox*>("listFrame_0")->title(), QStringLiteral("book.SPB"));
        QCOMPARE(QFileInfo(saved).size(), 20 * 4340);

        Button("newFileButton")->click();
        QCOMPARE(window->usedCount(kComputer), 0);
        QCOMPARE(window->currentFile(), scratch);  // the first free number again

        rig->dialogs.QueueFileName(saved);
        Button("openFileButton")->click();
        QCOMPARE(window->usedCount(kComputer), 20);
        QVERIFY(!QFile::exists(scratch));  // the empty untitled file went with its list
        for (int row = 1; row <= 20; ++row) {
            QCOMPARE(Computer().Text(row, 1), Sim().Text(row, 1));
            QCOMPARE(Computer().Text(row, 2), Sim().Text(row, 2));
        }
        QVERIFY(rig->dialogs.Unexpected().isEmpty());
    }

    // A file saved under a new name, or opened, heads the recent files with its window; from
    // there it opens without the dialog. The untitled scratch files never appear in the list.
    void recentFilesComeFromOpenAndSaveAs() {
        FileHistory& history = FileHistory::Instance();
        history.Clear();
        ReadCard();
        Button("copyAllToComputerButton")->click();
        QTemporaryDir mine;  // the user's folder, apart from the program's own files
        const QString saved = mine.filePath("book.SPB");
        rig->dialogs.QueueFileName(saved);
        Button("saveAsButton")->click();
        QCOMPARE(window->currentFile(), saved);
        QCOMPARE(history.RecentFiles().size(), 1);
        QCOMPARE(history.RecentFiles()[0].path, saved);
        QCOMPARE(history.RecentFiles()[0].windowIndex, 4);

        Button("newFileButton")->click();
        QCOMPARE(history.RecentFiles().size(), 1);  // the scratch file is not listed
        rig->dialogs.Clear();
        ChooseNextOpenFile(saved);
        window->runFileCommand(FileCommand::Open);
        ChooseNextOpenFile({});
        QCOMPARE(window->currentFile(), saved);
        QCOMPARE(window->usedCount(kComputer), 20);
        QVERIFY(rig->dialogs.Calls().isEmpty());  // no file dialog
        QCOMPARE(history.RecentFiles().size(), 1);
        history.Clear();
    }

    void untitledFilesAreKeptOrAskedFor() {
        const QString first = window->currentFile();
        Computer().SetText(1, 1, QStringLiteral("Bob"));
        window->setUsedCountOfCurrentList(1);
        Button("copyToCardButton");  // nothing marked
        window->newRecord(kComputer);
        QTRY_VERIFY(window->editorOverCell());
        QTest::keyClicks(window->editor(), QStringLiteral("Carol"));
        QTRY_VERIFY(Button("saveFileButton")->isEnabled());
        // A modified untitled list asks 12000; No deletes its scratch file.
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        Button("newFileButton")->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveNewRecordQuestion);
        QVERIFY(!QFile::exists(first) || window->currentFile() == first);

        // Save writes an untitled list into its scratch file, which then stays.
        Computer().SetText(1, 1, QStringLiteral("Dan"));
        window->setUsedCountOfCurrentList(1);
        QTest::keyClick(window->grid(kComputer), Qt::Key_Return);
        QTRY_VERIFY(window->editorOverCell());
        QTest::keyClicks(window->editor(), QStringLiteral("!"));
        QTRY_VERIFY(Button("saveFileButton")->isEnabled());
        const QString kept = window->currentFile();
        window->saveFile();
        QVERIFY(window->untitledFile().isEmpty());
        Button("newFileButton")->click();
        QVERIFY(QFile::exists(kept));
        QVERIFY(window->currentFile() != kept);
    }

    // Writing the SIM list back right after reading it changes no byte on the card.
    void writesBackUnchanged() {
        ReadCard();
        Pellucard& engine = rig->engine();
        const auto before = cardRecords(engine, CardBook::PhoneBook);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("writeButton")->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveToSimQuestion);
        // Every record read goes back as it was read.
        QCOMPARE(label("lastReadLabel")->text(),
                 Message(MessageId::RecordsWrittenToCard, 0).arg(250));
        QCOMPARE(cardRecords(engine, CardBook::PhoneBook), before);

        // An edited name outside the GSM alphabet is written whole.
        ClickCell(window->grid(kSim), 3, 1);
        QTRY_VERIFY(window->editorOverCell());
        Type(window->editor(), QStringLiteral("Чайковский"));
        QTRY_COMPARE(Sim().Text(3, 1), QStringLiteral("Чайковский"));
        window->grid(kSim)->setFocus();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("writeButton")->click();
        const auto after = cardRecords(engine, CardBook::PhoneBook);
        QCOMPARE(QString::fromStdString(DecodePhoneBookRecord(after[2]).name),
                 QStringLiteral("Чайковский"));
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (i != 2)
                QCOMPARE(after[i], before[i]);
        }
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("readButton")->click();
        QCOMPARE(Sim().Text(3, 1), QStringLiteral("Чайковский"));
        QCOMPARE(Sim().Text(5, 1), QStringLiteral("Достоевский"));

        // A row whose number was edited is encoded anew: its name of 11 Cyrillic letters,
        // more than form 0x80 holds, keeps every letter.
        ClickCell(window->grid(kSim), 5, 2);
        QTRY_VERIFY(window->editorOverCell());
        QTest::keyClick(window->editor(), Qt::Key_Backspace);
        QTRY_COMPARE(Sim().Text(5, 2), QStringLiteral("+7495123456"));
        window->grid(kSim)->setFocus();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("writeButton")->click();
        const auto edited = cardRecords(engine, CardBook::PhoneBook);
        QVERIFY(edited[4] != before[4]);
        QCOMPARE(QString::fromStdString(DecodePhoneBookRecord(edited[4]).name),
                 QStringLiteral("Достоевский"));
        QCOMPARE(QString::fromStdString(DecodePhoneBookRecord(edited[4]).Number()),
                 QStringLiteral("+7495123456"));
    }

    void pullingTheCardStopsTheWrite() {
        ReadCard();
        rig->Reader().Faults().unplugAfterReports = 400;
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("writeButton")->click();
        const QString status = label("lastReadLabel")->text();
        QVERIFY2(status.startsWith(Message(MessageId::DownLoadingProblem, 0)), qPrintable(status));
        const int record = status.mid(Message(MessageId::DownLoadingProblem, 0).size()).toInt();
        QVERIFY(record > 1 && record < 250);
        QCOMPARE(rig->pollInterval, 1);
    }

    void clipboardAndPaste() {
        ReadCard();
        RecordTable* sim = window->grid(kSim);
        ClickSlot(sim, 1);
        ClickSlot(sim, 2, Qt::ShiftModifier);
        sim->setFocus();
        QTest::keyClick(sim, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied, QStringLiteral("Alias\tPhone\r\nAlice Martin\t+441632960123\r\n"
                                        "José Müller\t0301234567\r\n"));
        RecordTable* computer = window->grid(kComputer);
        computer->setFocus();
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 2);
        QCOMPARE(Computer().Text(2, 2), QStringLiteral("0301234567"));
        QVERIFY(Button("saveFileButton")->isEnabled());

        QApplication::clipboard()->setText(QStringLiteral("Name\tNumber\r\nEve\t1\r\n"));
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 2);
        QApplication::clipboard()->setText(QStringLiteral("alias\tPHONE\r\nEve\t12x\r\nOnly\r\n"));
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 4);
        QCOMPARE(Computer().Text(3, 2), QStringLiteral("12"));
        QCOMPARE(Computer().Text(4, 1), QStringLiteral("Only"));
    }

    void sortsAndFinds() {
        ReadCard();
        ClickTitle(window->grid(kSim), 1);
        QCOMPARE(window->usedCount(kSim), 15);  // the empty slots went
        QCOMPARE(Sim().Text(1, 1), QString());  // "112" has no name: it sorts first
        QCOMPARE(Sim().Text(2, 1), QStringLiteral("Alice Martin"));
        ClickTitle(window->grid(kSim), 1);
        QCOMPARE(Sim().Text(15, 1), QString());

        auto* box = window->findChild<QLineEdit*>("findBox_1");
        box->setText(QStringLiteral("*art"));
        window->findFromTop(kSim);
        QTRY_VERIFY(window->editorOverCell());
        const int found = window->grid(kSim)->currentRow();
        QCOMPARE(Sim().Text(found, 1), QStringLiteral("Alice Martin"));
        QCOMPARE(window->editor()->textCursor().selectedText(), QStringLiteral("art"));
        box->setText(QStringLiteral("?ffice"));
        window->findNext(kSim);
        QTRY_COMPARE(Sim().Text(window->grid(kSim)->currentRow(), 1), QStringLiteral("Office ext"));
        // Find Next wraps to the top when nothing follows.
        window->findNext(kSim);
        QTRY_COMPARE(Sim().Text(window->grid(kSim)->currentRow(), 1), QStringLiteral("Office ext"));
    }

    void newSlotGrowsWithinTheCard() {
        RecordList& sim = Sim();
        for (int row = 1; row <= 256; ++row)
            sim.SetText(row, 1, QStringLiteral("n%1").arg(row));
        window->grid(kSim)->setCurrentCell(1, 1);
        // 257 rows + 2 exceeds the card's 250 records: the SIM list does not grow.
        int count = 0;
        int used = 0;
        window->newRecord(kSim);
        window->usedCountOfCurrentList(used, count);
        QCOMPARE(sim.Rows(), 257);
        for (int row = 1; row <= 256; ++row)
            Computer().SetText(row, 1, QStringLiteral("c%1").arg(row));
        window->grid(kComputer)->setCurrentCell(1, 1);
        window->newRecord(kComputer);
        window->setUsedCountOfCurrentList(256);
        window->newRecord(kComputer);
        QCOMPARE(Computer().Rows(), 258);
        QTRY_COMPARE(window->grid(kComputer)->currentRow(), 257);
    }

    void printsTheList() {
        ReadCard();
        int rows = -1;
        QString fourth;
        setPrintDialogRunner([&](PrintRecordsDialog& form) {
            rows = form.recordCount();
            fourth = form.records().Text(4, 1);
        });
        window->printList(kSim);
        setPrintDialogRunner(nullptr);
        QCOMPARE(rows, 20);
        QCOMPARE(fourth, QStringLiteral("王小明"));
    }
};

QTEST_MAIN(SimRecTest)
#include "phone_book_window_test.moc"
