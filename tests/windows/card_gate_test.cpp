// One way to the card: while a run holds it, no other action, button or dialog of the program
// sends a command; a command given during the polling's look at the card runs after it.
#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QtTest>

#include "shell/change_pin_dialog.h"
#include "shell/pin_lock_dialog.h"
#include "shell/verify_pin_dialog.h"
#include "support/window_rig.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/sms_window.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// What cannot be walked in the middle of a run, and why: entries that end the program or open
// a file the user chose before, the demo's hardware (pulling the card is not a command), the
// dialogs that wait modally for a person (print, import, export), the languages (the test
// reads English texts), and the stops, which end the run on purpose.
bool SkippedInWalk(const QString& name) {
    static const QStringList exact{"quitAction",        "importCommaAction", "importTabAction",
                                   "exportCommaAction", "exportTabAction",   "windowButton_0",
                                   "stopButton",        "printButton_0",     "printButton_1",
                                   "printAction",       "loadCardAction",    "insertCardAction",
                                   "removeCardAction",  "plugReaderAction",  "unplugReaderAction"};
    static const QStringList prefixes{"demoMenu", "recentFilesMenu", "languageAction"};
    if (exact.contains(name))
        return true;
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const QString& prefix) { return name.startsWith(prefix); });
}

// The commands that need the card; each must be greyed while another holds it.
const QStringList kCardCommands{"backupAction",      "restoreAction",      "readButton",
                                "readButton",        "writeButton",        "changePinButton_0",
                                "changePinButton_1", "unblockPinButton_0", "unblockPinButton_1",
                                "pinCheckButton_0",  "verifyPinButton",    "okButton"};

}  // namespace

class CardGateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ShellRig> rig;
    PhoneBookWindow* phoneBook = nullptr;
    SmsWindow* messages = nullptr;

    // Every action and button of the main window, its child windows and the open PIN dialogs.
    QList<QObject*> Everything() {
        QList<QObject*> all;
        for (QAction* action : rig->main->findChildren<QAction*>())
            all.append(action);
        for (QAbstractButton* button : rig->main->findChildren<QAbstractButton*>())
            all.append(button);
        for (QDialog* dialog : {static_cast<QDialog*>(rig->pinLauncher().openInputPin()),
                                static_cast<QDialog*>(rig->pinLauncher().openChangePin())}) {
            if (dialog == nullptr)
                continue;
            for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                all.append(button);
        }
        return all;
    }

    // Fires every action and button, disabled ones too (their handlers are called as a stray
    // event would call them), and returns the names of card commands found enabled.
    QStringList Walk() {
        QStringList enabledCardCommands;
        for (QObject* object : Everything()) {
            const QString name = object->objectName();
            if (name.isEmpty() || SkippedInWalk(name))
                continue;
            if (object->parent() && object->parent()->objectName() == "CardRunProgress")
                continue;  // the backup's own Cancel
            auto* action = qobject_cast<QAction*>(object);
            auto* button = qobject_cast<QAbstractButton*>(object);
            const bool enabled = action ? action->isEnabled() : button->isEnabled();
            if (enabled && kCardCommands.contains(name))
                enabledCardCommands.append(name);
            if (action && !action->menu())
                emit action->triggered(false);
            else if (button)
                emit button->clicked(false);
        }
        return enabledCardCommands;
    }

    // Every slot of the phone book window's SIM list typed in: a write sends each.
    void FillSimList() {
        RecordList& sim = phoneBook->recordList(RecordWindow::kSimList);
        for (int row = 1; row <= 250; ++row) {
            sim.SetText(row, phone_column::kName, QStringLiteral("n%1").arg(row));
            sim.SetTag(row, 0);
        }
    }

    // Once a run holds the card and has sent a few commands, walks everything once.
    void WalkDuringRun(QStringList& enabledCardCommands, int& commandsDuringWalk, bool& walked) {
        auto* timer = new QTimer(rig->main.get());
        timer->setInterval(1);
        const int start = rig->Reader().ExecutedCommands();
        connect(timer, &QTimer::timeout, timer,
                [this, timer, start, &enabledCardCommands, &commandsDuringWalk, &walked] {
                    if (walked || !rig->session->gate().runActive() ||
                        rig->Reader().ExecutedCommands() < start + 30)
                        return;
                    walked = true;
                    timer->stop();
                    const int before = rig->Reader().ExecutedCommands();
                    enabledCardCommands = Walk();
                    commandsDuringWalk = rig->Reader().ExecutedCommands() - before;
                });
        timer->start();
    }

private slots:
    void init() {
        rig = std::make_unique<ShellRig>(ShellRig::Start::CardIn, kTestPeriods,
                                         registerRecordWindows);
        rig->TickUntilIdentified();
        QVERIFY(rig->engine().VerifyPin(1, kDemoPin1).IsDone());
        rig->ChangeInfo([](CardInfo& info) { info.Pin1Open = true; });  // as after the PIN dialog
        messages = rig->OpenWindow<SmsWindow>(WindowIndex::Sms);
        phoneBook = rig->OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
        QVERIFY(messages && phoneBook);
        rig->pinLauncher().showInputPin(0, 0);
        rig->pinLauncher().showChangePin(0, 0);
    }
    void cleanup() { rig.reset(); }

    void nothingElseReachesTheCardDuringARun_data() {
        QTest::addColumn<QString>("run");
        QTest::newRow("phone book read") << "read";
        QTest::newRow("phone book write") << "write";
        QTest::newRow("backup") << "backup";
    }
    void nothingElseReachesTheCardDuringARun() {
        QFETCH(QString, run);
        QTemporaryDir dir;
        QStringList enabledCardCommands;
        int commandsDuringWalk = -1;
        bool walked = false;
        WalkDuringRun(enabledCardCommands, commandsDuringWalk, walked);
        if (run == "read") {
            phoneBook->readCard();
        } else if (run == "write") {
            FillSimList();
            rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // "Do you want to save it to SIM ?"
            rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // over slots never read
            phoneBook->writeToCard();
        } else {
            rig->dialogs.QueueFileName(dir.filePath("card.json"));
            rig->main->backUpCard();
        }
        QVERIFY(walked);
        QCOMPARE(commandsDuringWalk, 0);
        QCOMPARE(enabledCardCommands, QStringList());
        // Backup and restore, refused while the run holds the card, ask for no file either.
        QCOMPARE(rig->dialogs.Unexpected().filter(QStringLiteral("*.json")), QStringList());
        // The run went on to its end, and the card is free again.
        QVERIFY(!rig->session->gate().busy());
    }

    void readAskedForDuringAPollRunsAfterIt() {
        int commandsInsideThePoll = -1;
        bool clicked = false;
        // The poll yields after looking at the card; the click arrives then.
        QTimer::singleShot(0, phoneBook, [&] {
            QVERIFY(rig->session->gate().busy());
            const int before = rig->Reader().ExecutedCommands();
            phoneBook->findChild<QPushButton*>("readButton")->click();
            commandsInsideThePoll = rig->Reader().ExecutedCommands() - before;
            clicked = true;
        });
        rig->Tick();
        QVERIFY(clicked);
        QCOMPARE(commandsInsideThePoll, 0);
        QCOMPARE(phoneBook->usedCount(RecordWindow::kSimList), 0);
        // Once the poll has let go, the read runs.
        QTRY_COMPARE(phoneBook->recordList(RecordWindow::kSimList).Text(1, phone_column::kName),
                     QStringLiteral("Alice Martin"));
        QTRY_VERIFY(!rig->session->gate().busy());
    }
};

QTEST_MAIN(CardGateTest)
#include "card_gate_test.moc"
