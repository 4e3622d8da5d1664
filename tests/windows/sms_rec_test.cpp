// The SMS window as a person uses it, on the instant virtual reader with the demo card.
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/sms_record.h"
#include "shell/mdi_main.h"
#include "shell/window_factory.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/record_columns.h"
#include "windows/record_exchange.h"
#include "windows/record_list_model.h"
#include "windows/record_windows.h"
#include "windows/sim_rec.h"
#include "windows/sms_fields.h"
#include "windows/sms_rec.h"

using namespace pellucard;
using namespace pellucard::testing;

class SmsRecTest : public QObject, RecordWindowFixture<SMSRec> {
    Q_OBJECT

private:
    void ReadCard() {
        ReadWith("Command3");
        QCOMPARE(window->UsedCount(kSim), 11);
    }
    // Opens the message editor on a cell.
    void EditAt(int list, int row, int column) {
        ClickCell(window->Grid(list), row, column);
        QTRY_VERIFY(window->EditorOverCell());
        QCOMPARE(window->Grid(list)->CurrentRow(), row);
    }

private slots:
    void init() { QVERIFY(Open({1400, 800})); }
    void cleanup() { Close(); }

    void readsTheMessages() {
        QCOMPARE(rig->session->CurrentWindow, WindowIndex::SmsRec);
        QCOMPARE(window->findChild<QLabel*>("LTotal")->text(), QStringLiteral("30"));
        QCOMPARE(window->CurrentFile(), ApplicationFilePath("NewSMSRecord0.sms"));
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
        QCOMPARE(window->findChild<QLabel*>("LNowRecord")->text(), ReadTotalText(30, 10, 0));
        // The parts of the concatenated message tell which rows belong together.
        QAbstractItemModel* shown = window->Grid(kSim)->model();
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
        QVERIFY(window->Grid(kSim)->rowHeight(3) > window->Grid(kSim)->rowHeight(2));
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
        QCOMPARE(window->JoinedMessages(kSim).keys(), QList<int>{9});
        QCOMPARE(window->JoinedMessages(kSim)[9].text, joined);
        RecordTable* grid = window->Grid(kSim);
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

        // Export gets the joined message as one record.
        const ExportRequest* seen = nullptr;
        QString exportedText;
        int exportedCount = 0;
        SetRecordExportHook([&](const ExportRequest& request) {
            seen = &request;
            exportedCount = request.usedCount;
            exportedText = request.list->Text(9, sms_column::kText);
        });
        window->Grid(kSim)->setFocus();
        QTest::keyClick(window->Grid(kSim), Qt::Key_Down);
        window->CmdExport(QLatin1Char(','));
        SetRecordExportHook({});
        QVERIFY(seen != nullptr);
        QCOMPARE(exportedCount, 9);
        QCOMPARE(exportedText, joined);

        // An edited part leaves the message: the rows show on their own again.
        window->List(kSim).SetTag(10, 0);
        window->iniMSFheight(kSim, window->UsedCount(kSim));
        QVERIFY(window->JoinedMessages(kSim).isEmpty());
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
        CellEditor* editor = window->Editor();
        Type(editor, QStringLiteral("H"));
        QTRY_COMPARE(Computer().Text(1, sms_column::kStatus), QStringLiteral("To Be Send"));
        QCOMPARE(Computer().Text(1, sms_column::kValidity), QStringLiteral("167"));
        QCOMPARE(Computer().Text(1, sms_column::kValidityText), QStringLiteral("24Hour"));
        const QString centre = rig->session->CardInfo.ServiceCentreNumber;
        QVERIFY(centre.size() > 2);
        QCOMPARE(Computer().Text(1, sms_column::kServiceCentre), centre);
        QVERIFY(Button("CmdNewSave")->isEnabled());
        QCOMPARE(window->UsedCount(kComputer), 1);

        Type(editor, QString(170, QLatin1Char('a')));
        QCOMPARE(Computer().Text(1, sms_column::kText).size(), 160);
        QCOMPARE(window->CharactersLeft(), QStringLiteral("0"));
        QCOMPARE(window->findChild<QLabel*>("LCharsLeft")->text(), QStringLiteral("0"));
        // A character outside the alphabet would make it UCS2: refused as well.
        Type(editor, QStringLiteral("λ"));
        QCOMPARE(Computer().Text(1, sms_column::kText).size(), 160);
        // The stored text keeps no breaks; the shown text wraps and the row grows.
        QVERIFY(!Computer().Text(1, sms_column::kText).contains(QLatin1Char('\n')));
        QVERIFY(Computer().Text(1, sms_column::kShown).count(QStringLiteral("\r\n")) >= 1);

        EditAt(kComputer, 2, sms_column::kShown);
        Type(editor, QString(75, QChar(0x03BB)));
        QCOMPARE(Computer().Text(2, sms_column::kText), QString(70, QChar(0x03BB)));
        QCOMPARE(window->CharactersLeft(), QStringLiteral("0"));
        // An emoji counts two units.
        EditAt(kComputer, 3, sms_column::kShown);
        Type(editor, QString(69, QLatin1Char('b')) + QStringLiteral("\U0001F600"));
        QCOMPARE(Computer().Text(3, sms_column::kText), QString(69, QLatin1Char('b')));
    }

