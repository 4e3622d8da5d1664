// Undo and redo in the phone book window: every kind of change to a list comes back exactly,
// Save follows the computer list's history, and the main window's Edit menu and Ctrl+Z reach
// the active window. With them the habits of a desktop list: sorting in the user's language,
// a find that says when it found nothing.
#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QUndoStack>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "shell/main_window.h"
#include "shell/window_factory.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/find_box.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/record_exchange.h"
#include "windows/record_windows.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

struct Shown {
    QList<RecordRow> rows;
    int used = 0;
    bool operator==(const Shown&) const = default;
};

int RowOf(const RecordList& list, const QString& name) {
    for (int row = 1; row <= list.LastSlot(); ++row) {
        if (list.Text(row, phone_column::kName) == name)
            return row;
    }
    return -1;
}

}  // namespace

class ListUndoTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private:
    Shown State(int list) { return {window->recordList(list).Snapshot(), window->usedCount(list)}; }
    QUndoStack& History() { return *window->undoStack(); }
    bool SaveEnabled() {
        return window->findChild<QPushButton*>("saveFileButton")->isEnabled() &&
               rig->menu[FileMenuEntry::Save];
    }
    void ReadCard() {
        rig->AnswerVerifyPin();
        window->readCard();
        QCOMPARE(window->usedCount(kSim), 20);
    }
    // Undoes the last step and checks the list is `before` again, then redoes it and checks
    // it is `after`.
    void VerifyUndoRedo(int list, const Shown& before) {
        const Shown after = State(list);
        QVERIFY(!(after == before));
        History().undo();
        QVERIFY(State(list) == before);
        History().redo();
        QVERIFY(State(list) == after);
    }

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() {
        setRecordImportHook({});
        Close();
    }

    void everyKindOfChangeComesBackExactly() {
        Shown before = State(kSim);
        ReadCard();
        QCOMPARE(History().count(), 1);  // what the read replaced is one step
        VerifyUndoRedo(kSim, before);

        // Copy of all rows, then of marked rows.
        before = State(kComputer);
        window->copyAllToComputer();
        VerifyUndoRedo(kComputer, before);
        before = State(kSim);
        window->recordList(kComputer).SetText(3, phone_column::kMark, QStringLiteral("1"));
        window->recordList(kComputer).SetText(3, phone_column::kName, QStringLiteral("Third"));
        window->copyMarkedToCard();
        QCOMPARE(window->recordList(kSim).Text(21, phone_column::kName), QStringLiteral("Third"));
        VerifyUndoRedo(kSim, before);

        // Sort.
        before = State(kComputer);
        ClickTitle(window->grid(kComputer), phone_column::kName);
        VerifyUndoRedo(kComputer, before);

        // Delete of marked rows.
        before = State(kComputer);
        window->grid(kComputer)->setFocus();
        QTest::keyClick(window->grid(kComputer), Qt::Key_A, Qt::ControlModifier);
        const Shown allMarked = State(kComputer);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->deleteMarked(kComputer);
        QCOMPARE(window->usedCount(kComputer), 0);
        VerifyUndoRedo(kComputer, allMarked);

        // Paste.
        before = State(kComputer);
        QApplication::clipboard()->setText(QStringLiteral("Alias\tPhone\r\nPasted\t123\r\n"));
        window->grid(kComputer)->setFocus();
        QTest::keyClick(window->grid(kComputer), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->recordList(kComputer).Text(1, phone_column::kName),
                 QStringLiteral("Pasted"));
        VerifyUndoRedo(kComputer, before);

        // ImportDialog, through the hook the import dialog installs.
        setRecordImportHook([](const ImportRequest& request) {
            ++*request.usedCount;
            request.list->SetText(*request.usedCount, phone_column::kName, QStringLiteral("In"));
            return true;
        });
        before = State(kComputer);
        window->importText(QLatin1Char(','));
        VerifyUndoRedo(kComputer, before);

        // A cell edit: the keystrokes of one stay in the cell are one step.
        before = State(kComputer);
        const int steps = History().count();
        ClickCell(window->grid(kComputer), 1, phone_column::kNumber);
        QTRY_VERIFY(window->editorOverCell());
        QTest::keyClicks(window->editor(), QStringLiteral("4567"));
        QCOMPARE(window->recordList(kComputer).Text(1, phone_column::kNumber),
                 QStringLiteral("1234567"));
        QCOMPARE(History().count(), steps + 1);
        VerifyUndoRedo(kComputer, before);
        QVERIFY(!window->editorOverCell());  // undo takes the editor off the cell it changed
    }

    void newSlotComesBackExactly() {
        // An import fills every slot of the computer list; New then adds one.
        setRecordImportHook([](const ImportRequest& request) {
            for (int row = 1; row < request.list->Rows(); ++row)
                request.list->SetText(row, phone_column::kName, QStringLiteral("n%1").arg(row));
            *request.usedCount = request.list->LastSlot();
            return true;
        });
        window->importText(QLatin1Char(','));
        QCOMPARE(window->usedCount(kComputer), RecordWindow::kSlotCapacity);
        const Shown before = State(kComputer);
        window->grid(kComputer)->setCurrentCell(1, 1);
        window->newRecord(kComputer);
        QCOMPARE(window->recordList(kComputer).Rows(), RecordWindow::kSlotCapacity + 2);
        VerifyUndoRedo(kComputer, before);
        History().undo();
        QCOMPARE(window->recordList(kComputer).Rows(), RecordWindow::kSlotCapacity + 1);
    }

    void saveFollowsTheHistory() {
        QVERIFY(!window->modified() && !SaveEnabled());
        ReadCard();
        QVERIFY(!window->modified());  // the SIM list is no file
        window->copyAllToComputer();
        QVERIFY(window->modified() && SaveEnabled());
        History().undo();
        QVERIFY(!window->modified() && !SaveEnabled());
        History().redo();
        QVERIFY(window->modified());

        window->saveFile();
        QVERIFY(!window->modified() && !SaveEnabled());
        // Undoing past the save makes the list differ from its file again; redoing it does not.
        History().undo();
        QVERIFY(window->modified() && SaveEnabled());
        History().redo();
        QVERIFY(!window->modified() && !SaveEnabled());
        // Steps of the SIM list leave the file's state alone.
        ClickTitle(window->grid(kSim), phone_column::kName);
        QVERIFY(!window->modified());
        History().undo();
        QVERIFY(!window->modified());

        // A new document starts a new history.
        window->newFile();
        QCOMPARE(History().count(), 0);
        QVERIFY(!window->modified());
    }

    void sortingFollowsTheLanguageAndKeepsOneCellSelected() {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        ReadCard();
        RecordTable* grid = window->grid(kSim);
        grid->setCurrentCell(2, 1);
        ClickTitle(grid, phone_column::kName);
        const RecordList& sim = window->recordList(kSim);
        // "Åsa" goes with the A's, before "Balance" and "Office ext", not after "Z".
        QVERIFY(RowOf(sim, QStringLiteral("Alice Martin")) <
                RowOf(sim, QStringLiteral("Åsa Ødegård")));
        QVERIFY(RowOf(sim, QStringLiteral("Åsa Ødegård")) < RowOf(sim, QStringLiteral("Balance")));
        QCOMPARE(grid->selectionModel()->selectedIndexes().size(), 1);
        QCOMPARE(grid->selectionModel()->selectedIndexes().first(), grid->currentIndex());
        QLocale::setDefault(previous);
    }

    void findThatFindsNothingSaysSo() {
        ReadCard();
        QLineEdit* box = window->findChild<QLineEdit*>("findBox_1");
        QCOMPARE(box->toolTip(), Message(MessageId::FindPatternTip, 0));
        QVERIFY(box->minimumWidth() >= box->fontMetrics().averageCharWidth() * 12);
        box->setText(QStringLiteral("nobody"));
        window->findFromTop(kSim);
        QCOMPARE(rig->status, Message(MessageId::NoFurtherMatch, 0));
        rig->status.clear();
        box->setText(QStringLiteral("*ffice"));
        window->findFromTop(kSim);
        QVERIFY(rig->status.isEmpty());
        QCOMPARE(window->grid(kSim)->currentRow(), 10);
    }

    // The main window's Edit menu and Ctrl+Z act on the active record window's history, also
    // while the cell editor has the focus.
    void editMenuReachesTheActiveWindow() {
        ShellRig& shell = ShowMainWindow();
        MainWindow& main = *shell.main;
        QVERIFY(QTest::qWaitForWindowActive(&main));
        auto* phone = shell.OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
        QVERIFY(phone);
        QAction* undo = shell.Action("undoAction");
        QAction* redo = shell.Action("redoAction");
        QCOMPARE(undo->text(), Message(MessageId::UndoMenu, 0));
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());

        ClickCell(phone->grid(kComputer), 1, 1);
        QTRY_VERIFY(phone->editorOverCell());
        QTest::keyClicks(phone->editor(), QStringLiteral("Ann"));
        QCOMPARE(phone->recordList(kComputer).Text(1, 1), QStringLiteral("Ann"));
        QVERIFY(undo->isEnabled());
        QTest::keyClick(phone->editor(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(phone->recordList(kComputer).Text(1, 1), QString());
        QVERIFY(!phone->modified() && !undo->isEnabled() && redo->isEnabled());
        QTest::keyClick(phone->grid(kComputer), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(phone->recordList(kComputer).Text(1, 1), QStringLiteral("Ann"));
        QVERIFY(phone->modified());
        shell.dialogs.QueueAnswer(DialogAnswer::No);  // the new list is not kept
        main.close();
    }
};

QTEST_MAIN(ListUndoTest)
#include "list_undo_test.moc"
