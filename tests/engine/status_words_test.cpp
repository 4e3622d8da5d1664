// The one table of status words: what counts as executed, the classes callers act on, and a
// table whose entries are all reachable.
#include <gtest/gtest.h>

#include <vector>

#include "engine/sim_commands.h"
#include "engine/status_words.h"

namespace pellucard {
namespace {

Bytes Block(std::uint16_t statusWord) {
    return {static_cast<std::uint8_t>(statusWord >> 8),
            static_cast<std::uint8_t>(statusWord & 0xFF)};
}

TEST(StatusWordsTest, AnAnswerIsDoneOnlyWhenTheCardExecutedTheCommand) {
    for (const std::uint16_t executed : {0x9000, 0x9112, 0x9F0F, 0x6110, 0x9201, 0x920F}) {
        EXPECT_EQ(sim::JudgeAnswer(LinkResult::Ok, Block(executed)), CardOutcome::Done(executed))
            << std::hex << executed;
    }
    for (const std::uint16_t refused : {0x9001, 0x9240, 0x9300, 0x9402, 0x9804, 0x9840, 0x6281,
                                        0x63C2, 0x6700, 0x6982, 0x6C10, 0x6F00, 0x0000}) {
        EXPECT_EQ(sim::JudgeAnswer(LinkResult::Ok, Block(refused)), CardOutcome::Refused(refused))
            << std::hex << refused;
    }
    // Response data is an executed command's; a block of one byte or none was cut on the way.
    EXPECT_TRUE(sim::JudgeAnswer(LinkResult::Ok, {1, 2, 3}).IsDone());
    EXPECT_TRUE(sim::JudgeAnswer(LinkResult::Ok, {0x90}).IsLinkFailed());
    EXPECT_TRUE(sim::JudgeAnswer(LinkResult::ReceiveFailed, Block(0x9000)).IsLinkFailed());
}

TEST(StatusWordsTest, TheClassesCallersActOn) {
    // GSM 11.11 and ETSI TS 102 221 words of one meaning share its class.
    EXPECT_EQ(ClassOfStatusWord(0x9804), StatusClass::SecurityNotSatisfied);
    EXPECT_EQ(ClassOfStatusWord(0x6982), StatusClass::SecurityNotSatisfied);
    EXPECT_EQ(ClassOfStatusWord(0x9840), StatusClass::Blocked);
    EXPECT_EQ(ClassOfStatusWord(0x6983), StatusClass::Blocked);
    EXPECT_EQ(ClassOfStatusWord(0x9404), StatusClass::FileNotFound);
    EXPECT_EQ(ClassOfStatusWord(0x6A82), StatusClass::FileNotFound);

    EXPECT_EQ(AttemptsLeft(0x63C2), 2);
    EXPECT_EQ(AttemptsLeft(0x63C0), 0);
    EXPECT_EQ(AttemptsLeft(0x9804), std::nullopt) << "GSM 11.11 does not say how many";
    EXPECT_EQ(AttemptsLeft(0x6302), std::nullopt);

    EXPECT_EQ(StatusWordHex(0x9804), "98 04");
    EXPECT_EQ(StatusWordHex(0x0A0B), "0A 0B");
}

TEST(StatusWordsTest, EveryEntryIsReachableAndTheLastCoversEveryWord) {
    const auto table = StatusWordTable();
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(table.back().mask, 0);
    // An entry that earlier entries hide would never be used.
    std::vector<bool> used(table.size());
    for (unsigned word = 0; word <= 0xFFFF; ++word) {
        const StatusWordEntry& entry = LookUpStatusWord(static_cast<std::uint16_t>(word));
        used[static_cast<std::size_t>(&entry - table.data())] = true;
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].pattern & ~table[i].mask, 0) << "entry " << i;
        EXPECT_TRUE(used[i]) << "entry " << i << " is hidden by the ones before it";
    }
}

}  // namespace
}  // namespace pellucard
