// The keys people know: the platform's standard keys on the menus' commands, Copy, Paste and
// Delete on the current cell, Tab through the personal record form, and questions that name
// their window and file.
#include <QClipboard>
#include <QComboBox>
#include <QMenuBar>
#include <QUndoStack>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "shell/print_records_dialog.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/personal_records_window.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

void collectActions(const QList<QAction*>& actions, QMap<QString, QAction*>& found) {
    for (QAction* action : actions) {
        if (!action->objectName().isEmpty())
            found.insert(action->objectName(), action);
        if (action->menu() != nullptr)
            collectActions(action->menu()->actions(), found);
    }
}

}  // namespace

class EditKeysTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private:
    ShellRig& ShowShell() {
        ShellRig& shell = ShowMainWindow();
        shell.main->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(shell.main.get())); }();
        return shell;
    }

private slots:
    void cleanup() { Close(); }

    // Every command that the platform has a standard key for carries that key (and F3 for Find
    // Next, F1 for help), found by walking the menus as a person reads them.
    void everyCommandWithAStandardKeyHasIt() {
        ShellRig& shell = ShowShell();
        QMap<QString, QAction*> entries;
        collectActions(shell.main->menuBar()->actions(), entries);
        const struct {
            const char* name;
            QKeySequence::StandardKey key;
            QKeySequence alsoKey;
        } commands[] = {
            {"newAction", QKeySequence::New, {}},
            {"openAction", QKeySequence::Open, {}},
            {"saveAction", QKeySequence::Save, {}},
            {"saveAsAction", QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
            {"printAction", QKeySequence::Print, {}},
            {"quitAction", QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
            {"undoAction", QKeySequence::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z)},
            {"redoAction", QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y)},
            {"copyAction", QKeySequence::Copy, QKeySequence(Qt::CTRL | Qt::Key_C)},
            {"pasteAction", QKeySequence::Paste, QKeySequence(Qt::CTRL | Qt::Key_V)},
            {"deleteAction", QKeySequence::Delete, QKeySequence(Qt::Key_Delete)},
            {"findAction", QKeySequence::Find, QKeySequence(Qt::CTRL | Qt::Key_F)},
            {"findNextAction", QKeySequence::FindNext, QKeySequence(Qt::Key_F3)},
            {"helpAction", QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)},
        };
        for (const auto& command : commands) {
            QAction* action = entries.value(QLatin1String(command.name));
            QVERIFY2(action != nullptr, command.name);
            QVERIFY2(!action->shortcut().isEmpty(), command.name);  // what the menu shows
            for (const QKeySequence& key : QKeySequence::keyBindings(command.key))
                QVERIFY2(
                    action->shortcuts().contains(key),
                    qPrintable(QStringLiteral("%1 lacks %2").arg(command.name, key.toString())));
            if (!command.alsoKey.isEmpty())
                QVERIFY2(action->shortcuts().contains(command.alsoKey), command.name);
        }
        // No key is given to two commands: Qt would then run neither.
        QMap<QKeySequence, QString> owners;
        for (QAction* action : std::as_const(entries)) {
            for (const QKeySequence& key : action->shortcuts()) {
                QVERIFY2(!owners.contains(key), qPrintable(key.toString()));
                owners.insert(key, action->objectName());
            }
        }
        // The record commands wait for a window with records.
        QVERIFY(!entries.value("copyAction")->isEnabled());
        QVERIFY(shell.OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook) != nullptr);
        QVERIFY(entries.value("copyAction")->isEnabled());
    }

    // The keys reach the active record window through the main window's menus.
    void theKeysWorkInTheMainWindow() {
        ShellRig& shell = ShowShell();
        auto* book = shell.OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
        QVERIFY(book != nullptr);
        RecordTable* grid = book->grid(kComputer);
        ClickCell(grid, 1, 1);
        QTRY_VERIFY(book->editorOverCell());
        Type(book->editor(), QStringLiteral("Bob Smith"));
        grid->setFocus();
        QTRY_VERIFY(!book->editorOverCell());
        QCOMPARE(book->recordList(kComputer).Text(1, 1), QStringLiteral("Bob Smith"));

        // Ctrl+F: the find box of the list in use; F3: the next match, shown in its cell.
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        auto* findBox = book->findChild<QLineEdit*>(QStringLiteral("findBox_0"));
        QVERIFY(findBox != nullptr);
        QTRY_COMPARE(QApplication::focusWidget(), findBox);
        QTest::keyClicks(findBox, QStringLiteral("smith"));
        grid->setCurrentCell(1, 2);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F3);
        QTRY_COMPARE(grid->currentColumn(), 1);

        // Delete with no row marked empties the current cell, asking nothing; Undo brings it
        // back.
        grid->setFocus();
        QTRY_VERIFY(!book->editorOverCell());
        grid->setCurrentCell(1, 1);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(book->recordList(kComputer).Text(1, 1), QString());
        QVERIFY(shell.dialogs.Calls().isEmpty());
        book->undoStack()->undo();
        QCOMPARE(book->recordList(kComputer).Text(1, 1), QStringLiteral("Bob Smith"));

        // Ctrl+P prints the active window's list.
        int printed = 0;
        shell.dialogs.RunModalWith([&](QDialog& dialog) {
            if (qobject_cast<PrintRecordsDialog*>(&dialog))
                ++printed;
        });
        QTest::keyClick(grid, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(printed, 1);
    }

    // Copy, Paste and Delete with no row marked act on the current cell; with marked rows, and
    // for records on the clipboard, they keep to the records.
    void copyPasteAndDeleteOnTheCurrentCell() {
        QVERIFY(Open());
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
        QApplication::clipboard()->setText(QStringLiteral("Carol"));
        grid->setCurrentCell(2, phone_column::kName);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(Sim().Text(2, phone_column::kName), QStringLiteral("Carol"));

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
        QVERIFY2(records.startsWith(Sim().Text(0, 1) + u'\t'), qPrintable(records));
        QVERIFY(records.contains(QStringLiteral("Alice Martin")));
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

    // The personal record form: Tab follows the form; Delete and Ctrl+C on the list's cell.
    void personalRecordsTabOrderAndCells() {
        rig = std::make_unique<WindowRig>();
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

        // A cell of the list: Ctrl+C copies it, Delete empties it (an undo step).
        Type(alias, QStringLiteral("Ann"));
        RecordTable* grid = person->grid();
        grid->setCurrentCell(1, 1);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Ann"));
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(person->recordList().Text(1, 1), QString());
        QCOMPARE(alias->text(), QString());
        QVERIFY(rig->dialogs.Calls().isEmpty());
        person->undoStack()->undo();
        QCOMPARE(person->recordList().Text(1, 1), QStringLiteral("Ann"));
        delete person;
    }

    // The question about unsaved work names the window and the file it is about.
    void saveQuestionsNameTheirWindowAndFile() {
        QVERIFY(Open());
        ClickCell(window->grid(kComputer), 1, 1);
        QTRY_VERIFY(window->editorOverCell());
        Type(window->editor(), QStringLiteral("Dan"));
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        window->newFile();
        const auto& calls = rig->dialogs.Calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].message.messageId, MessageId::SaveNewRecordQuestion);
        QCOMPARE(calls[0].message.text, Message(MessageId::SaveNewRecordQuestion, 0));
        QCOMPARE(calls[0].message.title, Message(MessageId::SimPhoneBookToComputerPhoneBook, 0) +
                                             QStringLiteral(" - NewPhoneRecord0.SPB"));
    }
};

QTEST_MAIN(EditKeysTest)
#include "edit_keys_test.moc"
