// The reader link against a reader that loses reports and a host that stalls: every answer the
// engine hands up is the card's own, or the exchange failed. Never a cut reply taken as data.
#include <gtest/gtest.h>

#include <map>

#include "engine/card_backup.h"
#include "engine/sim_commands.h"
#include "support/demo_rig.h"

namespace pellucard {
namespace {

using testing::DemoRig;

// The demo card behind a reader with realistic timing (a report a millisecond, repeats queued
// for the host), and a host that is away (the clock moves on) before chosen reads, as a busy
// machine, a repaint or a stopped process is between two reads of the HID queue.
struct StallRig : DemoRig {
    StallRig() {
        reader->SetTiming(ReaderTiming::Realistic());
        bus.beforeRead = [this] {
            const auto stall = stalls.find(++reads);
            if (stall != stalls.end())
                clock.Sleep(stall->second);
        };
    }
    bool Start() { return DemoRig::Start() && engine->VerifyPin(1, "1234").IsDone(); }
    // Before read number `read` (counted over reads and polls), the host is away for `pause`.
    void StallAt(long read, std::chrono::milliseconds pause) { stalls[read] = pause; }
    std::vector<Bytes> ReadPhoneBook(CardRunResult& result) {
        std::vector<Bytes> records;
        result = ReadCardRecords(*engine, CardRecordFile::PhoneBook,
                                 [&](int, const Bytes& raw) { records.push_back(raw); }, {});
        return records;
    }
    std::map<long, std::chrono::milliseconds> stalls;
    long reads = 0;
};

TEST(HostStallTest, AWholeReadWithTheHostAwayAtAnyMomentIsCompleteAndTheSame) {
    StallRig clean;
    ASSERT_TRUE(clean.Start());
    CardRunResult cleanRun;
    const auto expected = clean.ReadPhoneBook(cleanRun);
    ASSERT_TRUE(cleanRun.Complete());
    ASSERT_EQ(expected.size(), 250u);

    for (const int pause : {30, 100, 500}) {
        StallRig rig;
        ASSERT_TRUE(rig.Start());
        // Stalls spread over the run, landing at every kind of moment: before a write, between
        // a write and its acknowledgement, while the card works, within a reply block.
        const long start = rig.reads;
        for (long at = 1; at < 40000; at += 997)
            rig.StallAt(start + at, std::chrono::milliseconds(pause));
        CardRunResult run;
        const auto records = rig.ReadPhoneBook(run);
        EXPECT_TRUE(run.Complete()) << pause << " ms";
        EXPECT_EQ(run.retries, 0) << pause << " ms: a stall alone costs no retry";
        EXPECT_EQ(records, expected) << pause << " ms";
        EXPECT_GT(rig.link->Counters().staleReports, 0) << "the stalls left repeats queued";
    }
}

TEST(HostStallTest, ALateAcknowledgementWithTheHostAwayBeforeTheRetryCostsNothing) {
    StallRig clean;
    ASSERT_TRUE(clean.Start());
    ASSERT_TRUE(clean.engine->EnterPhoneBook().IsDone());
    const Bytes expected = clean.engine->ReadPhoneBookRecord(5).value;
    ASSERT_FALSE(expected.empty());
    // The acknowledgement of each report of a record read in turn comes 150 ms late; the host
    // is away 60 ms at reads around its 100 ms wait and the retry that follows it.
    for (int late = 0; late < 9; ++late) {
        for (int stall = 0; stall < 170; stall += stall >= 90 && stall < 120 ? 1 : 7) {
            StallRig rig;
            ASSERT_TRUE(rig.Start());
            ASSERT_TRUE(rig.engine->EnterPhoneBook().IsDone());
            rig.reader->Faults().lateAcknowledgementAfter = late;
            rig.StallAt(rig.reads + stall, std::chrono::milliseconds(60));
            const CardResult<Bytes> read = rig.engine->ReadPhoneBookRecord(5);
            EXPECT_TRUE(read.IsDone()) << late << " " << stall;
            EXPECT_EQ(read.value, expected) << late << " " << stall;
            EXPECT_EQ(rig.engine->RepeatedExchanges(), 0) << late << " " << stall;
        }
    }
}

class CutReplyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.Start()); }
    DemoRig rig;
};

TEST_F(CutReplyTest, ABlockShorterOrLongerThanAnnouncedIsNoAnswer) {
    const CardResult<Bytes> clean = rig.engine->SelectFile(0x3F00);
    ASSERT_TRUE(clean.IsDone());
    const std::size_t length = clean.value.size();
    for (const int announced : {int(length) + 6, int(length) + 1, int(length) - 1, 7, 1}) {
        rig.reader->Faults().announcedLength = announced;
        const CardResult<Bytes> cut = rig.engine->SelectFile(0x3F00);
        EXPECT_TRUE(cut.outcome.IsLinkFailed()) << announced;
        EXPECT_TRUE(cut.value.empty());
    }
    rig.reader->Faults().announcedLength.reset();
    const CardResult<Bytes> again = rig.engine->SelectFile(0x3F00);
    EXPECT_TRUE(again.IsDone());
    EXPECT_EQ(again.value.size(), length);
}

