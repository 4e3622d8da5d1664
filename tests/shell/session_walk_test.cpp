// The SIM session as a person lives it: no reader, a reader, a card, another card, the card
// back, no card, no reader; and leaving while card work runs.
#include <QSignalSpy>
#include <QTest>

#include <thread>

#include "platform/card_presence_watch.h"
#include "shell/button_panel.h"
#include "shell/card_info.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

bool ButtonsShown(ShellRig& rig) {
    for (int i = 0; i < kWindowButtonCount; ++i) {
        if (rig.Button(i)->isHidden())
            return false;
    }
    return true;
}

// The record windows work on files and lists without a reader or a card.
bool RecordEntriesEnabled(ShellRig& rig) {
    return rig.Action("smsWindowAction")->isEnabled() &&
           rig.Action("phoneBookWindowAction")->isEnabled() &&
           rig.Action("personalRecordsWindowAction")->isEnabled();
}

// Nothing about a card is known, and nothing is made up: no count reads 0 (a blocked code),
// and the window and the status bar say what is missing.
void VerifyNothingKnown(ShellRig& rig) {
    const CardInfo& info = rig.Info();
    QCOMPARE(cardIdText(info), QString("-"));
    QCOMPARE(info.Imsi, std::string("-"));
    for (const std::optional<int>& count :
         {info.MaxPhoneRecords, info.MaxSmsRecords, info.MaxLastDialRecords, info.Pin1Attempts,
          info.Pin2Attempts, info.Puk1Attempts, info.Puk2Attempts})
        QVERIFY(!count);
    const QString missing = rig.session->text(
        rig.engine().ReaderPresent() ? MessageId::NoSimCardInReader : MessageId::CannotFindReader);
    CardInfoWindow* window = rig.cardInfoWindow();
    QCOMPARE(window->iccidValue->text(), missing);
    for (QLabel* field : {window->phoneBookCountValue, window->smsCountValue,
                          window->lastDialledCountValue, window->pin1StateValue,
                          window->pin2StateValue, window->puk1StateValue, window->puk2StateValue})
        QCOMPARE(field->text(), QString("-"));
    QCOMPARE(rig.main->findChild<QLabel*>("readerState")->text(), missing);
}

}  // namespace

class SessionWalkTest : public QObject {
    Q_OBJECT

private slots:
    void walksThroughReaderAndCards();
    void readerServiceThatSeesNoCardSparesTheCard();
    void readerVanishingWhileTheCardIsReadLeavesNoHalfCard();
    void exitDuringTransferClosesAfterwards();
    void windowChosenDuringPollOpensAfterIt();
};

void SessionWalkTest::walksThroughReaderAndCards() {
    // No reader at the start: the information window shows, nothing is known, the record
    // windows work on files, and there are no PIN commands.
    ShellRig rig(ShellRig::Start::NoReader);
    CardInfoWindow* window = rig.cardInfoWindow();
    QCOMPARE(rig.session->currentWindow(), WindowIndex::CardInfo);
    QVERIFY(window->changePinButtons[0]->isHidden());
    rig.Tick();
    QVERIFY(RecordEntriesEnabled(rig));
    VerifyNothingKnown(rig);

    // A reader arrives, still without a card.
    rig.Reader().Plug();
    rig.Tick();
    QVERIFY(rig.engine().ReaderPresent());
    QCOMPARE(rig.Interval(), kTestPeriods.searching);
    rig.Tick();  // no card in it: the commands follow the reader
    QVERIFY(!window->changePinButtons[0]->isHidden());
    QVERIFY(!window->changePinButtons[0]->isEnabled());
    VerifyNothingKnown(rig);

    // A card arrives: reset at one tick, read whole at the next.
    std::shared_ptr<SimCard> demo = rig.session->reader().virtualCard;
    rig.Reader().InsertCard(demo);
    rig.Tick();
    QVERIFY(rig.engine().CardPresent());
    QCOMPARE(rig.Interval(), kTestPeriods.searching);
    rig.Tick();
    QCOMPARE(rig.Interval(), kTestPeriods.identified);
    const CardInfo& info = rig.Info();
    QVERIFY(!info.Pin1Open);                // the demo card asks for PIN1
    QCOMPARE(info.Imsi, std::string("-"));  // so its IMSI stays unread
    QVERIFY(!info.HasUnread());             // and the polls have nothing to read again
    QVERIFY(window->changePinButtons[0]->isEnabled());

    // The same card is polled: only its identity is read again, and nothing changes.
    rig.ChangeInfo([](CardInfo& changed) { changed.SimPhase = "untouched"; });
    const int generation = rig.session->cardGeneration();
    QSignalSpy changes(rig.session.get(), &Session::cardInfoChanged);
    rig.Tick();
    QCOMPARE(changes.count(), 0);
    QCOMPARE(rig.Info().SimPhase, std::string("untouched"));

    // Pulled out and put back between two polls: still the same card.
    rig.Reader().RemoveCard();
    rig.Reader().InsertCard(demo);
    rig.Tick();
    QCOMPARE(rig.Info().SimPhase, std::string("untouched"));
    QCOMPARE(rig.session->cardGeneration(), generation);

    // Swapped for another card within one period: all of it is read at the next poll. The other
    // card's identity differs in case only where digits allow none, so it must be read whole.
    auto other = OtherCard([](CardImage& image) { image.chv2.attemptsLeft = 2; });
    QVERIFY(other != nullptr);
    rig.Reader().RemoveCard();
    rig.Reader().InsertCard(other);
    rig.Tick();
    QCOMPARE(cardIdText(rig.Info()), QString("8988200000987654321"));
    QCOMPARE(rig.Info().Pin2Attempts, 2);
    QCOMPARE(rig.session->cardGeneration(), generation + 1);
    QVERIFY(changes.count() > 0);

    // Removed: everything is forgotten, the reader's commands stay.
    changes.clear();
    rig.Reader().RemoveCard();
    rig.Tick();
    VerifyNothingKnown(rig);
    QCOMPARE(rig.session->cardGeneration(), generation + 2);
    QVERIFY(!window->changePinButtons[0]->isEnabled());

    // The reader goes too: the card commands go with it.
    rig.Reader().Unplug();
    rig.Tick();
    rig.Tick();
    QVERIFY(!rig.engine().ReaderPresent());
    QVERIFY(RecordEntriesEnabled(rig));
}

