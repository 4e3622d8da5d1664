// The SMS window as a person uses it, on the instant virtual reader with the demo card.
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/sms_record.h"
#include "shell/main_window.h"
#include "shell/window_factory.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/record_exchange.h"
#include "windows/record_list_model.h"
#include "windows/record_windows.h"
#include "windows/sms_fields.h"
#include "windows/sms_window.h"

using namespace pellucard;
using namespace pellucard::testing;

class SmsRecTest : public QObject, RecordWindowFixture<SmsWindow> {
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

    void readsTheMessages() {
        QCOMPARE(rig->session->currentWindow(), WindowIndex::Sms);
        QCOMPARE(window->findChild<QLabel*>("recordCountLabel")->text(), QStringLiteral("30"));
        QCOMPARE(window->currentFile(), ApplicationFilePath("NewSMSRecord0.sms"));
        ReadCard();
        QCOMPARE(Sim().Text(1, sms_column::kStatus), QStringLiteral("Read"));
        QCOMPARE(Sim().Text(2, sms_column::kStatus), QStringLiteral("To Be Read"));
        QCOMPARE(Sim().Text(3, sms_column::kStatus), QString());
        QCOMPARE(Sim().Text(4, sms_column::kStatus), QStringLiteral("Send"));
        QCOMPARE(Sim().Text(5, sms_column::kStatus), QStringLiteral("To Be Send"));
        QCOMPARE(Sim().Text(1, sms_column::kTimeStamp), QStringLiteral("2024/03/15 10:30:00 (04)"));
        QCOMPARE(Sim().Text(6, sms_column::kText), QStringLiteral("你好！周末见。"));
        QCOMPARE(Sim().Text(5, sms_column::kValidityText), QStringLiteral("1Week"));
        // 30 records, ten of them messages: the free record 3 is not counted among those.
        QCOMPARE(window->findChild<QLabel*>("lastReadLabel")->text(), readTotalText(30, 10, 0));
        // The parts of the concatenated message tell which rows belong together.
        QAbstractItemModel* shown = window->grid(kSim)->model();
        for (int part = 1; part <= 3; ++part) {
            const QModelIndex cell = shown->index(8 + part - 1, sms_column::kShown - 1);
            QCOMPARE(shown->data(cell, Qt::ToolTipRole).toString(),
                     QStringLiteral("Part %1 of 3 of message 90").arg(part));
        }
        QVERIFY(shown->data(shown->index(0, sms_column::kShown - 1), Qt::ToolTipRole)
                    .toString()
                    .isEmpty());
        // The typed line break stays in the text and shows as a line of the row.
        QCOMPARE(Sim().Text(4, sms_column::kText), QStringLiteral("On my way,\r\nback at 10."));
        QVERIFY(window->grid(kSim)->rowHeight(3) > window->grid(kSim)->rowHeight(2));
    }

    // The three parts of a concatenated message show as one: the joined text in the first
    // part's row with "1-3/3", the other parts folded under it. Copying and export take the
    // joined text; the records themselves stay as the card holds them.
    void showsAMessageSentInPartsJoined() {
        ReadCard();
        const QString joined = Sim().Text(9, sms_column::kText) +
                               Sim().Text(10, sms_column::kText) +
                               Sim().Text(11, sms_column::kText);
        QVERIFY(Sim().Text(10, sms_column::kText).size() > 0);
        QCOMPARE(window->joinedMessages(kSim).keys(), QList<int>{9});
        QCOMPARE(window->joinedMessages(kSim)[9].text, joined);
        RecordTable* grid = window->grid(kSim);
        const QString shown =
            grid->model()->index(8, sms_column::kShown - 1).data().toString().replace('\n', ' ');
        QVERIFY2(shown.startsWith(QStringLiteral("1-3/3 ")), qPrintable(shown));
        QVERIFY(grid->isRowHidden(9) && grid->isRowHidden(10) && !grid->isRowHidden(8));
        QVERIFY(grid->rowHeight(8) > grid->rowHeight(0));

        // Ctrl+A marks the parts too; the clipboard gets the message once, joined.
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied.count(joined), 1);
        // Ten messages, the three parts copied as one.
        QCOMPARE(copied.count(Message(MessageId::SourceDestinationTitle, 0) + QStringLiteral(":")),
                 8);

