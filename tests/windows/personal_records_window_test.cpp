// The personal record window as a person uses it: a new file, every kind of field, files,
// find, undo and the main window's File menu.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QUndoStack>
#include <QtTest>

#include "records/application_folder.h"
#include "support/window_rig.h"
#include "windows/personal_records_window.h"
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

}  // namespace

class PersonalRecordsWindowTest : public QObject, RecordWindowFixture<PersonalRecordsWindow> {
    Q_OBJECT

private:
    RecordList& recordList() { return window->recordList(); }
    QLineEdit* Field(int column) { return window->field(column); }
    void OpenWindow() {
        window = rig->Open<PersonalRecordsWindow>();
        QVERIFY(window);
    }
    void Select(int row) { window->grid()->setCurrentCell(row, 1); }
    QString Path(const QString& name) const { return rig->folder.filePath(name); }
    void saveAs(const QString& name) {
        rig->dialogs.QueueFileName(Path(name));
        window->saveAsButton->click();
        QCOMPARE(window->currentFile(), Path(name));
    }
    void mark(int row) {
        recordList().SetText(row, PersonalRecordsWindow::kMarkColumn, QStringLiteral("1"));
    }

private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->dialogs.OnUnexpected([](const QString& what) { QFAIL(qPrintable(what)); });
        OpenWindow();
    }
    void cleanup() { Close(); }

    // The address book lives on the computer: with the reader unplugged the window still
    // opens, edits and saves.
    void worksWithoutAReader() {
        delete window;
        window = nullptr;
        rig->Reader().Unplug();
        findReaderAndCard(*rig->session, *rig->session->gate().acquire(CardGate::Work::Poll));
        QVERIFY(!rig->engine().ReaderPresent());
        OpenWindow();
        Select(1);
        Type(Field(1), QStringLiteral("Åsa"));
        saveAs(QStringLiteral("offline.SPB"));
        QVERIFY(QFileInfo(Path(QStringLiteral("offline.SPB"))).size() > 0);
    }

    // Field edits, a paste and a delete are steps that come back exactly; Save follows them.
    void undoesAndRedoesItsChanges() {
        QUndoStack* history = window->undoStack();
        const QList<RecordRow> empty = recordList().Snapshot();
        Select(1);
        Type(Field(1), QStringLiteral("Ann"));
        Type(Field(3), QStringLiteral("Lee"));
        const QList<RecordRow> typed = recordList().Snapshot();
        history->undo();
        history->undo();
        QVERIFY(recordList().Snapshot() == empty);
        QVERIFY(!window->modified() && !window->saveFileButton->isEnabled());
        history->redo();
        history->redo();
        QVERIFY(recordList().Snapshot() == typed);
        QVERIFY(window->modified() && window->saveFileButton->isEnabled());

        saveAs(QStringLiteral("undo.SPB"));
        QVERIFY(!window->modified());
        mark(1);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->deleteMarked();
        QCOMPARE(recordList().Text(1, 1), QString());
        QVERIFY(window->modified());
        history->undo();
        QCOMPARE(recordList().Text(1, 1), QStringLiteral("Ann"));
        QVERIFY(!window->modified());  // back to what the file holds
    }

    void aNewFileClosedUnchangedLeavesNothing() {
        const QString path = ApplicationFilePath(QStringLiteral("NewPhoneRecord0.SPB"));
        QCOMPARE(window->currentFile(), path);
        QVERIFY(QFile::exists(path));
        QVERIFY(window->close());
        QVERIFY(!QFile::exists(path));
        QVERIFY(rig->dialogs.Calls().isEmpty());
    }

    void fillsEveryKindOfFieldSavesAndReopens() {
        Select(1);
        Type(Field(1), QStringLiteral("Ann"));

        // A letter in a number field goes with a hint that leaves the focus where it is.
        Field(2)->setFocus();
        Type(Field(2), QStringLiteral("+12"));
        Field(2)->insert(QStringLiteral("ab3"));
        QCOMPARE(rig->status, Message(MessageId::InvalidNumberCharacter, 0));
        QVERIFY(Field(2)->hasFocus());
        QCOMPARE(recordList().Text(1, 2), QStringLiteral("+123"));
        Retype(Field(2), QStringLiteral("+") + QString(25, u'9'));
        QCOMPARE(recordList().Text(1, 2).size(), 21);  // 20 digits after the plus

        QLineEdit* year = window->yearBox->lineEdit();
        Retype(year, QStringLiteral("1999"));
        window->monthBox->setFocus();
        QTest::keyClicks(window->monthBox, QStringLiteral("03"));
        window->dayBox->setFocus();
        QTest::keyClicks(window->dayBox, QStringLiteral("31"));
        QCOMPARE(recordList().Text(1, 19), QStringLiteral("1999/03/31"));

        Retype(window->sexBox->lineEdit(), QStringLiteral("f"));
        Retype(window->importanceBox->lineEdit(), QStringLiteral("4"));

        // A second record, then save under a name and open it again.
        window->newRecordButton->click();
        QCOMPARE(window->currentRow(), 2);
        Type(Field(1), QStringLiteral("Bob"));
        const QString automatic = window->currentFile();
        saveAs(QStringLiteral("people.SPB"));
        QVERIFY(!QFile::exists(automatic));  // the new document's file goes with it

        window->newFileButton->click();
        rig->dialogs.QueueFileName(Path("people.SPB"));
        window->openFileButton->click();
        QCOMPARE(window->usedCount(), 2);
        QCOMPARE(Field(1)->text(), QStringLiteral("Ann"));
        QCOMPARE(Field(2)->text(), QStringLiteral("+") + QString(20, u'9'));
        QCOMPARE(window->yearBox->currentText(), QStringLiteral("1999"));
        QCOMPARE(window->sexBox->currentText(), QStringLiteral("F"));
        Select(2);
        QCOMPARE(Field(1)->text(), QStringLiteral("Bob"));
    }

    void unsavedChangesAreAskedForAndASavedNewFileIsKept() {
        Type(Field(1), QStringLiteral("Ann"));
        saveAs(QStringLiteral("a.SPB"));
        Type(Field(1), QStringLiteral("nne"));
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->newFileButton->click();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveRecordQuestion);
        QCOMPARE(window->currentFile(), ApplicationFilePath(QStringLiteral("NewPhoneRecord0.SPB")));

        // Saving the new document in place keeps its file as the user's.
        Type(Field(1), QStringLiteral("Zed"));
        window->saveFileButton->click();
        const QString kept = window->currentFile();
        QVERIFY(window->close());
        QVERIFY(QFile::exists(kept));
    }

    void findsAWordOfTheNoteAndSelectsIt() {
        for (int row = 1; row <= 3; ++row) {
            recordList().SetText(row, 1, QStringLiteral("person %1").arg(row));
            window->setUsedCountOfCurrentList(row);
        }
        recordList().SetText(3, 25, QStringLiteral("likes green tea"));
        window->pages->setCurrentIndex(1);
        window->findBox->setText(QStringLiteral("gre"));
        window->findBox->setFocus();
        QTest::keyClick(window->findBox, Qt::Key_Return);
        QCOMPARE(window->currentRow(), 3);
        QCOMPARE(window->pages->currentIndex(), 0);
        QTRY_VERIFY(Field(25)->hasFocus());
        QCOMPARE(Field(25)->selectionStart(), 6);
        QCOMPARE(Field(25)->selectedText(), QStringLiteral("gre"));

        recordList().SetText(2, 9, QStringLiteral("0301 green"));
        window->findBox->setText(QStringLiteral("*een"));
        window->findFromTop();
        QCOMPARE(window->currentRow(), 2);
        QCOMPARE(window->pages->currentIndex(), 1);
        QCOMPARE(Field(9)->selectedText(), QStringLiteral("een"));
    }

    void titleClickSortsAndEnterGoesToTheField() {
        const QStringList names = {"Cid", "Ann", "Bob"};
        for (int row = 1; row <= 3; ++row)
            recordList().SetText(row, 3, names[row - 1]);
        window->setUsedCountOfCurrentList(3);
        RecordTable* grid = window->grid();
        ClickTitle(grid, 3);
        QCOMPARE(recordList().Text(2, 3), QStringLiteral("Bob"));

        grid->setCurrentCell(2, 21);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(window->pages->currentIndex(), 0);
        QTRY_VERIFY(Field(21)->hasFocus());
        QCOMPARE(Field(3)->text(), QStringLiteral("Bob"));
    }
};

QTEST_MAIN(PersonalRecordsWindowTest)
#include "personal_records_window_test.moc"
