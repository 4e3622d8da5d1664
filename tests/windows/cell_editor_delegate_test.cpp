// The cell editor as the record lists' item delegate opens it: over the cell it edits as the
// list scrolls and resizes, one editor between the two lists, every keystroke in the list at
// once, and the window's keys rather than the item view's.
#include <QScrollBar>
#include <QtTest>

#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"

using namespace pellucard;
using namespace pellucard::testing;

class CellEditorDelegateTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

    QModelIndex IndexOf(int list, int row, int column) {
        return window->grid(list)->model()->index(row - 1, column - 1);
    }
    // The editor lies exactly over the cell, wherever the list has scrolled it.
    bool OverCell(int list, int row, int column) {
        return window->editor()->geometry() == window->grid(list)->cellRect(row, column);
    }

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { Close(); }

    void opensThroughTheListsDelegateAndMovesBetweenLists() {
        RecordTable* sim = window->grid(kSim);
        RecordTable* computer = window->grid(kComputer);
        ClickCell(sim, 3, phone_column::kName);
        QTRY_VERIFY(window->editorOverCell());
        QVERIFY(OverCell(kSim, 3, phone_column::kName));
        CellEditor* editor = window->editor();

        // Enter moves the one editor on to the number; the name's cell lets it go.
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(sim->currentColumn(), phone_column::kNumber);
        QVERIFY(!sim->isPersistentEditorOpen(IndexOf(kSim, 3, phone_column::kName)));
        QVERIFY(sim->isPersistentEditorOpen(IndexOf(kSim, 3, phone_column::kNumber)));

        ClickCell(computer, 1, phone_column::kName);
        QTRY_COMPARE(window->editorList(), kComputer);
        QVERIFY(!sim->isPersistentEditorOpen(IndexOf(kSim, 3, phone_column::kNumber)));
        QVERIFY(computer->isPersistentEditorOpen(IndexOf(kComputer, 1, phone_column::kName)));
    }

    // What used to hide as its cell scrolled away now travels with it, and follows a column
    // that is made wider and a window that is made smaller.
    void followsScrollingAndResizing() {
        RecordTable* sim = window->grid(kSim);
        ClickCell(sim, 2, phone_column::kNumber);
        QTRY_VERIFY(window->editorOverCell());
        Type(window->editor(), QStringLiteral("0301"));

        sim->verticalScrollBar()->setValue(sim->verticalScrollBar()->value() + 5);
        QTRY_VERIFY(OverCell(kSim, 2, phone_column::kNumber));
        QVERIFY(window->editor()->geometry().bottom() < 0);  // above the list's top now

        sim->setColumnWidth(phone_column::kName - 1,
                            sim->columnWidth(phone_column::kName - 1) + 30);
        QTRY_VERIFY(OverCell(kSim, 2, phone_column::kNumber));
        window->resize(900, 600);
        QTRY_VERIFY(OverCell(kSim, 2, phone_column::kNumber));

        // Still the same stay in the cell: typing goes on where it was.
        Type(window->editor(), QStringLiteral("9"));
        QCOMPARE(Sim().Text(2, phone_column::kNumber), QStringLiteral("03019"));
    }

    // The list shows each keystroke at once, which tells the view the cell changed; the editor
    // keeps what it holds and its caret instead of being filled from the cell again. Escape and
    // Tab keep the meaning they have in the window, not the item view's defaults (Escape: close
    // and throw the edit away; Tab: edit the next cell).
    void editsReachTheListAtOnceAndKeysAreTheWindows() {
        RecordTable* computer = window->grid(kComputer);
        Computer().SetText(1, phone_column::kName, QStringLiteral("Alice"));
        ClickCell(computer, 1, phone_column::kName);
        QTRY_VERIFY(window->editorOverCell());
        CellEditor* editor = window->editor();
        editor->setCaretPosition(2);
        Type(editor, QStringLiteral("xy"));
        QCOMPARE(Computer().Text(1, phone_column::kName), QStringLiteral("Alxyice"));
        QCOMPARE(editor->caretPosition(), 4);
        QVERIFY(window->modified());

        QTest::keyClick(window->editor(), Qt::Key_Escape);
        QVERIFY(window->editorOverCell());
        QCOMPARE(window->editor()->text(), QStringLiteral("Alxyice"));

        QTest::keyClick(window->editor(), Qt::Key_Tab);
        QTRY_VERIFY(!window->editorOverCell());
        QVERIFY(!computer->isPersistentEditorOpen(IndexOf(kComputer, 1, phone_column::kName)));
        QCOMPARE(Computer().Text(1, phone_column::kName), QStringLiteral("Alxyice"));
    }
};

QTEST_MAIN(CellEditorDelegateTest)
#include "cell_editor_delegate_test.moc"