    void longMessageRowsGrowToSevenLines() {
        EditAt(kComputer, 2, sms_column::kShown);
        CellEditor* editor = window->Editor();
        for (int line = 0; line < 9; ++line) {
            Type(editor, QStringLiteral("line%1").arg(line));
            if (line < 8)
                QTest::keyClick(editor, Qt::Key_Return);
        }
        QTRY_COMPARE(Computer().Text(2, sms_column::kText).count(QStringLiteral("\r\n")), 8);
        QCOMPARE(window->Grid(kComputer)->rowHeight(1), window->MessageRowHeight(7));
        QVERIFY(window->MessageRowHeight(7) > window->MessageRowHeight(1));
        // Up inside the message moves the caret, on the first line it leaves the row.
        QTest::keyClick(editor, Qt::Key_Up);
        QVERIFY(window->EditorOverCell());
        editor->SetCaretPosition(0);
        QTest::keyClick(editor, Qt::Key_Down);
        QTest::keyClick(editor, Qt::Key_Up);
        QTest::keyClick(editor, Qt::Key_Up);
        QTRY_VERIFY(!window->EditorOverCell());
    }

    void numbersAreFiltered() {
        EditAt(kComputer, 1, sms_column::kAddress);
        Type(window->Editor(), QStringLiteral("+49x30"));
        QTRY_COMPARE(Computer().Text(1, sms_column::kAddress), QStringLiteral("+4930"));
        QCOMPARE(rig->dialogs.MessageIds().count(MessageId::InvalidNumberCharacter),
                 0);  // a hint, not a box
        QCOMPARE(rig->status, Message(MessageId::InvalidNumberCharacter, 0));
        QCOMPARE(Computer().Text(1, sms_column::kStatus), QStringLiteral("To Be Send"));
        // Enter moves on past the hidden text column to the message.
        QTest::keyClick(window->Editor(), Qt::Key_Return);
        QTRY_COMPARE(window->Grid(kComputer)->CurrentColumn(), sms_column::kShown);
    }

