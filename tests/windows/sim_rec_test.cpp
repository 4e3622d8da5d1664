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
#include "shell/printer_form.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/print_hook.h"
#include "windows/record_columns.h"
#include "windows/record_list_model.h"
#include "windows/sim_rec.h"

using namespace pellucard;
using namespace pellucard::testing;

class SimRecTest : public QObject, RecordWindowFixture<SimRec> {
    Q_OBJECT

private:
    // Read with the PIN dialog answered; the demo card asks for PIN1.
    void ReadCard() {
        ReadWith("Connectosim");
        QCOMPARE(window->UsedCount(kSim), 20);
    }

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { Close(); }

    void opensWithAnUntitledFile() {
        QCOMPARE(rig->session->CurrentWindow, WindowIndex::SimRec);
        QCOMPARE(window->CurrentFile(), ApplicationFilePath("NewPhoneRecord0.SPB"));
        QVERIFY(QFile::exists(window->CurrentFile()));
        QCOMPARE(window->findChild<QGroupBox*>("FRecord_0")->title(),
                 QStringLiteral("NewPhoneRecord0.SPB"));
        QCOMPARE(window->findChild<QGroupBox*>("FRecord_1")->title(),
                 Message(MessageId::SimCardPhoneBook, 0));
        QCOMPARE(Label("RecordL")->text(), QStringLiteral("250"));
        QVERIFY(Button("Connectosim")->isEnabled());
        QVERIFY(!Button("CmdNewSave")->isEnabled());
        QVERIFY(rig->menu[FileMenuEntry::New] && !rig->menu[FileMenuEntry::Save]);
        QCOMPARE(Sim().Text(0, 1), QStringLiteral("Alias"));
        QCOMPARE(Sim().Rows(), 257);
        window->Form_Deactivate();
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
        QCOMPARE(Label("LNowRec")->text(), ReadTotalText(250, 15, 0));
        QCOMPARE(window->findChild<QProgressBar*>("ProgressBar1")->value(), 250);
        QVERIFY(rig->polling);

        // A second read asks before replacing the list; No keeps it.
        Sim().SetText(1, 1, QStringLiteral("changed"));
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        Button("Connectosim")->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::OverwriteRecordQuestion);
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("changed"));
    }

    void anotherCardIsOnlyExamined() {
        rig->session->CardInfo.CardId = QStringLiteral("8900000000000000000");
        Button("Connectosim")->click();
        QCOMPARE(window->UsedCount(kSim), 0);
        QCOMPARE(rig->session->CardInfo.MaxPhoneRecords, 250);
        QVERIFY(rig->dialogs.Calls().isEmpty());
    }

    // Marking by slot numbers and copying to the computer list; a record the computer list
    // already holds is refused with its message.
    void copiesMarkedRowsAndRefusesDuplicates() {
        ReadCard();
        RecordTable* sim = window->Grid(kSim);
        ClickSlot(sim, 1);
        ClickSlot(sim, 2, Qt::ShiftModifier);
        QVERIFY(window->Model(kSim)->IsMarked(1) && window->Model(kSim)->IsMarked(2));
        QVERIFY(!window->Model(kSim)->IsMarked(3));
        Button("CmdRight")->click();
        QCOMPARE(window->UsedCount(kComputer), 2);
        QCOMPARE(Computer().Text(2, 1), QStringLiteral("José Müller"));
        QVERIFY(Button("CmdNewSave")->isEnabled());
        QVERIFY(rig->menu[FileMenuEntry::Save]);
        QVERIFY(!window->Model(kSim)->IsMarked(1));

        ClickSlot(sim, 1);
        Button("CmdRight")->click();
        QCOMPARE(Count(MessageId::SameRecordNumber), 1);
        QCOMPARE(rig->dialogs.LastMessage().text, Message(MessageId::SameRecordNumber, 0) +
                                                      QStringLiteral(" 1") +
                                                      Message(MessageId::InDestinationList, 0));
        QCOMPARE(window->UsedCount(kComputer), 2);

        // Ctrl+A marks every used slot; the corner cell inverts.
        sim->setFocus();
        QTest::keyClick(sim, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(window->Model(kSim)->IsMarked(20) && !window->Model(kSim)->IsMarked(3));
        sim->CornerButton()->click();
        QVERIFY(!window->Model(kSim)->IsMarked(20) && !window->Model(kSim)->IsMarked(3));
    }

    void editsInPlace() {
        RecordTable* computer = window->Grid(kComputer);
        ClickCell(computer, 1, 1);
        CellEditor* editor = window->Editor();
        QTRY_VERIFY(window->EditorOverCell());
        QCOMPARE(editor->parentWidget(), computer->viewport());
        Type(editor, QStringLiteral("Ελένη"));
        QTRY_COMPARE(Computer().Text(1, 1), QStringLiteral("Ελένη"));
        QCOMPARE(window->UsedCount(kComputer), 1);
        QVERIFY(Button("CmdNewSave")->isEnabled());

        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(computer->CurrentColumn(), 2);
        // A refused letter is a hint that takes no focus: the keystrokes after it arrive.
        QTest::keyClicks(editor, QStringLiteral("+12a3+"));
        QTRY_COMPARE(Computer().Text(1, 2), QStringLiteral("+123"));
        QCOMPARE(Count(MessageId::InvalidNumberCharacter), 0);
        QCOMPARE(rig->status, Message(MessageId::InvalidNumberCharacter, 0));
        QCOMPARE(QToolTip::text(), Message(MessageId::InvalidNumberCharacter, 0));
        QVERIFY(editor->hasFocus());
        QCOMPARE(editor->Text(), QStringLiteral("+123"));

        // Forty characters in the computer list; the SIM list takes what its records hold.
        ClickCell(computer, 2, 1);
        QTRY_VERIFY(window->EditorOverCell());
        QTest::keyClicks(editor, QString(45, QLatin1Char('x')));
        QCOMPARE(Computer().Text(2, 1), QString(40, QLatin1Char('x')));
        ClickCell(window->Grid(kSim), 1, 1);
        QTRY_COMPARE(window->EditorList(), kSim);
        QTest::keyClicks(editor, QString(20, QLatin1Char('y')));
        QCOMPARE(Sim().Text(1, 1), QString(14, QLatin1Char('y')));

        // Delete over a cell empties that cell only.
        window->Model(kComputer)->List().SetText(1, 26, QStringLiteral("1"));
        ClickCell(computer, 2, 1);
        QTRY_COMPARE(window->EditorList(), kComputer);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->Cmddelsim_Click(kComputer);
        QCOMPARE(Computer().Text(2, 1), QString());
        QCOMPARE(Computer().Text(1, 1), QStringLiteral("Ελένη"));
        QCOMPARE(window->UsedCount(kComputer), 1);

        // Without the editor the marked rows are emptied.
        window->Grid(kComputer)->setFocus();
        QTRY_VERIFY(!window->EditorOverCell());
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->Cmddelsim_Click(kComputer);
        QCOMPARE(Computer().Text(1, 1), QString());
        QCOMPARE(window->UsedCount(kComputer), 0);
    }

    // Save as, new file, open again: every name comes back, Cyrillic and Chinese included,
    // and the untitled scratch file does not outlive its list.
    void filesKeepTheRecords() {
        ReadCard();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // computer list is empty: no question
        Button("Cmdallright")->click();
        QCOMPARE(window->UsedCount(kComputer), 20);
        const QString scratch = window->CurrentFile();
        const QString saved = rig->folder.filePath("book.SPB");
        rig->dialogs.Clear();
        rig->dialogs.QueueFileName(saved);
        Button("CmdSaveAs")->click();
        QCOMPARE(window->CurrentFile(), saved);
        QVERIFY(!Button("CmdNewSave")->isEnabled());
        QVERIFY(!QFile::exists(scratch));
        QCOMPARE(window->findChild<QGroupBox*>("FRecord_0")->title(), QStringLiteral("book.SPB"));
        QCOMPARE(QFileInfo(saved).size(), 20 * 4340);

        Button("CmdNewNewrecord")->click();
        QCOMPARE(window->UsedCount(kComputer), 0);
        QCOMPARE(window->CurrentFile(), scratch);  // the first free number again

        rig->dialogs.QueueFileName(saved);
        Button("CmdNewOpen")->click();
        QCOMPARE(window->UsedCount(kComputer), 20);
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
        Button("Cmdallright")->click();
        QTemporaryDir mine;  // the user's folder, apart from the program's own files
        const QString saved = mine.filePath("book.SPB");
        rig->dialogs.QueueFileName(saved);
        Button("CmdSaveAs")->click();
        QCOMPARE(window->CurrentFile(), saved);
        QCOMPARE(history.RecentFiles().size(), 1);
        QCOMPARE(history.RecentFiles()[0].path, saved);
        QCOMPARE(history.RecentFiles()[0].windowIndex, 4);

        Button("CmdNewNewrecord")->click();
        QCOMPARE(history.RecentFiles().size(), 1);  // the scratch file is not listed
        rig->dialogs.Clear();
        ChooseNextOpenFile(saved);
        window->RunFileCommand(FileCommand::Open);
        ChooseNextOpenFile({});
        QCOMPARE(window->CurrentFile(), saved);
        QCOMPARE(window->UsedCount(kComputer), 20);
        QVERIFY(rig->dialogs.Calls().isEmpty());  // no file dialog
        QCOMPARE(history.RecentFiles().size(), 1);
        history.Clear();
    }

    void untitledFilesAreKeptOrAskedFor() {
        const QString first = window->CurrentFile();
        Computer().SetText(1, 1, QStringLiteral("Bob"));
        window->InPutTotal(1);
        Button("CmdLeft");  // nothing marked
        window->CmdNewRecord_Click(kComputer);
        QTRY_VERIFY(window->EditorOverCell());
        QTest::keyClicks(window->Editor(), QStringLiteral("Carol"));
        QTRY_VERIFY(Button("CmdNewSave")->isEnabled());
        // A modified untitled list asks 12000; No deletes its scratch file.
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        Button("CmdNewNewrecord")->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveNewRecordQuestion);
        QVERIFY(!QFile::exists(first) || window->CurrentFile() == first);

        // Save writes an untitled list into its scratch file, which then stays.
        Computer().SetText(1, 1, QStringLiteral("Dan"));
        window->InPutTotal(1);
        QTest::keyClick(window->Grid(kComputer), Qt::Key_Return);
        QTRY_VERIFY(window->EditorOverCell());
        QTest::keyClicks(window->Editor(), QStringLiteral("!"));
        QTRY_VERIFY(Button("CmdNewSave")->isEnabled());
        const QString kept = window->CurrentFile();
        window->CmdNewSave_Click();
        QVERIFY(window->UntitledFile().isEmpty());
        Button("CmdNewNewrecord")->click();
        QVERIFY(QFile::exists(kept));
        QVERIFY(window->CurrentFile() != kept);
    }

    // Writing the SIM list back right after reading it changes no byte on the card.
    void writesBackUnchanged() {
        ReadCard();
        Pellucard& engine = rig->Engine();
        const auto before = CardRecords(engine, CardBook::PhoneBook);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("CmdSaveSim")->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveToSimQuestion);
        // Every record read goes back as it was read.
        QCOMPARE(Label("LNowRec")->text(), Message(MessageId::RecordsWrittenToCard, 0).arg(250));
        QCOMPARE(CardRecords(engine, CardBook::PhoneBook), before);

        // An edited name outside the GSM alphabet is written whole.
        ClickCell(window->Grid(kSim), 3, 1);
        QTRY_VERIFY(window->EditorOverCell());
        Type(window->Editor(), QStringLiteral("Чайковский"));
        QTRY_COMPARE(Sim().Text(3, 1), QStringLiteral("Чайковский"));
        window->Grid(kSim)->setFocus();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("CmdSaveSim")->click();
        const auto after = CardRecords(engine, CardBook::PhoneBook);
        QCOMPARE(QString::fromStdString(DecodePhoneBookRecord(after[2]).name),
                 QStringLiteral("Чайковский"));
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (i != 2)
                QCOMPARE(after[i], before[i]);
        }
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("Connectosim")->click();
        QCOMPARE(Sim().Text(3, 1), QStringLiteral("Чайковский"));
        QCOMPARE(Sim().Text(5, 1), QStringLiteral("Достоевский"));

        // A row whose number was edited is encoded anew: its name of 11 Cyrillic letters,
        // more than form 0x80 holds, keeps every letter.
        ClickCell(window->Grid(kSim), 5, 2);
        QTRY_VERIFY(window->EditorOverCell());
        QTest::keyClick(window->Editor(), Qt::Key_Backspace);
        QTRY_COMPARE(Sim().Text(5, 2), QStringLiteral("+7495123456"));
        window->Grid(kSim)->setFocus();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("CmdSaveSim")->click();
        const auto edited = CardRecords(engine, CardBook::PhoneBook);
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
        Button("CmdSaveSim")->click();
        const QString status = Label("LNowRec")->text();
        QVERIFY2(status.startsWith(Message(MessageId::DownLoadingProblem, 0)), qPrintable(status));
        const int record = status.mid(Message(MessageId::DownLoadingProblem, 0).size()).toInt();
        QVERIFY(record > 1 && record < 250);
        QCOMPARE(rig->pollInterval, 1);
    }

    void clipboardAndPaste() {
        ReadCard();
        RecordTable* sim = window->Grid(kSim);
        ClickSlot(sim, 1);
        ClickSlot(sim, 2, Qt::ShiftModifier);
        sim->setFocus();
        QTest::keyClick(sim, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied, QStringLiteral("Alias\tPhone\r\nAlice Martin\t+441632960123\r\n"
                                        "José Müller\t0301234567\r\n"));
        RecordTable* computer = window->Grid(kComputer);
        computer->setFocus();
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->UsedCount(kComputer), 2);
        QCOMPARE(Computer().Text(2, 2), QStringLiteral("0301234567"));
        QVERIFY(Button("CmdNewSave")->isEnabled());

        QApplication::clipboard()->setText(QStringLiteral("Name\tNumber\r\nEve\t1\r\n"));
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->UsedCount(kComputer), 2);
        QApplication::clipboard()->setText(QStringLiteral("alias\tPHONE\r\nEve\t12x\r\nOnly\r\n"));
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->UsedCount(kComputer), 4);
        QCOMPARE(Computer().Text(3, 2), QStringLiteral("12"));
        QCOMPARE(Computer().Text(4, 1), QStringLiteral("Only"));
    }

    void sortsAndFinds() {
        ReadCard();
        ClickTitle(window->Grid(kSim), 1);
        QCOMPARE(window->UsedCount(kSim), 15);  // the empty slots went
        QCOMPARE(Sim().Text(1, 1), QString());  // "112" has no name: it sorts first
        QCOMPARE(Sim().Text(2, 1), QStringLiteral("Alice Martin"));
        ClickTitle(window->Grid(kSim), 1);
        QCOMPARE(Sim().Text(15, 1), QString());

        auto* box = window->findChild<QLineEdit*>("FindBox_1");
        box->setText(QStringLiteral("*art"));
        window->FindBox_Enter(kSim);
        QTRY_VERIFY(window->EditorOverCell());
        const int found = window->Grid(kSim)->CurrentRow();
        QCOMPARE(Sim().Text(found, 1), QStringLiteral("Alice Martin"));
        QCOMPARE(window->Editor()->textCursor().selectedText(), QStringLiteral("art"));
        box->setText(QStringLiteral("?ffice"));
        window->ComNext_Click(kSim);
        QTRY_COMPARE(Sim().Text(window->Grid(kSim)->CurrentRow(), 1), QStringLiteral("Office ext"));
        // Find Next wraps to the top when nothing follows.
        window->ComNext_Click(kSim);
        QTRY_COMPARE(Sim().Text(window->Grid(kSim)->CurrentRow(), 1), QStringLiteral("Office ext"));
    }

    void newSlotGrowsWithinTheCard() {
        RecordList& sim = Sim();
        for (int row = 1; row <= 256; ++row)
            sim.SetText(row, 1, QStringLiteral("n%1").arg(row));
        window->Grid(kSim)->SetCurrentCell(1, 1);
        // 257 rows + 2 exceeds the card's 250 records: the SIM list does not grow.
        int count = 0;
        int used = 0;
        window->CmdNewRecord_Click(kSim);
        window->OutPutTotal(used, count);
        QCOMPARE(sim.Rows(), 257);
        for (int row = 1; row <= 256; ++row)
            Computer().SetText(row, 1, QStringLiteral("c%1").arg(row));
        window->Grid(kComputer)->SetCurrentCell(1, 1);
        window->CmdNewRecord_Click(kComputer);
        window->InPutTotal(256);
        window->CmdNewRecord_Click(kComputer);
        QCOMPARE(Computer().Rows(), 258);
        QTRY_COMPARE(window->Grid(kComputer)->CurrentRow(), 257);
    }

    void printsTheList() {
        ReadCard();
        int rows = -1;
        QString fourth;
        SetPrintDialogRunner([&](PrinterForm& form) {
            rows = form.RecordCount();
            fourth = form.Grid2().Text(4, 1);
        });
        window->CmdPrint_Click(kSim);
        SetPrintDialogRunner(nullptr);
        QCOMPARE(rows, 20);
        QCOMPARE(fourth, QStringLiteral("王小明"));
    }
};

QTEST_MAIN(SimRecTest)
#include "sim_rec_test.moc"
