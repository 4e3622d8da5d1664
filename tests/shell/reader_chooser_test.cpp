// The reader chooser: opened from the File menu and the information window, it puts the chosen
// reader behind the session at once, remembers it, and names it in the status bar.
#include <QDialogButtonBox>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "records/program_settings.h"
#include "shell/reader_chooser.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

const QString kDemoCard = QStringLiteral(PELLUCARD_SOURCE_DIR "/data/cards/demo.json");

// What the chooser lists in these tests, whatever the machine has plugged in.
std::vector<AvailableReader> someReaders() {
    return {{{ReaderChoice::Kind::Auto, {}}, {}, true, false},
            {{ReaderChoice::Kind::Hid, {}}, {}, false, false},
            {{ReaderChoice::Kind::Pcsc, "Desk Reader 00 00"}, "Desk Reader 00 00", true, true},
            {{ReaderChoice::Kind::Pcsc, "Spare Reader 01 00"}, "Spare Reader 01 00", true, false},
            {{ReaderChoice::Kind::Virtual, kDemoCard.toStdString()}, {}, true, false}};
}

QLabel* statusWord(ShellRig& rig) {
    return rig.main->findChild<QLabel*>(QStringLiteral("readerChoice"));
}

}  // namespace

class ReaderChooserTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(settingsFolder_.isValid());
        AttachSettings(std::make_unique<QSettings>(settingsFolder_.filePath("settings.ini"),
                                                   QSettings::IniFormat));
        ProgramSettings()->clear();
    }
    void cleanup() { AttachSettings(nullptr); }

    void listsEveryReaderWithItsStateFromBothControls() {
        ShellRig rig;
        rig.main->setReaderLister(someReaders);
        rig.main->setReaderChoice({ReaderChoice::Kind::Pcsc, "Desk Reader 00 00"});
        QCOMPARE(statusWord(rig)->text(), QStringLiteral("Reader: Desk Reader 00 00"));

        rig.Action("readerSettingsAction")->trigger();
        auto* chooser = rig.main->findChild<ReaderChooser*>();
        QVERIFY(chooser != nullptr);
        QStringList lines;
        for (int row = 0; row < chooser->list()->count(); ++row)
            lines << chooser->list()->item(row)->text();
        QCOMPARE(lines, (QStringList{Message(MessageId::ReaderAutomatic, 0),
                                     "USB SIM card reader (not connected)",
                                     "Desk Reader 00 00 (card inserted)",
                                     "Spare Reader 01 00 (no card)", "virtual:" + kDemoCard}));
        // The reader in use is the one selected.
        QCOMPARE(chooser->list()->currentRow(), 2);
        chooser->buttons()->button(QDialogButtonBox::Cancel)->click();
        QTRY_VERIFY(rig.main->findChild<ReaderChooser*>() == nullptr);

        // The information window's button opens the same chooser.
        rig.cardInfoWindow()->connectReaderButton->click();
        chooser = rig.main->findChild<ReaderChooser*>();
        QVERIFY(chooser != nullptr);
        chooser->reject();
    }

    void theChosenReaderIsOpenedAtOnceAndRemembered() {
        ShellRig rig;
        rig.main->setReaderLister(someReaders);
        rig.TickUntilIdentified();
        const int generation = rig.session->cardGeneration();
        ReaderChooser* chooser = rig.main->chooseReader();
        chooser->list()->setCurrentRow(4);
        chooser->buttons()->button(QDialogButtonBox::Ok)->click();

        // The virtual reader again, now with the card image file: a new reader and a new card.
        QCOMPARE(QString::fromStdString(rig.session->reader().imagePath), kDemoCard);
        QVERIFY(rig.session->cardGeneration() != generation);
        QCOMPARE(ProgramSettings()->value("reader").toString(), "virtual:" + kDemoCard);
        rig.TickUntilIdentified();
        QCOMPARE(rig.session->cardInfo().CardId, std::optional<std::string>(kDemoIccid));

        // Remembered for the next start while it is there; automatic, with its name, once gone.
        QString gone;
        const ReaderChoice next = rememberedReader(someReaders, gone);
        QCOMPARE(next.kind, ReaderChoice::Kind::Virtual);
        QVERIFY(gone.isEmpty());
        ProgramSettings()->setValue("reader", "pcsc:Gone Reader");
        QCOMPARE(rememberedReader(someReaders, gone).kind, ReaderChoice::Kind::Auto);
        QCOMPARE(gone, QStringLiteral("pcsc:Gone Reader"));
    }

    void aReaderThatCannotOpenOrABusyCardKeepsTheReaderInUse() {
        ShellRig rig;
        rig.main->setReaderChoice({ReaderChoice::Kind::Virtual, {}});
        rig.TickUntilIdentified();
        ReaderSession* before = &rig.session->reader();

        QVERIFY(!rig.main->applyReaderChoice({ReaderChoice::Kind::Virtual, "/no/such/card.json"}));
        QCOMPARE(rig.dialogs.MessageIds(), (MessageIdList{MessageId::ReaderCannotOpen}));
        QVERIFY(rig.dialogs.LastMessage().text.contains("/no/such/card.json"));

        {
            auto hold = rig.session->gate().acquire(CardGate::Work::Run);
            QVERIFY(!rig.main->applyReaderChoice({ReaderChoice::Kind::Virtual, {}}));
        }
        QCOMPARE(&rig.session->reader(), before);
        QVERIFY(!ProgramSettings()->contains("reader"));
        // The card is still there and answers.
        QVERIFY(rig.session->gate().cardPresent());
    }

private:
    QTemporaryDir settingsFolder_;
};

QTEST_MAIN(ReaderChooserTest)
#include "reader_chooser_test.moc"