    void validityPickerOnlyOnMessagesToSend() {
        ReadCard();
        RecordTable* sim = window->Grid(kSim);
        ClickCell(sim, 1, sms_column::kValidityText);  // received
        QTest::qWait(20);
        QVERIFY(window->ValidityPicker()->isHidden());
        ClickCell(sim, 3, sms_column::kValidityText);  // empty
        QTest::qWait(20);
        QVERIFY(window->ValidityPicker()->isHidden());
        ClickCell(sim, 5, sms_column::kValidityText);  // to be sent
        QTRY_VERIFY(window->ValidityPicker()->isVisible());
        QCOMPARE(window->ValidityPicker()->value(), 173);
        QTest::keyClick(window->ValidityPicker(), Qt::Key_Right);
        QCOMPARE(Sim().Text(5, sms_column::kValidity), QStringLiteral("174"));
        QCOMPARE(Sim().Text(5, sms_column::kValidityText), QStringLiteral("1Week 1Day"));
        QTest::keyClick(window->ValidityPicker(), Qt::Key_Up);
        QCOMPARE(Sim().Text(5, sms_column::kValidity), QStringLiteral("174"));
        QTRY_COMPARE(sim->CurrentRow(), 4);
        QTRY_VERIFY(window->ValidityPicker()->isVisible());  // the sent message above
        QCOMPARE(window->ValidityPicker()->value(), 167);
    }

    // Copy to the computer list, save an SMS file, open it again; clipboard both ways.
    void filesAndClipboardKeepTheMessages() {
        ReadCard();
        Button("Cmdallright")->click();
        QCOMPARE(window->UsedCount(kComputer), 11);
        const QString saved = rig->folder.filePath("messages.sms");
        rig->dialogs.QueueFileName(saved);
        Button("CmdSaveAs")->click();
        QCOMPARE(QFileInfo(saved).size(), 11 * 1092);
        Button("CmdNewNewrecord")->click();
        QCOMPARE(window->UsedCount(kComputer), 0);
        rig->dialogs.QueueFileName(saved);
        Button("CmdNewOpen")->click();
        QCOMPARE(window->UsedCount(kComputer), 11);
        // Record files keep no blanks around a field.
        for (int row = 1; row <= 11; ++row) {
            for (int column = 1; column <= sms_column::kValidity; ++column)
                QCOMPARE(Computer().Text(row, column), TrimBlanks(Sim().Text(row, column)));
        }
        QVERIFY(!Button("CmdNewSave")->isEnabled());

        RecordTable* sim = window->Grid(kSim);
        window->Model(kSim)->List().SetText(4, sms_column::kMark, QStringLiteral("1"));
        window->Model(kSim)->List().SetText(6, sms_column::kMark, QStringLiteral("1"));
        sim->setFocus();
        QTest::keyClick(sim, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QVERIFY(
            copied.startsWith(QStringLiteral("Source/Destination:\r\n+441632960123\r\n"
                                             "Message:\r\nOn my way,\r\nback at 10.\r\n"
                                             "Status:\r\nSend\r\n")));
        RecordTable* computer = window->Grid(kComputer);
        computer->setFocus();
        QTest::keyClick(computer, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->UsedCount(kComputer), 13);
        for (int column = 1; column <= sms_column::kValidity; ++column) {
            QCOMPARE(Computer().Text(12, column), Sim().Text(4, column));
            QCOMPARE(Computer().Text(13, column), Sim().Text(6, column));
        }
        QVERIFY(Button("CmdNewSave")->isEnabled());
    }

    // Writing the list back right after reading changes no byte; an emoji message goes to
    // the card and comes back the same.
    void writesBackUnchanged() {
        ReadCard();
        Pellucard& engine = rig->Engine();
        const auto before = CardRecords(engine, CardBook::Sms);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("CmdSaveSim")->click();
        // Every record read goes back as it was read.
        QCOMPARE(window->findChild<QLabel*>("LNowRecord")->text(),
                 Message(MessageId::RecordsWrittenToCard, 0).arg(30));
        QCOMPARE(CardRecords(engine, CardBook::Sms), before);

        EditAt(kSim, 12, sms_column::kShown);
        const QString text = QStringLiteral("Bis bald \U0001F600");
        Type(window->Editor(), text);
        QTRY_COMPARE(Sim().Text(12, sms_column::kText), text);
        window->Grid(kSim)->setFocus();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("CmdSaveSim")->click();
        const auto after = CardRecords(engine, CardBook::Sms);
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (i != 11)
                QCOMPARE(after[i], before[i]);
        }
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button("Command3")->click();
        QCOMPARE(Sim().Text(12, sms_column::kText), text);
        QCOMPARE(Sim().Text(12, sms_column::kStatus), QStringLiteral("To Be Send"));
        QCOMPARE(Sim().Text(12, sms_column::kValidity), QStringLiteral("167"));
    }

