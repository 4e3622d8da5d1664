// Whole-file runs against the virtual reader: retries after a lost report, refusals that stop
// the run with the record and status word, slots left alone, the user's stop, and CHV commands
// that are never repeated.
#include <gtest/gtest.h>

#include "engine/card_runs.h"
#include "support/demo_rig.h"

namespace pellucard {
namespace {

using testing::DemoRig;

constexpr char kPhoneBook[] = "3F00/7F10/6F3A";

class CardRunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Start());
        ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
    }
    std::vector<Bytes> CardRecords(const char* path) const { return rig.CardRecords(path); }
    void Refuse(CardRefusal::Command command, int record, std::uint16_t statusWord) {
        rig.card->AddRefusal({kPhoneBook, command, record, statusWord});
    }
    DemoRig rig;
};

TEST_F(CardRunsTest, ReadSurvivesALostReadyReportAndALostAcknowledgement) {
    const auto expected = CardRecords(kPhoneBook);
    std::vector<Bytes> read;
    const auto result = ReadCardRecords(*rig.engine, CardRecordFile::PhoneBook,
                                        [&](int number, const Bytes& raw) {
                                            read.push_back(raw);
                                            if (number == 70)
                                                rig.reader->Faults().readyDropped = 1;
                                            if (number == 120)
                                                rig.reader->Faults().lostAcknowledgements = 1;
                                        },
                                        {});
    EXPECT_TRUE(result.Complete());
    // The engine asks once more for the read whose ready report was lost; the acknowledgement
    // is the link's own business. Neither reaches the run.
    EXPECT_EQ(result.retries, 0);
    EXPECT_EQ(rig.engine->RepeatedExchanges(), 1);
    EXPECT_EQ(read, expected);
}

TEST_F(CardRunsTest, RefusedReadStopsAtTheRecordWithItsStatusWord) {
    Refuse(CardRefusal::Command::Read, 17, 0x9804);
    int handed = 0;
    const auto result = ReadCardRecords(*rig.engine, CardRecordFile::PhoneBook,
                                        [&](int, const Bytes&) { ++handed; }, {});
    EXPECT_EQ(result.ending, RunEnding::Refused);
    EXPECT_EQ(result.record, 17);
    EXPECT_EQ(result.failure, CardOutcome::Refused(0x9804));
    EXPECT_EQ(handed, 16);
}

TEST_F(CardRunsTest, WriteLeavesUnknownSlotsAndStopsAtARefusal) {
    const auto before = CardRecords(kPhoneBook);
    Refuse(CardRefusal::Command::Update, 9, 0x6F00);
    const Bytes blank(28, 0xFF);
    const auto result = WriteCardRecords(*rig.engine, CardRecordFile::PhoneBook,
                                         [&](int number, int) -> std::optional<Bytes> {
                                             if (number % 2 == 0)
                                                 return std::nullopt;
                                             return blank;
                                         },
                                         {});
    EXPECT_EQ(result.ending, RunEnding::Refused);
    EXPECT_EQ(result.record, 9);
    EXPECT_EQ(result.failure.statusWord, 0x6F00);
    EXPECT_EQ(result.done, 4);  // 1, 3, 5, 7
    EXPECT_EQ(result.left, 4);  // 2, 4, 6, 8
    const auto after = CardRecords(kPhoneBook);
    for (std::size_t i = 0; i < after.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (number < 9 && number % 2 == 1)
            EXPECT_EQ(after[i], blank) << number;
        else
            EXPECT_EQ(after[i], before[i]) << number;
    }
}

TEST_F(CardRunsTest, LostUpdateAnswerIsSentAgainWithTheSameBytes) {
    std::vector<Bytes> records(250);
    for (int n = 1; n <= 250; ++n)
        records[static_cast<std::size_t>(n - 1)] = Bytes(28, static_cast<std::uint8_t>(n));
    CardRunHooks hooks;
    hooks.progress = [&](int number, int) {
        if (number == 40)
            rig.reader->Faults().readyDropped = 1;
    };
    const auto result = WriteCardRecords(
        *rig.engine, CardRecordFile::PhoneBook,
        [&](int number, int) -> std::optional<Bytes> {
            return records[static_cast<std::size_t>(number - 1)];
        },
        hooks);
    EXPECT_TRUE(result.Complete());
    EXPECT_EQ(result.retries, 1);
    EXPECT_EQ(CardRecords(kPhoneBook), records);
}

TEST_F(CardRunsTest, StopEndsTheRunAfterTheRecordInHand) {
    CardRunHooks hooks;
    int yields = 0;
    hooks.yield = [&] { ++yields; };
    hooks.stopRequested = [&] { return yields == 3; };
    const auto result = ReadCardRecords(*rig.engine, CardRecordFile::Sms, {}, hooks);
    EXPECT_EQ(result.ending, RunEnding::Stopped);
    EXPECT_EQ(result.record, 3);
    EXPECT_EQ(result.done, 3);
}

TEST_F(CardRunsTest, ReadOfAPulledCardEndsAsALinkFailure) {
    CardRunHooks hooks;
    hooks.progress = [&](int number, int) {
        if (number == 69)
            rig.reader->RemoveCard();
    };
    const auto result = ReadCardRecords(*rig.engine, CardRecordFile::PhoneBook, {}, hooks);
    EXPECT_EQ(result.ending, RunEnding::LinkFailed);
    EXPECT_EQ(result.record, 70);
    EXPECT_EQ(result.done, 69);
}

class ChvTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.Start()); }
    int CardPin1Attempts() const { return rig.card->ToImage().chv1.attemptsLeft; }
    DemoRig rig;
};

TEST_F(ChvTest, LostAnswerOfAVerifyIsALinkFailureWithFreshCounters) {
    rig.reader->Faults().readyDropped = 1;
    EXPECT_TRUE(rig.engine->VerifyPin(1, "9999").IsLinkFailed());
    // The card judged the code once; the counters say so, and nothing was sent twice.
    EXPECT_TRUE(rig.engine->CountersKnown());
    EXPECT_EQ(rig.engine->CardStatus().chv1AttemptsLeft, 2);
    EXPECT_EQ(CardPin1Attempts(), 2);

    rig.reader->Faults().readyDropped = 1;
    EXPECT_TRUE(rig.engine->VerifyPin(1, "1234").IsLinkFailed());
    EXPECT_EQ(rig.engine->CardStatus().chv1AttemptsLeft, 3);
}

TEST_F(ChvTest, SilentReaderLeavesTheCountersUnknownRatherThanZero) {
    rig.reader->Faults().silent = true;
    EXPECT_TRUE(rig.engine->VerifyPin(1, "1234").IsLinkFailed());
    EXPECT_FALSE(rig.engine->CountersKnown());
    EXPECT_EQ(CardPin1Attempts(), 3);
}

}  // namespace
}  // namespace pellucard
