// The phone book window as a person uses it, on the instant virtual reader with the demo card,
// and its text export and import in every language.
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/phonebook_entry.h"
#include "records/file_history.h"
#include "records/record_documents.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/export_dialog.h"
#include "windows/import_dialog.h"
#include "windows/phone_book_window.h"
#include "windows/record_exchange.h"
#include "windows/record_list_model.h"

using namespace pellucard;
using namespace pellucard::testing;

class PhoneBookWindowTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private:
    void UseLanguage(int language) {
        rig->session->setLanguageIndex(language);
        window->changeLanguage();
    }
    // Read with the PIN dialog answered; the demo card asks for PIN1.
    void ReadCard() {
        ReadWith("readButton");
        QCOMPARE(window->usedCount(kSim), 20);
    }

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() {
        setRecordExportHook({});
        setRecordImportHook({});
        Close();
    }

    // A window in the background follows the card all the same.
    void followsTheCardInTheBackground() {
        QCOMPARE(label("recordCountLabel")->text(), QStringLiteral("250"));
        window->deactivate();
        QCOMPARE(rig->session->currentWindow(), WindowIndex::None);
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
        QCOMPARE(Sim().Text(10, 2), QStringLiteral("+31201234567P123"));
        // 250 records read, 15 of them entries: the empty slots up to the last one are not.
        QCOMPARE(label("lastReadLabel")->text(), readTotalText(250, 15, 0));
        QVERIFY(rig->polling);

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

    // Marking by slot numbers and copying to the computer list; a record the computer list
    // already holds is refused with its message.
    void copiesMarkedRowsAndRefusesDuplicates() {
        ReadCard();
        RecordTable* sim = window->grid(kSim);
        ClickSlot(sim, 1);
        ClickSlot(sim, 2, Qt::ShiftModifier);
        QVERIFY(!window->model(kSim)->IsMarked(3));
        Button("copyToComputerButton")->click();
        QCOMPARE(window->usedCount(kComputer), 2);
        QCOMPARE(Computer().Text(2, 1), QStringLiteral("José Müller"));
        QVERIFY(Button("saveFileButton")->isEnabled());
        QVERIFY(!window->model(kSim)->IsMarked(1));

        ClickSlot(sim, 1);
        Button("copyToComputerButton")->click();
        QCOMPARE(Count(MessageId::SameRecordNumber), 1);
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

        // Without the editor the marked rows are emptied.
        window->grid(kComputer)->setFocus();
        QTRY_VERIFY(!window->editorOverCell());
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->deleteMarked(kComputer);
        QCOMPARE(Computer().Text(1, 1), QString());
        QCOMPARE(window->usedCount(kComputer), 0);
    }

    // Save As, New, then Open from the recent files: every name comes back, Cyrillic and
    // Chinese included; the untitled scratch file does not outlive its list and is never listed.
    void filesKeepTheRecords() {
        FileHistory& history = FileHistory::Instance();
        history.Clear();
        ReadCard();
        Button("copyAllToComputerButton")->click();
        const QString scratch = window->currentFile();
        QTemporaryDir mine;  // the user's folder, apart from the program's own files
        const QString saved = mine.filePath("book.SPB");
        rig->dialogs.QueueFileName(saved);
        Button("saveAsButton")->click();
        QCOMPARE(window->currentFile(), saved);
        QVERIFY(!Button("saveFileButton")->isEnabled());
        QVERIFY(!QFile::exists(scratch));
        QCOMPARE(QFileInfo(saved).size(), 20 * 4340);

        Button("newFileButton")->click();
        QCOMPARE(window->usedCount(kComputer), 0);
        QCOMPARE(window->currentFile(), scratch);  // the first free number again
        QCOMPARE(history.RecentFiles().size(), 1);
        QCOMPARE(history.RecentFiles()[0].path, saved);
        QCOMPARE(history.RecentFiles()[0].windowIndex, 4);
        rig->dialogs.Clear();
        ChooseNextOpenFile(saved);
        window->runFileCommand(FileCommand::Open);
        ChooseNextOpenFile({});
        QVERIFY(rig->dialogs.Calls().isEmpty());  // no file dialog
        QCOMPARE(window->usedCount(kComputer), 20);
        QVERIFY(!QFile::exists(scratch));  // the empty untitled file went with its list
        for (int row = 1; row <= 20; ++row) {
            QCOMPARE(Computer().Text(row, 1), Sim().Text(row, 1));
            QCOMPARE(Computer().Text(row, 2), Sim().Text(row, 2));
        }
        QCOMPARE(history.RecentFiles().size(), 1);
        history.Clear();
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
        QCOMPARE(label("lastReadLabel")->text(),
                 Message(MessageId::RecordsWrittenToCard, 0).arg(250));
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

    // Copied records paste as they were; a clipboard whose titles name no field is refused,
    // and numbers pass the number filter.
    void clipboardAndPaste() {
        ReadCard();
        RecordTable* sim = window->grid(kSim);
        ClickSlot(sim, 1);
        ClickSlot(sim, 2, Qt::ShiftModifier);
        sim->setFocus();
        QTest::keyClick(sim, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Alias\tPhone\r\nAlice Martin\t+441632960123\r\n"
                                "José Müller\t0301234567\r\n"));
        RecordTable* computer = window->grid(kComputer);
        computer->setFocus();
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 2);
        QCOMPARE(Computer().Text(2, 2), QStringLiteral("0301234567"));

        QApplication::clipboard()->setText(QStringLiteral("Name\tNumber\r\nEve\t1\r\n"));
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 2);
        QApplication::clipboard()->setText(QStringLiteral("alias\tPHONE\r\nEve\t12x\r\nOnly\r\n"));
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 4);
        QCOMPARE(Computer().Text(3, 2), QStringLiteral("12"));
        QCOMPARE(Computer().Text(4, 1), QStringLiteral("Only"));
    }

    // Sorting drops the empty slots; find takes wildcards and wraps to the top.
    void sortsAndFinds() {
        ReadCard();
        ClickTitle(window->grid(kSim), 1);
        QCOMPARE(window->usedCount(kSim), 15);
        QCOMPARE(Sim().Text(1, 1), QString());  // "112" has no name: it sorts first

        auto* box = window->findChild<QLineEdit*>("findBox_1");
        box->setText(QStringLiteral("*art"));
        window->findFromTop(kSim);
        QTRY_VERIFY(window->editorOverCell());
        QCOMPARE(Sim().Text(window->grid(kSim)->currentRow(), 1), QStringLiteral("Alice Martin"));
        QCOMPARE(window->editor()->textCursor().selectedText(), QStringLiteral("art"));
        box->setText(QStringLiteral("?ffice"));
        window->findNext(kSim);
        QTRY_COMPARE(Sim().Text(window->grid(kSim)->currentRow(), 1), QStringLiteral("Office ext"));
        window->findNext(kSim);
        QTRY_COMPARE(Sim().Text(window->grid(kSim)->currentRow(), 1), QStringLiteral("Office ext"));
    }

    // New never grows the SIM list beyond the card's records, even when every slot is used.
    void simListDoesNotGrowBeyondTheCard() {
        for (int row = 1; row <= 256; ++row)
            Sim().SetText(row, 1, QStringLiteral("n%1").arg(row));
        window->grid(kSim)->setCurrentCell(1, 1);
        window->newRecord(kSim);
        QCOMPARE(Sim().Rows(), 257);
    }

    // A file exported in one language imports in another with its names and numbers.
    void exportedInOneLanguageImportedInAnother_data() {
        QTest::addColumn<int>("exported");
        QTest::addColumn<int>("imported");
        for (int language = 0; language < kLanguageCount; ++language) {
            const int other = (language + 3) % kLanguageCount;
            QTest::addRow("%d to %d", language, other) << language << other;
        }
    }

    void exportedInOneLanguageImportedInAnother() {
        QFETCH(int, exported);
        QFETCH(int, imported);
        const QStringList names = {"Ann Berg", "Иван Петров", "Γιώργος"};
        const QStringList numbers = {"+46701234567", "+79123456789", "*100#"};
        for (int row = 1; row <= 3; ++row) {
            Computer().SetText(row, 1, names[row - 1]);
            Computer().SetText(row, 2, numbers[row - 1]);
        }
        window->setUsedCountOfCurrentList(3);
        const QString path = rig->folder.filePath(QStringLiteral("book.csv"));

        // The file's titles are the exporting language's; the import links them by themselves.
        setRecordExportHook(showExportDialog);
        setRecordImportHook(showImportDialog);
        UseLanguage(exported);
        rig->dialogs.RunModalWith(
            [](QDialog& dialog) { dialog.findChild<QPushButton*>("exportButton")->click(); });
        rig->dialogs.QueueFileName(path);
        window->exportText(QLatin1Char(','));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(
            QString::fromUtf8(file.readLine()).contains(Message(MessageId::PhoneTitle, exported)));

        UseLanguage(imported);
        rig->dialogs.RunModalWith(
            [](QDialog& dialog) { dialog.findChild<QPushButton*>("importButton")->click(); });
        rig->dialogs.QueueFileName(path);
        window->importText(QLatin1Char(','));
        QCOMPARE(window->usedCount(kComputer), 6);
        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(Computer().Text(3 + row, 1), names[row - 1]);
            QCOMPARE(Computer().Text(3 + row, 2), numbers[row - 1]);
        }
    }
};

QTEST_MAIN(PhoneBookWindowTest)
#include "phone_book_window_test.moc"