    void changesLanguage() {
        rig->session->LanguageIndex = 3;
        window->ChangeLanguage();
        QCOMPARE(Button("Command3")->text(), Message(MessageId::Read, 3));
        QCOMPARE(Sim().Text(0, sms_column::kShown), Message(MessageId::MessageTitle, 3));
        QCOMPARE(window->windowTitle(), Message(MessageId::SimSmsToComputerSms, 3));
        QVERIFY(window->Grid(kSim)->columnWidth(sms_column::kValidityText - 1) >
                window->fontMetrics().horizontalAdvance(Message(MessageId::ValidityWidthMask, 3)));
        EditAt(kComputer, 1, sms_column::kShown);
        Type(window->Editor(), QStringLiteral("x"));
        QTRY_COMPARE(Computer().Text(1, sms_column::kValidityText), QStringLiteral("24Stunde"));
        QCOMPARE(Computer().Text(1, sms_column::kStatus), QStringLiteral("To Be Send"));
    }

    // The main window makes both record windows from its factory; its File menu's Save
    // follows the modified state and saves the active one.
    void theMainWindowDrivesBothWindows() {
        ShellRig& shell = ShowMainWindow();
        QVERIFY(shell.OpenWindow<SimRec>(WindowIndex::SimRec));
        QCOMPARE(shell.session->CurrentWindow, WindowIndex::SimRec);
        auto* sms = shell.OpenWindow<SMSRec>(WindowIndex::SmsRec);
        QVERIFY(sms);
        QTRY_COMPARE(shell.session->CurrentWindow, WindowIndex::SmsRec);
        auto* save = shell.Action("MDISave");
        QVERIFY(save && !save->isEnabled());
        sms->List(kComputer).SetText(1, sms_column::kAddress, QStringLiteral("112"));
        sms->InPutTotal(1);
        sms->Cmdallleft_Click();  // no question: the SIM list is empty
        sms->CmdRight_Click();    // nothing marked: nothing changes
        QVERIFY(!save->isEnabled());
        sms->List(kSim).SetText(1, sms_column::kAddress, QStringLiteral("911"));
        shell.dialogs.QueueAnswer(DialogAnswer::No);
        sms->Cmdallright_Click();
        QVERIFY(shell.dialogs.MessageIds().contains(MessageId::OverwriteRecordQuestion));
        QVERIFY(!save->isEnabled());
        shell.dialogs.QueueAnswer(DialogAnswer::Yes);
        sms->Cmdallright_Click();
        QVERIFY(save->isEnabled());
        save->trigger();
        QVERIFY(!save->isEnabled());
        QCOMPARE(QFileInfo(sms->CurrentFile()).size(), 1092);
    }

    void findsInMessages() {
        ReadCard();
        auto* box = window->findChild<QLineEdit*>("FindBox_1");
        box->setText(QStringLiteral("*ünch"));
        window->FindBox_Enter(kSim);
        QTRY_VERIFY(window->EditorOverCell());
        QCOMPARE(window->Grid(kSim)->CurrentRow(), 2);
        QCOMPARE(window->Grid(kSim)->CurrentColumn(), sms_column::kShown);
        QCOMPARE(window->Editor()->textCursor().selectedText(), QStringLiteral("ünch"));
    }
};

QTEST_MAIN(SmsRecTest)
#include "sms_rec_test.moc"
