#include <gtest/gtest.h>

#include "engine/hid_report_link.h"
#include "engine/sim_commands.h"
#include "support/reader_rig.h"
#include "support/scripted_card.h"

namespace pellucard {
namespace {

using testing::ReaderRig;
using testing::ScriptedCard;

// A GSM 11.11 response to SELECT of the master file with CHV counters 3/10 and 3/10.
const Bytes kMasterResponse = {0x00, 0x00, 0x1F, 0x40, 0x3F, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                               0x00, 0x0A, 0x83, 0x02, 0x02, 0x04, 0x00, 0x83, 0x8A, 0x83, 0x8A};

// A card that answers SELECT with 9F and the response through GET RESPONSE.
std::shared_ptr<ScriptedCard> MasterCard(Bytes selectResponse = kMasterResponse) {
    auto card = std::make_shared<ScriptedCard>();
    card->answer = [selectResponse](const Bytes& apdu) -> ApduResponse {
        if (apdu[1] == 0xA4)
            return {{}, 0x9F, static_cast<std::uint8_t>(selectResponse.size())};
        if (apdu[1] == 0xC0)
            return {selectResponse, 0x90, 0x00};
        if (apdu[1] == 0xB0)
            return {Bytes(apdu[4], 0x5A), 0x90, 0x00};
        return {{}, 0x90, 0x00};
    };
    return card;
}

class ReaderLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        card = MasterCard();
        rig.reader->InsertCard(card);
        ASSERT_TRUE(rig.engine->OpenReader());
    }
    HidReportLink& Link() { return *rig.link; }

    ReaderRig rig;
    std::shared_ptr<ScriptedCard> card;
};

TEST(OpenReaderTest, OpensOnlyTheReaderWithTheRightVersion) {
    struct TwoReaders final : ReportBus {
        std::vector<std::string> opened;
        std::vector<HidDeviceInfo> Enumerate() override {
            return {{"/dev/hidraw0", 0x046D, 0xC52B, 0x0111},
                    {"/dev/hidraw1", 0x1101, 0x0001, 0x0100},
                    {"/dev/hidraw2", 0x1101, 0x0001, 0x0111},
                    {"/dev/hidraw3", 0x1101, 0x0001, 0x0111}};
        }
        std::unique_ptr<ReportDevice> Open(const std::string& path) override {
            opened.push_back(path);
            return std::make_unique<testing::RecordingDevice>(nullptr, log);
        }
        std::vector<Report> log;
    } bus;
    testing::FakeClock clock;
    HidReportLink link(bus, clock);
    EXPECT_TRUE(link.Open());
    EXPECT_EQ(bus.opened, std::vector<std::string>{"/dev/hidraw2"});
}

TEST_F(ReaderLinkTest, SelectSendsTheIdentifierHighByteFirstAndReturnsTheResponse) {
    const CardResult<Bytes> selected = rig.engine->SelectFile(0x7F10);
    ASSERT_TRUE(selected.IsDone());
    EXPECT_EQ(selected.value, kMasterResponse);
    ASSERT_GE(card->received.size(), 2u);
    EXPECT_EQ(card->received[0], (Bytes{0xA0, 0xA4, 0x00, 0x00, 0x02, 0x7F, 0x10}));
    EXPECT_EQ(card->received[1], (Bytes{0xA0, 0xC0, 0x00, 0x00, 0x16}));
    EXPECT_TRUE(rig.engine->CardPresent());

    // Header, identifier (exactly two data bytes), length 2, execute.
    const auto& w = rig.bus.written;
    ASSERT_GE(w.size(), 4u);
    EXPECT_EQ(w[0][1], 0x02);
    EXPECT_EQ((Bytes{w[0][2], w[0][3], w[0][4], w[0][5]}), (Bytes{0xA4, 0x00, 0x00, 0x02}));
    EXPECT_EQ(w[1][1], 0x04);
    EXPECT_EQ(w[1][2], 0x7F);
    EXPECT_EQ(w[1][3], 0x10);
    EXPECT_EQ(w[2][1], 0x0E);
    EXPECT_EQ(w[2][2], 2);
    EXPECT_EQ(w[3][1], 0x06);
    EXPECT_EQ(Link().Counters().pauses, std::chrono::milliseconds(20));
}

