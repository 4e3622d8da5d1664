// Editing the record lists as on any desktop: undo and redo of every kind of change, Save
// following the computer list's history, sorting in the user's language, a find that says when
// it found nothing; the platform's standard keys on the menus' commands, reaching the active
// window; Copy, Paste and Delete on the current cell; Tab through the personal record form.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QMenuBar>
#include <QUndoStack>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "shell/main_window.h"
#include "shell/print_records_dialog.h"
#include "shell/window_factory.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/find_box.h"
#include "windows/personal_records_window.h"
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

void collectActions(const QList<QAction*>& actions, QMap<QString, QAction*>& found) {
    for (QAction* action : actions) {
        if (!action->objectName().isEmpty())
            found.insert(action->objectName(), action);
        if (action->menu() != nullptr)
            collectActions(action->menu()->actions(), found);
    }
}

}  // namespace

class ListEditingTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
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

    ShellRig& ShowShell() {
        ShellRig& shell = ShowMainWindow();
        shell.main->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(shell.main.get())); }();
        return shell;
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
    }

    void findThatFindsNothingSaysSo() {
        ReadCard();
        QLineEdit* box = window->findChild<QLineEdit*>("findBox_1");
        box->setText(QStringLiteral("nobody"));
        window->findFromTop(kSim);
        QCOMPARE(rig->status, Message(MessageId::NoFurtherMatch, 0));
        rig->status.clear();
        box->setText(QStringLiteral("*ffice"));
        window->findFromTop(kSim);
        QVERIFY(rig->status.isEmpty());
        QCOMPARE(window->grid(kSim)->currentRow(), 10);
    }

    // No key is given to two commands: Qt would then run neither. The record commands wait
    // for a window with records.
    void noKeyServesTwoCommands() {
        ShellRig& shell = ShowShell();
        QMap<QString, QAction*> entries;
        collectActions(shell.main->menuBar()->actions(), entries);
        QMap<QKeySequence, QString> owners;
        for (QAction* action : std::as_const(entries)) {
            for (const QKeySequence& key : action->shortcuts()) {
                QVERIFY2(!owners.contains(key), qPrintable(key.toString()));
                owners.insert(key, action->objectName());
            }
        }
        QVERIFY(!entries.value("copyAction")->isEnabled());
        QVERIFY(shell.OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook) != nullptr);
        QVERIFY(entries.value("copyAction")->isEnabled());
    }

    // The keys reach the active record window through the main window's menus, also while the
    // cell editor has the focus: Ctrl+Z and Ctrl+Shift+Z, Ctrl+F and F3, Ctrl+P.
    void theKeysReachTheActiveWindow() {
        ShellRig& shell = ShowShell();
        auto* book = shell.OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
        QVERIFY(book != nullptr);
        QAction* undo = shell.Action("undoAction");
        QAction* redo = shell.Action("redoAction");
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        RecordTable* grid = book->grid(kComputer);
        ClickCell(grid, 1, 1);
        QTRY_VERIFY(book->editorOverCell());
        QTest::keyClicks(book->editor(), QStringLiteral("Bob Smith"));
        QVERIFY(undo->isEnabled());
        QTest::keyClick(book->editor(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(book->recordList(kComputer).Text(1, 1), QString());
        QVERIFY(!book->modified() && !undo->isEnabled() && redo->isEnabled());
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(book->recordList(kComputer).Text(1, 1), QStringLiteral("Bob Smith"));
        QVERIFY(book->modified());

        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        auto* findBox = book->findChild<QLineEdit*>(QStringLiteral("findBox_0"));
        QTRY_COMPARE(QApplication::focusWidget(), findBox);
        QTest::keyClicks(findBox, QStringLiteral("smith"));
        grid->setCurrentCell(1, 2);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F3);
        QTRY_COMPARE(grid->currentColumn(), 1);

        grid->setFocus();
        int printed = 0;
        shell.dialogs.RunModalWith([&](QDialog& dialog) {
            printed += qobject_cast<PrintRecordsDialog*>(&dialog) != nullptr ? 1 : 0;
        });
        QTest::keyClick(grid, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(printed, 1);
        shell.dialogs.QueueAnswer(DialogAnswer::No);  // the new list is not kept
        shell.main->close();
    }

    // Copy, Paste and Delete with no row marked act on the current cell; with marked rows, and
    // for records on the clipboard, they keep to the records.
    void copyPasteAndDeleteOnTheCurrentCell() {
        ReadWith("readButton");
        QCOMPARE(window->usedCount(kSim), 20);
        // The PIN dialog had the focus; the keys go to the window again.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        RecordTable* grid = window->grid(kSim);
        grid->setCurrentCell(1, phone_column::kNumber);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("+441632960123"));

        // Into a number cell the number filter applies, as when typing.
        QApplication::clipboard()->setText(QStringLiteral("+44 1632 960999"));
        grid->setCurrentCell(2, phone_column::kNumber);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(Sim().Text(2, phone_column::kNumber), QStringLiteral("+441632960999"));
        QCOMPARE(Sim().Tag(2), 0);  // a new record for the card now

        grid->setFocus();
        QTRY_VERIFY(!window->editorOverCell());
        grid->setCurrentCell(2, phone_column::kName);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(Sim().Text(2, phone_column::kName), QString());
        QCOMPARE(Count(MessageId::DeleteSelectedQuestion), 0);

        // Marked rows: Ctrl+C copies the records, Delete asks first (No keeps them).
        Sim().SetText(1, phone_column::kMark, QStringLiteral("1"));
        grid->setCurrentCell(4, phone_column::kName);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        const QString records = QApplication::clipboard()->text();
        QVERIFY2(records.startsWith(Sim().Text(0, 1) + u'\t') && records.contains("Alice Martin"),
                 qPrintable(records));
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(Count(MessageId::DeleteSelectedQuestion), 1);
        QCOMPARE(Sim().Text(4, phone_column::kName), QStringLiteral("王小明"));

        // Records on the clipboard go after the used rows of a list where nothing is marked.
        RecordTable* computer = window->grid(kComputer);
        computer->setCurrentCell(1, 1);
        computer->setFocus();
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 1);
        QCOMPARE(Computer().Text(1, 1), QStringLiteral("Alice Martin"));
    }

    // The personal record form: Tab follows the form; Delete on the list's cell.
    void personalRecordsTabOrderAndCells() {
        auto* person = rig->Open<PersonalRecordsWindow>();
        QVERIFY(person != nullptr);
        QLineEdit* alias = person->field(1);
        alias->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), alias);
        QList<QWidget*> visited;
        for (int i = 0; i < 15; ++i) {
            visited.append(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // Each of the form's controls in turn, from Alias to Note.
        QList<QWidget*> form;
        for (int column : {1, 2, 3, 8, 15, 17})
            form.append(person->field(column));
        form << person->yearBox << person->monthBox << person->dayBox;
        for (int column : {20, 21, 22})
            form.append(person->field(column));
        form << person->importanceBox << person->sexBox << person->field(25);
        for (int i = 0; i < form.size(); ++i)
            QVERIFY2(visited[i] == form[i] || form[i]->isAncestorOf(visited[i]),
                     qPrintable(
                         QStringLiteral("stop %1 is %2")
                             .arg(i)
                             .arg(visited[i] ? visited[i]->objectName() : QStringLiteral("none"))));

        // Delete on a cell of the list empties it and the form's field with it.
        Type(alias, QStringLiteral("Ann"));
        RecordTable* grid = person->grid();
        grid->setCurrentCell(1, 1);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(person->recordList().Text(1, 1), QString());
        QCOMPARE(alias->text(), QString());
        delete person;
    }
};

QTEST_MAIN(ListEditingTest)
#include "list_undo_test.moc"