void SessionWalkTest::readerServiceThatSeesNoCardSparesTheCard() {
    struct Watch final : CardPresenceWatch {
        bool card = false;
        bool CardMayBePresent() override { return card; }
    };
    ShellRig rig(ShellRig::Start::NoCard);
    auto watch = std::make_unique<Watch>();
    Watch& seen = *watch;
    rig.session->reader().watch = std::move(watch);
    rig.Tick();
    QVERIFY(rig.engine().ReaderPresent());
    rig.Reader().InsertCard(rig.session->reader().virtualCard);
    const int commands = rig.Reader().ExecutedCommands();
    rig.Tick();
    rig.Tick();
    QCOMPARE(rig.Reader().ExecutedCommands(), commands);  // no reset sent
    QVERIFY(!rig.engine().CardPresent());

    seen.card = true;
    rig.TickUntilIdentified();
    QCOMPARE(cardIdText(rig.Info()), QString(kDemoIccid));
}

void SessionWalkTest::readerVanishingWhileTheCardIsReadLeavesNoHalfCard() {
    ShellRig rig;
    rig.Tick();                                     // the card answers its reset
    rig.Reader().Faults().unplugAfterReports = 40;  // somewhere inside the card's information
    rig.Tick();
    rig.Tick();
    QVERIFY(!rig.engine().ReaderPresent());
    VerifyNothingKnown(rig);
    QVERIFY(ButtonsShown(rig));

    // Plugged in again with the card still in it: read whole.
    rig.Reader().Faults() = {};
    rig.Reader().Plug();
    for (int i = 0; i < 4 && rig.Interval() != kTestPeriods.identified; ++i)
        rig.Tick();
    QCOMPARE(cardIdText(rig.Info()), QString(kDemoIccid));
}

void SessionWalkTest::exitDuringTransferClosesAfterwards() {
    // Short periods: the close is completed by the timer itself.
    ShellRig rig(ShellRig::Start::CardIn, PollPeriods{20, 40});
    rig.TickUntilIdentified();
    bool visibleAfterClose = false;
    QTimer::singleShot(0, rig.main.get(), [&] {
        rig.main->close();
        visibleAfterClose = rig.main->isVisible();
    });
    // A transfer of ten records, yielding after each.
    for (int record = 0; record < 10; ++record) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        rig.session->yield();
        QVERIFY(rig.main->isVisible());
        QVERIFY(rig.engine().ReaderPresent());  // the engine stays with the transfer
    }
    QVERIFY(visibleAfterClose);
    QVERIFY(rig.session->exitRequested());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.main->isVisible(), 2000);
    QVERIFY(!rig.engine().ReaderPresent());
}

void SessionWalkTest::windowChosenDuringPollOpensAfterIt() {
    ShellRig rig;
    rig.Tick();
    QTimer::singleShot(0, rig.main.get(), [&] {
        rig.main->showWindow(WindowIndex::PhoneBook);
        QCOMPARE(rig.main->pendingWindow(), WindowIndex::PhoneBook);
        QCOMPARE(rig.session->currentWindow(), WindowIndex::CardInfo);
    });
    rig.Tick();
    QCOMPARE(rig.main->pendingWindow(), WindowIndex::None);
    QVERIFY(rig.main->childWindow(WindowIndex::PhoneBook) != nullptr);
}

QTEST_MAIN(SessionWalkTest)
#include "session_walk_test.moc"