TEST_F(CutReplyTest, ShortSelectResponsesAreLinkFailuresNotEmptyFiles) {
    auto card = std::make_shared<testing::ScriptedCard>();
    // A phone book whose SELECT response the card cuts to 10 bytes: the link delivers it whole,
    // but it holds no record length.
    card->answer = [](const Bytes& apdu) -> ApduResponse {
        if (apdu[1] == 0xA4)
            return {{}, 0x9F, 10};
        if (apdu[1] == 0xC0)
            return {Bytes{0, 0, 0x1B, 0x58, 0x6F, 0x3A, 4, 0, 0x11, 0}, 0x90, 0x00};
        return {{}, 0x90, 0x00};
    };
    rig.reader->InsertCard(card);
    EXPECT_TRUE(rig.engine->EnterPhoneBook().IsLinkFailed());
    EXPECT_EQ(rig.engine->PhoneBookRecordLength(), 0);
    EXPECT_TRUE(rig.engine->ReadMasterStatus().IsLinkFailed());
}

// Positions 0 .. dense - 1, then every `step`-th up to `last`.
std::vector<int> Positions(int dense, int step = 1, int last = 0) {
    std::vector<int> positions;
    for (int at = 0; at < dense; ++at)
        positions.push_back(at);
    for (int at = dense; at <= last; at += step)
        positions.push_back(at);
    return positions;
}

// Runs `operation` on a fresh demo card with one acknowledgement lost at every position in
// turn (or, with silentReads > 0, the reader silent for that many reads from there); each run
// must either give what a clean run gives or fail, never give something else.
template <typename Result>
void Sweep(const char* what, const std::vector<int>& positions, int silentReads,
           const std::function<std::optional<Result>(DemoRig&)>& operation) {
    DemoRig clean;
    ASSERT_TRUE(clean.Start());
    ASSERT_TRUE(clean.engine->VerifyPin(1, "1234").IsDone());
    const auto expected = operation(clean);
    ASSERT_TRUE(expected.has_value()) << what;
    int failures = 0;
    for (const int at : positions) {
        DemoRig rig;
        ASSERT_TRUE(rig.Start());
        ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
        if (silentReads > 0) {
            rig.reader->Faults().silentAfterReports = at;
            rig.reader->Faults().silentReads = silentReads;
        } else {
            rig.reader->Faults().lostAcknowledgementAfter = at;
        }
        const auto got = operation(rig);
        if (got) {
            EXPECT_EQ(*got, *expected) << what << " with the fault at " << at;
        } else {
            ++failures;
        }
    }
    ::testing::Test::RecordProperty(std::string(what) + " failures", failures);
}

TEST(LostReportSweepTest, SelectIccidRecordAndBackupGiveTheCardsWordOrFail) {
    // No silence (a lost acknowledgement), a stretch of one wait, one of several.
    for (const int silent : {0, 1, 2, 30}) {
        Sweep<Bytes>("SELECT", Positions(40), silent, [](DemoRig& rig) -> std::optional<Bytes> {
            if (!rig.engine->SelectFile(0x7F10).IsDone())
                return std::nullopt;
            CardResult<Bytes> selected = rig.engine->SelectFile(0x6F3A);
            if (!selected.IsDone())
                return std::nullopt;
            return std::move(selected.value);
        });
        Sweep<std::string>("ICCID", Positions(40), silent,
                           [](DemoRig& rig) -> std::optional<std::string> {
                               return rig.engine->ReadCardInfo(CardInfoItem::Iccid).value;
                           });
        Sweep<std::pair<int, Bytes>>(
            "record", Positions(60), silent,
            [](DemoRig& rig) -> std::optional<std::pair<int, Bytes>> {
                if (!rig.engine->EnterPhoneBook().IsDone())
                    return std::nullopt;
                CardResult<Bytes> record = rig.engine->ReadPhoneBookRecord(3);
                if (!record.IsDone())
                    return std::nullopt;
                return std::pair(rig.engine->PhoneBookRecordLength(), std::move(record.value));
            });
    }
    struct Backup {
        std::string iccid, phase;
        std::vector<Bytes> phoneBook, sms;
        bool operator==(const Backup&) const = default;
    };
    Sweep<Backup>("backup", Positions(90, 89, 4000), 0, [](DemoRig& rig) -> std::optional<Backup> {
        CardBackup backup;
        if (!ReadCardBackup(*rig.engine, backup).Ok())
            return std::nullopt;
        EXPECT_FALSE(backup.iccid.empty());
        return Backup{backup.iccid, backup.phase, backup.phoneBook, backup.sms};
    });
}

}  // namespace
}  // namespace pellucard