        // ExportDialog gets the joined message as one record.
        const ExportRequest* seen = nullptr;
        QString exportedText;
        int exportedCount = 0;
        setRecordExportHook([&](const ExportRequest& request) {
            seen = &request;
            exportedCount = request.usedCount;
            exportedText = request.list->Text(9, sms_column::kText);
        });
        window->grid(kSim)->setFocus();
        QTest::keyClick(window->grid(kSim), Qt::Key_Down);
        window->exportText(QLatin1Char(','));
        setRecordExportHook({});
        QVERIFY(seen != nullptr);
        QCOMPARE(exportedCount, 9);
        QCOMPARE(exportedText, joined);

        // An edited part leaves the message: the rows show on their own again.
        window->recordList(kSim).SetTag(10, 0);
        window->updateMessageRowHeights(kSim, window->usedCount(kSim));
        QVERIFY(window->joinedMessages(kSim).isEmpty());
        QVERIFY(!grid->isRowHidden(9) && !grid->isRowHidden(10));
        QCOMPARE(Sim().Text(9, sms_column::kText) + Sim().Text(10, sms_column::kText) +
                     Sim().Text(11, sms_column::kText),
                 joined);
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
        QCOMPARE(Computer().Text(1, sms_column::kValidityText), QStringLiteral("24Hour"));
        const QString centre = QString::fromStdString(rig->session->cardInfo().ServiceCentreNumber);
        QVERIFY(centre.size() > 2);
        QCOMPARE(Computer().Text(1, sms_column::kServiceCentre), centre);
        QVERIFY(Button("saveFileButton")->isEnabled());
        QCOMPARE(window->usedCount(kComputer), 1);

        Type(editor, QString(170, QLatin1Char('a')));
        QCOMPARE(Computer().Text(1, sms_column::kText).size(), 160);
        QCOMPARE(window->charactersLeft(), QStringLiteral("0"));
        QCOMPARE(window->findChild<QLabel*>("charactersLeft")->text(), QStringLiteral("0"));
        // A character outside the alphabet would make it UCS2: refused as well.
        Type(editor, QStringLiteral("λ"));
        QCOMPARE(Computer().Text(1, sms_column::kText).size(), 160);
        // The stored text keeps no breaks; the shown text wraps and the row grows.
        QVERIFY(!Computer().Text(1, sms_column::kText).contains(QLatin1Char('\n')));
        QVERIFY(Computer().Text(1, sms_column::kShown).count(QStringLiteral("\r\n")) >= 1);