TEST_F(ReaderLinkTest, SixteenDataBytesTravelAsSixSixFourThenTheLength) {
    const Bytes sent = {0x31, 0x32, 0x33, 0x34, 0xFF, 0xFF, 0xFF, 0xFF,
                        0x35, 0x36, 0x37, 0x38, 0xFF, 0xFF, 0xFF, 0xFF};
    const CardResult<Bytes> answer = rig.engine->SendSimCommand(sim::ChangeChv(1), 0, 0, sent);
    ASSERT_TRUE(answer.IsDone());
    EXPECT_EQ(answer.value, (Bytes{0x90, 0x00}));  // no response data: the status words

    const auto& w = rig.bus.written;
    ASSERT_EQ(w.size(), 8u);  // header, 3 data, length, execute, block length, one data report
    EXPECT_EQ(w[1][1], 0x04);
    EXPECT_EQ(w[2][1], 0x04);
    EXPECT_EQ(w[3][1], 0x04);
    EXPECT_EQ(w[4][1], 0x0E);
    EXPECT_EQ(w[4][2], 16);
    EXPECT_EQ(w[5][1], 0x06);
    Bytes apdu = {0xA0, 0x24, 0x00, 0x01, 0x10};
    apdu.insert(apdu.end(), sent.begin(), sent.end());
    ASSERT_EQ(card->received.size(), 1u);
    EXPECT_EQ(card->received[0], apdu);
}

