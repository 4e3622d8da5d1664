// The SMS window as a person uses it, on the instant virtual reader with the demo card.
#include <QClipboard>
#include <QScrollBar>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_exchange.h"
#include "windows/record_list_model.h"
#include "windows/record_windows.h"
#include "windows/sms_window.h"

using namespace pellucard;
using namespace pellucard::testing;

class SmsWindowTest : public QObject, RecordWindowFixture<SmsWindow> {
    Q_OBJECT

private:
    void ReadCard() {
        ReadWith("readButton");
        QCOMPARE(window->usedCount(kSim), 11);
    }
    // Opens the message editor on a cell.
    void EditAt(int list, int row, int column) {
        ClickCell(window->grid(list), row, column);
        QTRY_VERIFY(window->editorOverCell());
        QCOMPARE(window->grid(list)->currentRow(), row);
    }

private slots:
    void init() { QVERIFY(Open({1400, 800})); }
    void cleanup() { Close(); }

    // The three parts of a concatenated message show as one: the joined text in the first
    // part's row with "1-3/3", the other parts folded under it. Copying and export take the
    // joined text; the records themselves stay as the card holds them. Of the 30 records ten
    // are messages: the free record 3 is not counted among those.
    void showsAMessageSentInPartsJoined() {
        ReadCard();
        QCOMPARE(label("lastReadLabel")->text(), readTotalText(30, 10, 0));
        const QString joined = Sim().Text(9, sms_column::kText) +
                               Sim().Text(10, sms_column::kText) +
                               Sim().Text(11, sms_column::kText);
        QCOMPARE(window->joinedMessages(kSim).keys(), QList<int>{9});
        QCOMPARE(window->joinedMessages(kSim)[9].text, joined);
        RecordTable* grid = window->grid(kSim);
        const QString shown =
            grid->model()->index(8, sms_column::kShown - 1).data().toString().replace('\n', ' ');
        QVERIFY2(shown.startsWith(QStringLiteral("1-3/3 ")), qPrintable(shown));
        QVERIFY(grid->isRowHidden(9) && grid->isRowHidden(10) && !grid->isRowHidden(8));

        // Ctrl+A marks the parts too; the clipboard gets the message once, joined.
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied.count(joined), 1);

        // ExportDialog gets the joined message as one record.
        QString exportedText;
        int exportedCount = 0;
        setRecordExportHook([&](const ExportRequest& request) {
            exportedCount = request.usedCount;
            exportedText = request.list->Text(9, sms_column::kText);
        });
        window->grid(kSim)->setFocus();
        QTest::keyClick(window->grid(kSim), Qt::Key_Down);
        window->exportText(QLatin1Char(','));
        setRecordExportHook({});
        QCOMPARE(exportedCount, 9);
        QCOMPARE(exportedText, joined);