        EditAt(kComputer, 2, sms_column::kShown);
        Type(editor, QString(75, QChar(0x03BB)));
        QCOMPARE(Computer().Text(2, sms_column::kText), QString(70, QChar(0x03BB)));
        QCOMPARE(window->charactersLeft(), QStringLiteral("0"));
        // An emoji counts two units.
        EditAt(kComputer, 3, sms_column::kShown);
        Type(editor, QString(69, QLatin1Char('b')) + QStringLiteral("\U0001F600"));
        QCOMPARE(Computer().Text(3, sms_column::kText), QString(69, QLatin1Char('b')));
    }

    void longMessageRowsGrowToSevenLines() {
        EditAt(kComputer, 2, sms_column::kShown);
        CellEditor* editor = window->editor();
        for (int line = 0; line < 9; ++line) {
            Type(editor, QStringLiteral("line%1").arg(line));
            if (line < 8)
                QTest::keyClick(editor, Qt::Key_Return);
        }
        QTRY_COMPARE(Computer().Text(2, sms_column::kText).count(QStringLiteral("\r\n")), 8);
        QCOMPARE(window->grid(kComputer)->rowHeight(1), window->messageRowHeight(7));
        QVERIFY(window->messageRowHeight(7) > window->messageRowHeight(1));
        // Up inside the message moves the caret, on the first line it leaves the row.
        QTest::keyClick(editor, Qt::Key_Up);
        QVERIFY(window->editorOverCell());
        editor->setCaretPosition(0);
        QTest::keyClick(editor, Qt::Key_Down);
        QTest::keyClick(editor, Qt::Key_Up);
        QTest::keyClick(editor, Qt::Key_Up);
        QTRY_VERIFY(!window->editorOverCell());
    }

    void numbersAreFiltered() {
        EditAt(kComputer, 1, sms_column::kAddress);
        Type(window->editor(), QStringLiteral("+49x30"));
        QTRY_COMPARE(Computer().Text(1, sms_column::kAddress), QStringLiteral("+4930"));
        QCOMPARE(rig->dialogs.MessageIds().count(MessageId::InvalidNumberCharacter),
                 0);  // a hint, not a box
        QCOMPARE(rig->status, Message(MessageId::InvalidNumberCharacter, 0));
        QCOMPARE(Computer().Text(1, sms_column::kStatus), QStringLiteral("To Be Send"));
        // Enter moves on past the hidden text column to the message.
        QTest::keyClick(window->editor(), Qt::Key_Return);
        QTRY_COMPARE(window->grid(kComputer)->currentColumn(), sms_column::kShown);
    }

    void validityPickerOnlyOnMessagesToSend() {
        ReadCard();
        RecordTable* sim = window->grid(kSim);
        ClickCell(sim, 1, sms_column::kValidityText);  // received
        QTest::qWait(20);
        QVERIFY(window->validityPicker()->isHidden());
        ClickCell(sim, 3, sms_column::kValidityText);  // empty
        QTest::qWait(20);
        QVERIFY(window->validityPicker()->isHidden());
        ClickCell(sim, 5, sms_column::kValidityText);  // to be sent
        QTRY_VERIFY(window->validityPicker()->isVisible());
        QCOMPARE(window->validityPicker()->value(), 173);
        QTest::keyClick(window->validityPicker(), Qt::Key_Right);
        QCOMPARE(Sim().Text(5, sms_column::kValidity), QStringLiteral("174"));
        QCOMPARE(Sim().Text(5, sms_column::kValidityText), QStringLiteral("1Week 1Day"));
        QTest::keyClick(window->validityPicker(), Qt::Key_Up);
        QCOMPARE(Sim().Text(5, sms_column::kValidity), QStringLiteral("174"));
        QTRY_COMPARE(sim->currentRow(), 4);
        QTRY_VERIFY(window->validityPicker()->isVisible());  // the sent message above
        QCOMPARE(window->validityPicker()->value(), 167);
    }

    // Copy to the computer list, save an SMS file, open it again; clipboard both ways.
    void filesAndClipboardKeepTheMessages() {
        ReadCard();
        Button("copyAllToComputerButton")->click();
        QCOMPARE(window->usedCount(kComputer), 11);
        const QString saved = rig->folder.filePath("messages.sms");
        rig->dialogs.QueueFileName(saved);
        Button("saveAsButton")->click();
        QCOMPARE(QFileInfo(saved).size(), 11 * 1092);
        Button("newFileButton")->click();
        QCOMPARE(window->usedCount(kComputer), 0);
        rig->dialogs.QueueFileName(saved);
        Button("openFileButton")->click();
        QCOMPARE(window->usedCount(kComputer), 11);
        // Record files keep no blanks around a field, but for the texts of the parts of a
        // message sent in parts (rows 9 to 11), where they join.
        for (int row = 1; row <= 11; ++row) {
            for (int column = 1; column <= sms_column::kValidity; ++column) {
                const bool part =
                    row >= 9 && (column == sms_column::kText || column == sms_column::kShown);
                QCOMPARE(Computer().Text(row, column),
                         part ? Sim().Text(row, column) : TrimBlanks(Sim().Text(row, column)));
            }
        }
        QVERIFY(!Button("saveFileButton")->isEnabled());

        RecordTable* sim = window->grid(kSim);
        window->model(kSim)->List().SetText(4, sms_column::kMark, QStringLiteral("1"));
        window->model(kSim)->List().SetText(6, sms_column::kMark, QStringLiteral("1"));
        sim->setFocus();
        QTest::keyClick(sim, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        // The status goes as the window shows it (the catalogue's "Sent") and comes back as the
        // list stores it ("Send").
        QVERIFY(
            copied.startsWith(QStringLiteral("Source/Destination:\r\n+441632960123\r\n"
                                             "Message:\r\nOn my way,\r\nback at 10.\r\n"
                                             "Status:\r\nSent\r\n")));
        RecordTable* computer = window->grid(kComputer);
        computer->setFocus();
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->usedCount(kComputer), 13);
        for (int column = 1; column <= sms_column::kValidity; ++column) {
            QCOMPARE(Computer().Text(12, column), Sim().Text(4, column));
            QCOMPARE(Computer().Text(13, column), Sim().Text(6, column));
        }
        QVERIFY(Button("saveFileButton")->isEnabled());
    }

    // Writing the list back right after reading changes no byte; an emoji message goes to
    // the card and comes back the same.
    void writesBackUnchanged() {
        ReadCard();
        Pellucard& engine = rig->engine();
        const auto before = cardRecords(engine, CardBook::Sms);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("writeButton")->click();
        // Every record read goes back as it was read.
        QCOMPARE(window->findChild<QLabel*>("lastReadLabel")->text(),
                 Message(MessageId::RecordsWrittenToCard, 0).arg(30));
        QCOMPARE(cardRecords(engine, CardBook::Sms), before);

        EditAt(kSim, 12, sms_column::kShown);
        const QString text = QStringLiteral("Bis bald \U0001F600");
        Type(window->editor(), text);
        QTRY_COMPARE(Sim().Text(12, sms_column::kText), text);
        window->grid(kSim)->setFocus();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("writeButton")->click();
        const auto after = cardRecords(engine, CardBook::Sms);
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (i != 11)
                QCOMPARE(after[i], before[i]);
        }
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("readButton")->click();
        QCOMPARE(Sim().Text(12, sms_column::kText), text);
        QCOMPARE(Sim().Text(12, sms_column::kStatus), QStringLiteral("To Be Send"));
        QCOMPARE(Sim().Text(12, sms_column::kValidity), QStringLiteral("167"));
    }

    void changesLanguage() {
        rig->session->setLanguageIndex(3);
        window->changeLanguage();
        QCOMPARE(Button("readButton")->text(), Message(MessageId::Read, 3));
        QCOMPARE(Sim().Text(0, sms_column::kShown), Message(MessageId::MessageTitle, 3));
        QCOMPARE(window->windowTitle(), Message(MessageId::SimSmsToComputerSms, 3));
        QVERIFY(window->grid(kSim)->columnWidth(sms_column::kValidityText - 1) >
                window->fontMetrics().horizontalAdvance(Message(MessageId::ValidityWidthMask, 3)));
        EditAt(kComputer, 1, sms_column::kShown);
        Type(window->editor(), QStringLiteral("x"));
        QTRY_COMPARE(Computer().Text(1, sms_column::kValidityText), QStringLiteral("24Stunde"));
        QCOMPARE(Computer().Text(1, sms_column::kStatus), QStringLiteral("To Be Send"));
    }

    // The main window makes both record windows from its factory; its File menu's Save
    // follows the modified state and saves the active one.
    void theMainWindowDrivesBothWindows() {
        ShellRig& shell = ShowMainWindow();
        QVERIFY(shell.OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook));
        QCOMPARE(shell.session->currentWindow(), WindowIndex::PhoneBook);
        auto* sms = shell.OpenWindow<SmsWindow>(WindowIndex::Sms);
        QVERIFY(sms);
        QTRY_COMPARE(shell.session->currentWindow(), WindowIndex::Sms);
        auto* save = shell.Action("saveAction");
        QVERIFY(save && !save->isEnabled());
        sms->recordList(kComputer).SetText(1, sms_column::kAddress, QStringLiteral("112"));
        sms->setUsedCountOfCurrentList(1);
        sms->copyAllToCard();         // no question: the SIM list is empty
        sms->copyMarkedToComputer();  // nothing marked: nothing changes
        QVERIFY(!save->isEnabled());
        sms->recordList(kSim).SetText(1, sms_column::kAddress, QStringLiteral("911"));
        shell.dialogs.QueueAnswer(DialogAnswer::No);
        sms->copyAllToComputer();
        QVERIFY(shell.dialogs.MessageIds().contains(MessageId::OverwriteRecordQuestion));
        QVERIFY(!save->isEnabled());
        shell.dialogs.QueueAnswer(DialogAnswer::Yes);
        sms->copyAllToComputer();
        QVERIFY(save->isEnabled());
        save->trigger();
        QVERIFY(!save->isEnabled());
        QCOMPARE(QFileInfo(sms->currentFile()).size(), 1092);
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

QTEST_MAIN(SmsRecTest)
#include "sms_window_test.moc"