TEST_F(ReaderLinkTest, LostAcknowledgementIsRetriedWithoutExecutingTwice) {
    rig.reader->Faults().lostAcknowledgements = 3;
    const Bytes data = {0x31, 0x32, 0x33, 0x34, 0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_TRUE(rig.engine->SendSimCommand(sim::VerifyChv(1), 0, 0, data).IsDone());
    EXPECT_EQ(card->received.size(), 1u) << "a retried VERIFY must not cost a second attempt";
    // Every retry repeats the host sequence of the report it retries.
    const auto& w = rig.bus.written;
    EXPECT_EQ(w[0][8], w[1][8]);
}

// Waits are bounded by time, not by a count of reports: the reader below repeats its report
// every millisecond, as a real interrupt pipe does.
TEST_F(ReaderLinkTest, ReaderThatNeverAcknowledgesCostsTenWritesOfAHundredMilliseconds) {
    rig.reader->SetTiming(ReaderTiming::Realistic());
    Link().ResetCounters();
    rig.reader->Faults().lostAcknowledgements = 1000;
    std::uint8_t sequence = 0;
    Link().OutputReport()[1] = 0xFF;
    const auto start = rig.clock.Elapsed();
    EXPECT_FALSE(Link().SendReport(sequence));
    EXPECT_EQ(Link().Counters().reportsWritten, 10);
    const auto spent = rig.clock.Elapsed() - start;
    EXPECT_GE(spent, 10 * HidReportLink::kReadWait);
    EXPECT_LT(spent, 11 * HidReportLink::kReadWait);
}

TEST_F(ReaderLinkTest, ReplyThatNeverBecomesReadyFailsAfterItsTimeAndForgetsTheCard) {
    ASSERT_TRUE(rig.engine->ReadMasterStatus().IsDone());
    ASSERT_EQ(rig.engine->CardStatus().chv1AttemptsLeft, 3);
    rig.reader->SetTiming(ReaderTiming::Realistic());
    rig.reader->Faults().readyNever = true;
    const auto start = rig.clock.Elapsed();
    EXPECT_TRUE(rig.engine->SelectFile(0x3F00).outcome.IsLinkFailed());
    const auto spent = rig.clock.Elapsed() - start;
    EXPECT_GE(spent, 2 * HidReportLink::kReadyWait) << "the selection is asked once more";
    EXPECT_LT(spent, 2 * HidReportLink::kReadyWait + std::chrono::milliseconds(300));
    EXPECT_EQ(rig.engine->CardStatus().chv1AttemptsLeft, 0) << "cached card state is forgotten";

    // A card that works for 1.5 s is waited for; one that takes 2.5 s is not.
    rig.reader->Faults() = {};
    rig.reader->Faults().readyLateReads = 1500;
    EXPECT_TRUE(rig.engine->SelectFile(0x3F00).IsDone());
    rig.reader->Faults().readyLateReads = 2500;
    EXPECT_TRUE(rig.engine->SelectFile(0x3F00).outcome.IsLinkFailed());
}

TEST_F(ReaderLinkTest, ReaderThatAcknowledgesTheLengthRequestButNeverAnswersDoesNotHang) {
    rig.reader->SetTiming(ReaderTiming::Realistic());
    rig.reader->Faults().lengthNever = true;
    Link().ResetCounters();
    const auto start = rig.clock.Elapsed();
    EXPECT_TRUE(rig.engine->SelectFile(0x3F00).outcome.IsLinkFailed());
    // Asked twice (the selection is repeated once), each time header, identifier, length,
    // execute and the block length request with its resends.
    EXPECT_EQ(Link().Counters().reportsWritten, 2 * (4 + HidReportLink::kLengthResends + 1));
    EXPECT_LT(rig.clock.Elapsed() - start,
              2 * ((HidReportLink::kLengthResends + 1) * HidReportLink::kReadWait +
                   std::chrono::milliseconds(100)));
}

TEST_F(ReaderLinkTest, UnpluggedReaderReleasesTheLinkAndLaterCallsFailAtOnce) {
    rig.reader->Faults().unplugAfterReports = 5;
    EXPECT_TRUE(rig.engine->SelectFile(0x3F00).outcome.IsLinkFailed());
    EXPECT_FALSE(rig.engine->ReaderPresent());
    Link().ResetCounters();
    EXPECT_TRUE(rig.engine->SelectFile(0x3F00).outcome.IsLinkFailed());
    EXPECT_EQ(Link().Counters().reportsRead, 0);
    EXPECT_EQ(Link().Counters().reportsWritten, 0);

    rig.reader->Plug();
    ASSERT_TRUE(rig.engine->OpenReader());
    EXPECT_TRUE(rig.engine->SelectFile(0x3F00).IsDone());

    // No card in it: no answer to reset.
    rig.reader->RemoveCard();
    Bytes atr;
    EXPECT_EQ(Link().ResetCard(atr), LinkResult::ReceiveFailed);
    rig.reader->InsertCard(card);
    EXPECT_EQ(Link().ResetCard(atr), LinkResult::Ok);
    EXPECT_EQ(atr, card->atr);
}

TEST_F(ReaderLinkTest, PlausibleCachedCountersNeedNoCardTraffic) {
    ASSERT_TRUE(rig.engine->ReadChvCounters());  // reads the master file once
    Link().ResetCounters();
    EXPECT_TRUE(rig.engine->ReadChvCounters());
    EXPECT_EQ(Link().Counters().Exchanged(), 0);

    // A CHV command makes the cached counters stale, whatever the card answered: they are read
    // from the master file again after it.
    card->received.clear();
    EXPECT_TRUE(rig.engine->VerifyPin(2, "5678").IsDone());
    ASSERT_GE(card->received.size(), 2u);
    EXPECT_EQ(card->received.front()[1], 0x20) << "VERIFY CHV";
    EXPECT_EQ(card->received.back(), (Bytes{0xA0, 0xC0, 0, 0, 22})) << "the master file's answer";
    EXPECT_TRUE(rig.engine->CountersKnown());
    Link().ResetCounters();
    EXPECT_TRUE(rig.engine->ReadChvCounters());
    EXPECT_EQ(Link().Counters().Exchanged(), 0);

    // A card whose every counter reads 0 is no plausible card.
    Bytes zeroed = kMasterResponse;
    zeroed[18] = zeroed[19] = zeroed[20] = zeroed[21] = 0x80;
    card = MasterCard(zeroed);
    rig.reader->InsertCard(card);
    rig.engine->ForgetCardState();
    EXPECT_FALSE(rig.engine->ReadChvCounters());
}

}  // namespace
}  // namespace pellucard