        // An edited part leaves the message: the rows show on their own again.
        window->recordList(kSim).SetTag(10, 0);
        window->updateMessageRowHeights(kSim, window->usedCount(kSim));
        QVERIFY(window->joinedMessages(kSim).isEmpty());
        QVERIFY(!grid->isRowHidden(9) && !grid->isRowHidden(10));
    }

    // A new message gets its defaults with its first character; the editor takes 160
    // characters of the GSM alphabet, 70 once one is outside it.
    void typesNewMessagesWithinTheirLimits() {
        ReadCard();  // PIN1 opens the card's service centre number
        EditAt(kComputer, 1, sms_column::kShown);
        CellEditor* editor = window->editor();
        Type(editor, QStringLiteral("H"));
        QTRY_COMPARE(Computer().Text(1, sms_column::kStatus), QStringLiteral("To Be Send"));
        QCOMPARE(Computer().Text(1, sms_column::kValidity), QStringLiteral("167"));
        const QString centre = QString::fromStdString(rig->session->cardInfo().ServiceCentreNumber);
        QVERIFY(centre.size() > 2 && Computer().Text(1, sms_column::kServiceCentre) == centre);

        Type(editor, QString(170, QLatin1Char('a')));
        QCOMPARE(Computer().Text(1, sms_column::kText).size(), 160);
        // A character outside the alphabet would make it UCS2: refused as well.
        Type(editor, QStringLiteral("λ"));
        QCOMPARE(Computer().Text(1, sms_column::kText).size(), 160);
        // The stored text keeps no breaks; the shown text wraps and the row grows.
        QVERIFY(!Computer().Text(1, sms_column::kText).contains(QLatin1Char('\n')));
        QVERIFY(Computer().Text(1, sms_column::kShown).count(QStringLiteral("\r\n")) >= 1);

        EditAt(kComputer, 2, sms_column::kShown);
        Type(editor, QString(75, QChar(0x03BB)));
        QCOMPARE(Computer().Text(2, sms_column::kText), QString(70, QChar(0x03BB)));
        // An emoji counts two units.
        EditAt(kComputer, 3, sms_column::kShown);
        Type(editor, QString(69, QLatin1Char('b')) + QStringLiteral("\U0001F600"));
        QCOMPARE(Computer().Text(3, sms_column::kText), QString(69, QLatin1Char('b')));
    }

    void numbersAreFiltered() {
        EditAt(kComputer, 1, sms_column::kAddress);
        Type(window->editor(), QStringLiteral("+49x30"));
        QTRY_COMPARE(Computer().Text(1, sms_column::kAddress), QStringLiteral("+4930"));
        // Enter moves on past the hidden text column to the message.
        QTest::keyClick(window->editor(), Qt::Key_Return);
        QTRY_COMPARE(window->grid(kComputer)->currentColumn(), sms_column::kShown);
    }

    void validityPickerOnlyOnMessagesToSend() {
        ReadCard();
        RecordTable* sim = window->grid(kSim);
        for (int row : {1, 3}) {  // received, empty
            ClickCell(sim, row, sms_column::kValidityText);
            QTest::qWait(20);
            QVERIFY(window->validityPicker()->isHidden());
        }
        ClickCell(sim, 5, sms_column::kValidityText);  // to be sent
        QTRY_VERIFY(window->validityPicker()->isVisible());
        QCOMPARE(window->validityPicker()->value(), 173);
        QTest::keyClick(window->validityPicker(), Qt::Key_Right);
        QCOMPARE(Sim().Text(5, sms_column::kValidity), QStringLiteral("174"));
        QTest::keyClick(window->validityPicker(), Qt::Key_Up);
        QTRY_COMPARE(sim->currentRow(), 4);
        QTRY_VERIFY(window->validityPicker()->isVisible());  // the sent message above
        QCOMPARE(window->validityPicker()->value(), 167);
    }

    // Marked messages through the clipboard: the status goes as the window shows it (the
    // catalogue's "Sent") and comes back as the list stores it ("Send").
    void clipboardKeepsTheMessages() {
        ReadCard();
        RecordTable* sim = window->grid(kSim);
        window->model(kSim)->List().SetText(4, sms_column::kMark, QStringLiteral("1"));
        window->model(kSim)->List().SetText(6, sms_column::kMark, QStringLiteral("1"));
        sim->setFocus();
        QTest::keyClick(sim, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text().startsWith(
            QStringLiteral("Source/Destination:\r\n+441632960123\r\n"
                           "Message:\r\nOn my way,\r\nback at 10.\r\nStatus:\r\nSent\r\n")));
        RecordTable* computer = window->grid(kComputer);
        computer->setFocus();
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 2);
        for (int column = 1; column <= sms_column::kValidity; ++column) {
            QCOMPARE(Computer().Text(1, column), Sim().Text(4, column));
            QCOMPARE(Computer().Text(2, column), Sim().Text(6, column));
        }
    }

    void findsInMessages() {
        ReadCard();
        auto* box = window->findChild<QLineEdit*>("findBox_1");
        box->setText(QStringLiteral("*ünch"));
        window->findFromTop(kSim);
        QTRY_VERIFY(window->editorOverCell());
        QCOMPARE(window->grid(kSim)->currentRow(), 2);
        QCOMPARE(window->grid(kSim)->currentColumn(), sms_column::kShown);
        QCOMPARE(window->editor()->textCursor().selectedText(), QStringLiteral("ünch"));
    }
};

QTEST_MAIN(SmsWindowTest)
#include "sms_window_test.moc"
