// The personal record window as a person uses it: a new file, every kind of field, files,
// find, delete, the clipboard and the language.
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QUndoStack>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "records/application_folder.h"
#include "shell/mdi_main.h"
#include "shell/printer_form.h"
#include "shell/window_factory.h"
#include "support/window_rig.h"
#include "windows/exchange_dialog_runner.h"
#include "windows/export_dialog.h"
#include "windows/person_rec.h"
#include "windows/print_hook.h"
#include "windows/record_list_model.h"
#include "windows/record_windows.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// Empties a field as a person does, then types.
void Retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    Type(edit, text);
}

QStringList Items(const QComboBox* chooser) {
    QStringList items;
    for (int i = 0; i < chooser->count(); ++i)
        items.append(chooser->itemText(i));
    return items;
}

}  // namespace

class PersonRecTest : public QObject, RecordWindowFixture<PersonRec> {
    Q_OBJECT

private:
    RecordList& List() { return window->List(); }
    QLineEdit* Field(int column) { return window->Text3(column); }
    void OpenWindow() {
        window = rig->Open<PersonRec>();
        QVERIFY(window);
    }
    void Select(int row) { window->Grid()->SetCurrentCell(row, 1); }
    QString Path(const QString& name) const { return rig->folder.filePath(name); }
    void SaveAs(const QString& name) {
        rig->dialogs.QueueFileName(Path(name));
        window->CmdSaveAs->click();
        QCOMPARE(window->CurrentFile(), Path(name));
    }
    void Mark(int row) { List().SetText(row, PersonRec::kMarkColumn, QStringLiteral("1")); }

private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->dialogs.OnUnexpected([](const QString& what) { QFAIL(qPrintable(what)); });
        OpenWindow();
    }
    void cleanup() {
        SetPrintDialogRunner(nullptr);
        Close();
    }

    // The address book lives on the computer: with the reader unplugged the window still
    // opens, edits, saves and exports.
    void worksWithoutAReader() {
        delete window;
        window = nullptr;
        rig->Reader().Unplug();
        FindReaderAndCard(*rig->session, *rig->session->Gate().Acquire(CardGate::Work::Poll));
        QVERIFY(!rig->Engine().ReaderPresent());
        OpenWindow();
        Select(1);
        Type(Field(1), QStringLiteral("Åsa"));
        QCOMPARE(List().Text(1, 1), QStringLiteral("Åsa"));
        QVERIFY(window->CmdNewSave->isEnabled());
        SaveAs(QStringLiteral("offline.SPB"));
        QVERIFY(QFileInfo(Path(QStringLiteral("offline.SPB"))).size() > 0);
        QVERIFY(!window->CmdNewSave->isEnabled());
        QString exported;
        SetExchangeDialogRunner([&](QDialog& dialog) {
            if (auto* exporting = qobject_cast<Export*>(&dialog))
                exported = exporting->Grid().Text(1, 1);
        });
        window->CmdExport(QLatin1Char(','));
        SetExchangeDialogRunner(nullptr);
        QCOMPARE(exported, QStringLiteral("Åsa"));
    }

    // Field edits, a paste and a delete are steps that come back exactly; Save follows them.
    void undoesAndRedoesItsChanges() {
        QUndoStack* history = window->UndoStack();
        const QList<RecordRow> empty = List().Snapshot();
        Select(1);
        Type(Field(1), QStringLiteral("Ann"));
        Type(Field(3), QStringLiteral("Lee"));
        QCOMPARE(history->count(), 2);  // one step per field
        const QList<RecordRow> typed = List().Snapshot();
        history->undo();
        history->undo();
        QVERIFY(List().Snapshot() == empty);
        QVERIFY(!window->Modified() && !window->CmdNewSave->isEnabled());
        QCOMPARE(window->UsedCount(), 0);
        history->redo();
        history->redo();
        QVERIFY(List().Snapshot() == typed);
        QVERIFY(window->Modified() && window->CmdNewSave->isEnabled());
        QCOMPARE(window->UsedCount(), 1);

        SaveAs(QStringLiteral("undo.SPB"));
        QVERIFY(!window->Modified());
        Mark(1);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->Cmddelsim_Click();
        QCOMPARE(List().Text(1, 1), QString());
        QVERIFY(window->Modified());
        history->undo();
        QCOMPARE(List().Text(1, 1), QStringLiteral("Ann"));
        QVERIFY(!window->Modified());  // back to what the file holds
    }

    void opensOnANewFileAndClosingItUnchangedLeavesNothing() {
        const QString path = ApplicationFilePath(QStringLiteral("NewPhoneRecord0.SPB"));
        QCOMPARE(window->CurrentFile(), path);
        QVERIFY(QFile::exists(path));
        QCOMPARE(window->FRecord->text(), QStringLiteral("NewPhoneRecord0.SPB"));
        QCOMPARE(rig->session->CurrentWindow, WindowIndex::PersonRec);
        QCOMPARE(List().Rows(), 257);
        QCOMPARE(List().Text(0, 17), QStringLiteral("Mobile Phone"));
        QVERIFY(!window->CmdNewSave->isEnabled() && !rig->menu[FileMenuEntry::Save]);
        QVERIFY(rig->menu[FileMenuEntry::Import] && rig->menu[FileMenuEntry::Export]);
        QCOMPARE(window->findChild<QLabel*>("LField_17")->text(), QStringLiteral("Mobile Phone:"));
        QCOMPARE(window->YearC->itemText(1), QStringLiteral("1860"));
        QCOMPARE(window->YearC->itemText(window->YearC->count() - 1),
                 QString::number(QDate::currentDate().year()));

        QVERIFY(window->close());
        QVERIFY(!QFile::exists(path));
        QVERIFY(rig->dialogs.Calls().isEmpty());
        QCOMPARE(rig->session->CurrentWindow, WindowIndex::Unloaded);
    }

    void fillsEveryKindOfFieldSavesAndReopens() {
        Select(1);
        Type(Field(1), QStringLiteral("Ann"));
        QCOMPARE(List().Text(1, 1), QStringLiteral("Ann"));
        QCOMPARE(window->UsedCount(), 1);
        QVERIFY(window->CmdNewSave->isEnabled() && rig->menu[FileMenuEntry::Save]);

        // A letter in a number field goes with a hint that leaves the focus where it is.
        Field(2)->setFocus();
        Type(Field(2), QStringLiteral("+12"));
        Field(2)->insert(QStringLiteral("ab3"));
        QCOMPARE(Count(MessageId::InvalidNumberCharacter), 0);
        QCOMPARE(rig->status, Message(MessageId::InvalidNumberCharacter, 0));
        QVERIFY(Field(2)->hasFocus());
        QCOMPARE(Field(2)->text(), QStringLiteral("+123"));
        QCOMPARE(List().Text(1, 2), QStringLiteral("+123"));
        Retype(Field(2), QStringLiteral("+") + QString(25, u'9'));
        QCOMPARE(List().Text(1, 2).size(), 21);  // 20 digits after the plus

        Type(Field(3), QString(40, u'N'));
        QCOMPARE(List().Text(1, 3).size(), 35);
        Type(Field(25), QStringLiteral("likes green tea"));
        Type(Field(5), QStringLiteral("Genève"));  // a field of the address page
        QCOMPARE(List().Text(1, 5), QStringLiteral("Genève"));

        // The year keeps only what can begin a year from 1860 on.
        QLineEdit* year = window->YearC->lineEdit();
        Retype(year, QStringLiteral("1850"));
        QCOMPARE(year->text(), QStringLiteral("18"));
        Retype(year, QStringLiteral("1999"));
        QCOMPARE(window->YearC->currentIndex(), window->YearC->findText(QStringLiteral("1999")));
        window->MonthC->setFocus();
        QTest::keyClicks(window->MonthC, QStringLiteral("03"));
        window->DayC->setFocus();
        QTest::keyClicks(window->DayC, QStringLiteral("31"));
        QCOMPARE(List().Text(1, 19), QStringLiteral("1999/03/31"));

        // February 1900 has 28 days: the 31st becomes the month's last day.
        Retype(year, QStringLiteral("1900"));
        window->MonthC->setFocus();
        QTest::qWait(QApplication::keyboardInputInterval() + 50);  // a new search in the list
        QTest::keyClicks(window->MonthC, QStringLiteral("02"));
        QCOMPARE(window->DayC->count() - 1, 28);
        QCOMPARE(Items(window->DayC).last(), QStringLiteral("28"));
        QCOMPARE(List().Text(1, 19), QStringLiteral("1900/02/28"));

        // An unfinished year becomes this year when the chooser is left.
        Retype(year, QStringLiteral("19"));
        Field(1)->setFocus();
        QCOMPARE(year->text(), QString::number(QDate::currentDate().year()));

        QLineEdit* sex = window->SexC->lineEdit();
        Retype(sex, QStringLiteral("m"));
        QCOMPARE(List().Text(1, 24), QStringLiteral("M"));
        Retype(sex, QStringLiteral("f"));
        Retype(window->ImprotantC->lineEdit(), QStringLiteral("7"));
        QCOMPARE(List().Text(1, 23), QStringLiteral("7"));
        Retype(window->ImprotantC->lineEdit(), QStringLiteral("4"));

        // A second record, then save under a name and open it again.
        window->CmdNewRecord->click();
        QCOMPARE(window->CurrentRow(), 2);
        QVERIFY(Field(1)->hasFocus());
        Type(Field(1), QStringLiteral("Bob"));
        const QString automatic = window->CurrentFile();
        SaveAs(QStringLiteral("people.SPB"));
        QVERIFY(!QFile::exists(automatic));  // the new document's file goes with it
        QVERIFY(!window->CmdNewSave->isEnabled());
        QCOMPARE(window->FRecord->text(), QStringLiteral("people.SPB"));
        QCOMPARE(QFileInfo(Path("people.SPB")).size(), 2 * 4340);

        window->CmdNewNewrecord->click();
        QCOMPARE(window->UsedCount(), 0);
        rig->dialogs.QueueFileName(Path("people.SPB"));
        window->CmdNewOpen->click();
        QCOMPARE(window->UsedCount(), 2);
        QCOMPARE(Field(1)->text(), QStringLiteral("Ann"));
        QCOMPARE(Field(2)->text(), QStringLiteral("+") + QString(20, u'9'));
        QCOMPARE(window->YearC->currentText(), QString::number(QDate::currentDate().year()));
        QCOMPARE(window->MonthC->currentText(), QStringLiteral("02"));
        QCOMPARE(window->DayC->currentText(), QStringLiteral("28"));
        QCOMPARE(window->SexC->currentText(), QStringLiteral("F"));
        QCOMPARE(window->ImprotantC->currentText(), QStringLiteral("4"));
        Select(2);
        QCOMPARE(Field(1)->text(), QStringLiteral("Bob"));
        QCOMPARE(window->YearC->currentText(), QString());
        QVERIFY(rig->dialogs.Unexpected().isEmpty());
    }

    void unsavedChangesAreAskedForAndACancelledSaveKeepsThem() {
        Type(Field(1), QStringLiteral("Ann"));
        const QString automatic = window->CurrentFile();
        // Yes to saving the new record, then no file name: nothing is lost.
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        rig->dialogs.QueueFileName(QString());
        QVERIFY(!window->close());
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveNewRecordQuestion);
        QCOMPARE(List().Text(1, 1), QStringLiteral("Ann"));
        QVERIFY(QFile::exists(automatic));

        SaveAs(QStringLiteral("a.SPB"));
        Type(Field(1), QStringLiteral("nne"));
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->CmdNewNewrecord->click();
        QCOMPARE(rig->dialogs.LastMessage().text,
                 Message(MessageId::SaveRecordQuestion, 0) + QStringLiteral("a.SPB?"));
        QCOMPARE(QFileInfo(Path("a.SPB")).size(), 4340);
        QCOMPARE(window->CurrentFile(), ApplicationFilePath(QStringLiteral("NewPhoneRecord0.SPB")));

        // Saving the new document in place keeps its file as the user's.
        Type(Field(1), QStringLiteral("Zed"));
        window->CmdNewSave->click();
        const QString kept = window->CurrentFile();
        QVERIFY(window->close());
        QVERIFY(QFile::exists(kept));
    }

    void findsAWordOfTheNoteAndSelectsIt() {
        for (int row = 1; row <= 3; ++row) {
            List().SetText(row, 1, QStringLiteral("person %1").arg(row));
            window->InPutTotal(row);
        }
        List().SetText(3, 25, QStringLiteral("likes green tea"));
        window->SSTab1->setCurrentIndex(1);
        window->FindBox->setText(QStringLiteral("gre"));
        window->FindBox->setFocus();
        QTest::keyClick(window->FindBox, Qt::Key_Return);
        QCOMPARE(window->CurrentRow(), 3);
        QCOMPARE(window->SSTab1->currentIndex(), 0);
        QTRY_VERIFY(Field(25)->hasFocus());
        QCOMPARE(Field(25)->selectedText(), QStringLiteral("gre"));
        QCOMPARE(Field(25)->selectionStart(), 6);

        List().SetText(2, 9, QStringLiteral("0301 green"));
        window->FindBox->setText(QStringLiteral("*een"));
        window->FindBox_Enter();
        QCOMPARE(window->CurrentRow(), 2);
        QCOMPARE(window->SSTab1->currentIndex(), 1);
        QCOMPARE(Field(9)->selectedText(), QStringLiteral("een"));
    }

    void deletesMarkedRecordsInPlace() {
        for (int row = 1; row <= 5; ++row)
            List().SetText(row, 3, QStringLiteral("r%1").arg(row));
        window->InPutTotal(5);
        Mark(4);
        Mark(5);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->Cmddelsim->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::DeleteSelectedQuestion);
        QCOMPARE(rig->dialogs.LastMessage().titleId, MessageId::DeleteRecord);
        QCOMPARE(window->UsedCount(), 3);
        QVERIFY(window->CmdNewSave->isEnabled());

        Mark(2);
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        window->Cmddelsim->click();
        QCOMPARE(List().Text(2, 3), QStringLiteral("r2"));
        Select(2);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->Grid()->setFocus();
        QTest::keyClick(window->Grid(), Qt::Key_Delete);
        QCOMPARE(List().Text(2, 3), QString());
        QCOMPARE(List().Text(3, 3), QStringLiteral("r3"));
        QCOMPARE(window->UsedCount(), 3);
        QCOMPARE(Field(3)->text(), QString());
    }

    void copiesAndPastesRecordsBetweenTwoFiles() {
        Type(Field(1), QStringLiteral("Ann"));
        Type(Field(25), QStringLiteral("note"));
        window->CmdNewRecord->click();
        Type(Field(1), QStringLiteral("Bob"));
        window->CmdNewRecord->click();
        Type(Field(1), QStringLiteral("Cid"));
        SaveAs(QStringLiteral("first.SPB"));

        RecordTable* grid = window->Grid();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(window->Model()->IsMarked(1) && window->Model()->IsMarked(3));
        window->Model()->List().SetText(2, PersonRec::kMarkColumn, QString());
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QVERIFY(copied.startsWith(QStringLiteral("Alias:\r\nAnn\r\nPhone:\r\n\r\n")));
        QVERIFY(!copied.contains(QStringLiteral("Bob")));

        window->CmdNewNewrecord->click();
        Type(Field(1), QStringLiteral("Own"));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->UsedCount(), 3);
        QCOMPARE(List().Text(2, 1), QStringLiteral("Ann"));
        QCOMPARE(List().Text(2, 25), QStringLiteral("note"));
        QCOMPARE(List().Text(3, 1), QStringLiteral("Cid"));
        QVERIFY(window->CmdNewSave->isEnabled());
    }

    void listKeysAndClicksMarkSortAndGoToTheField() {
        const QStringList names = {"Cid", "Ann", "Bob"};
        for (int row = 1; row <= 3; ++row)
            List().SetText(row, 3, names[row - 1]);
        window->InPutTotal(3);
        RecordTable* grid = window->Grid();
        grid->CornerButton()->click();  // invert: every record marked
        QVERIFY(window->Model()->IsMarked(1) && window->Model()->IsMarked(3));
        grid->CornerButton()->click();
        QVERIFY(!window->Model()->IsMarked(1));

        QHeaderView* titles = grid->horizontalHeader();
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(2) + 5, titles->height() / 2));
        QCOMPARE(List().Text(1, 3), QStringLiteral("Ann"));
        QCOMPARE(List().Text(3, 3), QStringLiteral("Cid"));

        grid->SetCurrentCell(2, 21);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(window->SSTab1->currentIndex(), 0);
        QTRY_VERIFY(Field(21)->hasFocus());
        QCOMPARE(Field(3)->text(), QStringLiteral("Bob"));
        grid->SetCurrentCell(2, 24);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QTRY_VERIFY(window->SexC->hasFocus());
    }

    void printsAndFollowsTheLanguage() {
        List().SetText(1, 3, QStringLiteral("Ann"));
        window->InPutTotal(1);
        int printed = 0;
        SetPrintDialogRunner([&](PrinterForm& form) {
            ++printed;
            QCOMPARE(form.RecordCount(), 1);
            QCOMPARE(form.Grid2().Columns(), 26);
            QCOMPARE(form.Grid2().Text(1, 3), QStringLiteral("Ann"));
        });
        window->CmdPrint->click();
        QCOMPARE(printed, 1);

        rig->session->LanguageIndex = 3;
        window->ChangeLanguage();
        QCOMPARE(window->windowTitle(), Message(MessageId::PersonalRecord, 3));
        QCOMPARE(window->CmdNewSave->text(), Message(MessageId::Save, 3));
        QCOMPARE(List().Text(0, 3), Message(MessageId::NameTitle, 3));
        QCOMPARE(window->SSTab1->tabText(1), Message(MessageId::AddressInformation, 3));
        QCOMPARE(List().Text(1, 3), QStringLiteral("Ann"));
    }

    // The main window makes the window from its factory, and its File menu's export reaches it.
    void theMainWindowsFileMenuReachesIt() {
        ShellRig& shell = ShowMainWindow();
        auto* person = shell.OpenWindow<PersonRec>(WindowIndex::PersonRec);
        QVERIFY(person != nullptr);
        QCOMPARE(shell.session->CurrentWindow, WindowIndex::PersonRec);
        person->List().SetText(1, 3, QStringLiteral("Ann"));
        person->InPutTotal(1);
        int exports = 0;
        SetExchangeDialogRunner([&](QDialog& dialog) {
            auto* exporting = qobject_cast<Export*>(&dialog);
            QVERIFY(exporting != nullptr);
            QCOMPARE(exporting->Grid().Text(1, 3), QStringLiteral("Ann"));
            ++exports;
        });
        shell.Action("MDIExTab")->trigger();
        SetExchangeDialogRunner(nullptr);
        QCOMPARE(exports, 1);
    }

    void scrollsWhenSmallerThanTheForm() {
        auto* scroll = window->findChild<QScrollArea*>(QStringLiteral("Picture1"));
        QVERIFY(scroll);
        window->resize(300, 200);
        QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
        QVERIFY(scroll->horizontalScrollBar()->maximum() > 0);
    }
};

QTEST_MAIN(PersonRecTest)
#include "person_rec_test.moc"
