// The Name menu opens what it names, and Print on the information window prints the card's
// information.
#include <QTest>

#include "shell/print_records_dialog.h"
#include "support/window_rig.h"
#include "windows/phone_book_window.h"

using namespace pellucard;
using namespace pellucard::testing;

class NameMenuPrintTest : public QObject {
    Q_OBJECT

private slots:
    void nameEntriesOpenTheirWindows() {
        ShellRig rig(ShellRig::Start::CardIn, kTestPeriods, registerRecordWindows);
        rig.TickUntilIdentified();

        rig.Action("NameUsefull")->trigger();
        QCOMPARE(rig.session->currentWindow(), WindowIndex::Sms);

        rig.Action("NamePhone")->trigger();
        QCOMPARE(rig.session->currentWindow(), WindowIndex::PhoneBook);
        auto* phoneBook =
            qobject_cast<PhoneBookWindow*>(rig.main->childWindow(WindowIndex::PhoneBook));
        QVERIFY(phoneBook != nullptr && !phoneBook->editorOverCell());

        // Rows 3 to 5 selected, from the SMS window again: the editor opens on row 3.
        rig.Action("NameUsefull")->trigger();
        const int list = phoneBook->currentList();
        RecordTable* grid = phoneBook->grid(list);
        grid->setCurrentCell(5, 1);
        grid->selectionModel()->select(
            QItemSelection(grid->model()->index(2, 0), grid->model()->index(4, 0)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        rig.Action("nameEditPhone")->trigger();
        QCOMPARE(rig.session->currentWindow(), WindowIndex::PhoneBook);
        QTRY_VERIFY(phoneBook->editorOverCell());
        QCOMPARE(phoneBook->editorList(), list);
        QCOMPARE(grid->currentRow(), 3);
    }

    void printOnTheInformationWindowPrintsTheCardsInformation() {
        ShellRig rig(ShellRig::Start::CardIn, kTestPeriods, registerRecordWindows);
        rig.TickUntilIdentified();
        QCOMPARE(rig.session->currentWindow(), WindowIndex::CardInfo);
        PrintTable printed;
        rig.dialogs.RunModalWith([&](QDialog& dialog) {
            if (auto* form = qobject_cast<PrintRecordsDialog*>(&dialog))
                printed = form->printTable();
        });
        rig.main->showWindow(WindowIndex::Print);
        rig.dialogs.RunModalWith(nullptr);
        QCOMPARE(printed.title, rig.cardInfoWindow()->windowTitle());
        QStringList iccidRow;
        for (const QStringList& row : printed.rows) {
            if (row.contains(QLatin1String(kDemoIccid)))
                iccidRow = row;
        }
        QVERIFY2(!iccidRow.isEmpty(), "the ICCID is printed");
        const QString caption = rig.cardInfoWindow()
                                    ->findChild<QLabel*>(QStringLiteral("CaptioniccidValue"))
                                    ->text()
                                    .remove(QLatin1Char('&'))
                                    .trimmed();
        QVERIFY2(iccidRow.contains(caption), qPrintable(iccidRow.join('|')));
        // Printing leaves the information window the current one.
        QCOMPARE(rig.session->currentWindow(), WindowIndex::CardInfo);
    }
};

QTEST_MAIN(NameMenuPrintTest)
#include "name_menu_print_test.moc"
