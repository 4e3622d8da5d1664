// Questions that can throw work away (exit, New, Open, closing a window) offer Cancel, and
// Cancel (Escape, the box's close button) keeps every document and the program as they were.
#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

#include "windows/record_list_model.h"
#include "shell/main_window.h"
#include "shell/window_factory.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/personal_records_window.h"
#include "windows/phone_book_window.h"
#include "windows/record_windows.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr int kComputer = 0;

}  // namespace

class UnsavedWorkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellRig> rig;
    MainWindow* main = nullptr;
    PersonalRecordsWindow* person = nullptr;
    PhoneBookWindow* phone = nullptr;

    // Five new personal records in an untitled document, and an edited phone book list.
    void MakeWork() {
        person = rig->OpenWindow<PersonalRecordsWindow>(WindowIndex::PersonalRecords);
        QVERIFY(person);
        for (int row = 1; row <= 5; ++row) {
            person->recordList().SetText(row, 3, QStringLiteral("person %1").arg(row));
            person->setUsedCountOfCurrentList(row);
        }
        Type(person->field(1), QStringLiteral("!"));
        QVERIFY(person->modified());

        phone = rig->OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
        QVERIFY(phone);
        phone->recordList(kComputer).SetText(1, 1, QStringLiteral("Ann"));
        phone->setUsedCountOfCurrentList(1);
        phone->newRecord(kComputer);
        QTRY_VERIFY(phone->editorOverCell());
        QTest::keyClicks(phone->editor(), QStringLiteral("Bob"));
        QTRY_VERIFY(phone->modified());
        rig->dialogs.Clear();
    }

    void VerifyWorkKept() {
        QVERIFY(main->isVisible());
        QCOMPARE(main->childWindow(WindowIndex::PersonalRecords), person);
        QCOMPARE(main->childWindow(WindowIndex::PhoneBook), phone);
        QVERIFY(person->modified() && phone->modified());
        QCOMPARE(person->usedCount(), 5);
        QCOMPARE(person->recordList().Text(5, 3), QStringLiteral("person 5"));
        QVERIFY(QFile::exists(person->currentFile()));
        QCOMPARE(phone->recordList(kComputer).Text(1, 1), QStringLiteral("Ann"));
        QVERIFY(QFile::exists(phone->currentFile()));
    }

private slots:
    void init() {
        rig = std::make_unique<ShellRig>(ShellRig::Start::CardIn, kTestPeriods,
                                         registerRecordWindows);
        main = rig->main.get();
        MakeWork();
    }
    void cleanup() {
        // Let everything go without questions.
        for (int i = 0; i < 4; ++i)
            rig->dialogs.QueueAnswer(DialogAnswer::No);
        main = nullptr;
        rig.reset();
    }

    void exitCancelledOnAnyQuestionKeepsEverything() {
        for (int cancelAt = 0; cancelAt < 2; ++cancelAt) {
            rig->dialogs.Clear();
            for (int i = 0; i < cancelAt; ++i)
                rig->dialogs.QueueAnswer(DialogAnswer::No);
            rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
            QVERIFY(!main->close());
            QCOMPARE(rig->dialogs.MessageIds().size(), cancelAt + 1);
            for (const auto& call : rig->dialogs.Calls())
                QCOMPARE(call.message.buttons, DialogButtons::YesNoCancel);
            VerifyWorkKept();
            QVERIFY(!rig->session->ExitRequested);
        }
        // A window answered No before the cancel is asked again at the next exit.
        rig->dialogs.Clear();
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        QVERIFY(main->close());
        QCOMPARE(rig->dialogs.MessageIds().size(), 2);
        QVERIFY(rig->dialogs.Unexpected().isEmpty());
    }

    void unansweredQuestionsCancel() {
        // The safe answer of a box nobody answered (Escape, the close button) is Cancel.
        QVERIFY(!main->close());
        VerifyWorkKept();
        QCOMPARE(rig->dialogs.Unexpected().size(), 1);  // stopped after the first question
    }

    void newOpenAndCloseCancelledKeepTheDocument() {
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        person->newFile();
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        person->openFile();
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        phone->newFile();
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        phone->openFile();
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        QVERIFY(!person->close());
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        QVERIFY(!phone->close());
        QCOMPARE(rig->dialogs.MessageIds(), MessageIdList(6, MessageId::SaveNewRecordQuestion));
        QVERIFY(rig->dialogs.ScriptUsedUp());
        VerifyWorkKept();

        // Saved once under a name, the question names the file; No then lets the edit go.
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        rig->dialogs.QueueFileName(rig->folder.filePath(QStringLiteral("people.SPB")));
        person->newFile();
        QCOMPARE(person->usedCount(), 0);
        rig->dialogs.QueueFileName(rig->folder.filePath(QStringLiteral("people.SPB")));
        person->openFile();
        QCOMPARE(person->usedCount(), 5);
        Type(person->field(1), QStringLiteral("?"));
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        QVERIFY(!person->close());
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveRecordQuestion);
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        QVERIFY(person->close());
        QVERIFY(rig->dialogs.Unexpected().isEmpty());
    }
};

QTEST_MAIN(UnsavedWorkTest)
#include "unsaved_work_test.moc"
