// The T=0 duties of a host behind a PC/SC reader: GET RESPONSE after 61 xx / 9F xx, the repeat
// after 6C xx, and bounds on both.
#include <gtest/gtest.h>

#include "platform/t0_exchange.h"
#include "support/scripted_card.h"
#include "support/sim_card_terminal.h"

namespace pellucard::testing {
namespace {

struct T0Rig {
    std::shared_ptr<ScriptedCard> card = std::make_shared<ScriptedCard>();
    SimCardTerminal terminal{card};
    T0Exchange t0{terminal};
    CardReply reply;

    T0Rig() {
        terminal.Open();
        Bytes atr;
        terminal.Connect(atr);
    }
};

TEST(T0ExchangeTest, FetchesAnnouncedDataAsOftenAsTheCardAnnouncesMore) {
    T0Rig rig;
    int round = 0;
    rig.card->answer = [&](const Bytes& apdu) -> ApduResponse {
        if (apdu[1] == 0xA4)
            return {{}, 0x61, 0x03};
        ++round;
        if (round == 1)
            return {{1, 2, 3}, 0x61, 0x02};
        return {{4, 5}, 0x90, 0x00};
    };
    ASSERT_EQ(rig.t0.Exchange({0x00, 0xA4, 0x04, 0x04, 0x02, 0x7F, 0xFF}, rig.reply),
              TerminalStatus::Ok);
    EXPECT_EQ(rig.reply.data, (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(rig.reply.Status(), 0x9000);
    ASSERT_EQ(rig.card->received.size(), 3u);
    EXPECT_EQ(rig.card->received[1], (Bytes{0x00, 0xC0, 0x00, 0x00, 0x03}));
    EXPECT_EQ(rig.card->received[2], (Bytes{0x00, 0xC0, 0x00, 0x00, 0x02}));
    EXPECT_EQ(rig.t0.Apdus(), 3);
}

TEST(T0ExchangeTest, GsmResponseDataIsFetchedInClassA0) {
    T0Rig rig;
    rig.card->answer = [](const Bytes& apdu) -> ApduResponse {
        if (apdu[1] == 0xA4)
            return {{}, 0x9F, 0x0F};
        return {Bytes(15, 0x11), 0x90, 0x00};
    };
    ASSERT_EQ(rig.t0.Exchange({0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00}, rig.reply),
              TerminalStatus::Ok);
    EXPECT_EQ(rig.reply.data.size(), 15u);
    EXPECT_EQ(rig.card->received.back(), (Bytes{0xA0, 0xC0, 0x00, 0x00, 0x0F}));
}

TEST(T0ExchangeTest, WrongLengthIsRepeatedOnceWithTheLengthTheCardAsks) {
    T0Rig rig;
    rig.card->answer = [](const Bytes& apdu) -> ApduResponse {
        if (apdu[4] != 0x1C)
            return {{}, 0x6C, 0x1C};
        return {Bytes(28, 0xFF), 0x90, 0x00};
    };
    ASSERT_EQ(rig.t0.Exchange({0x00, 0xB2, 0x01, 0x04, 0x20}, rig.reply), TerminalStatus::Ok);
    EXPECT_EQ(rig.reply.data.size(), 28u);
    EXPECT_EQ(rig.card->received.back(), (Bytes{0x00, 0xB2, 0x01, 0x04, 0x1C}));

    // A card that keeps asking is not asked again and again; a command with data never is.
    rig.card->received.clear();
    rig.card->answer = [](const Bytes&) -> ApduResponse { return {{}, 0x6C, 0x10}; };
    ASSERT_EQ(rig.t0.Exchange({0x00, 0xB0, 0x00, 0x00, 0x20}, rig.reply), TerminalStatus::Ok);
    EXPECT_EQ(rig.card->received.size(), 2u);
    EXPECT_EQ(rig.reply.Status(), 0x6C10);
    rig.card->received.clear();
    ASSERT_EQ(rig.t0.Exchange({0x00, 0xDC, 0x01, 0x04, 0x01, 0xAA}, rig.reply), TerminalStatus::Ok);
    EXPECT_EQ(rig.card->received.size(), 1u);
}

TEST(T0ExchangeTest, ACardThatNeverStopsAnnouncingIsLeftAfterABoundedNumberOfFetches) {
    T0Rig rig;
    rig.card->answer = [](const Bytes&) -> ApduResponse { return {{0x00}, 0x61, 0x01}; };
    // The data never ends: the exchange fails rather than pass on a part as the whole answer.
    EXPECT_EQ(rig.t0.Exchange({0x00, 0xF2, 0x00, 0x00, 0x00}, rig.reply), TerminalStatus::Failed);
    EXPECT_EQ(rig.card->received.size(), 1u + T0Exchange::kMaxGetResponses);
}

}  // namespace
}  // namespace pellucard::testing
