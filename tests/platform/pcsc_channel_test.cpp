// The engine over the PC/SC channel, with the virtual GSM SIM and the virtual USIM-only card in
// an in-process reader: it must see both as it sees the GSM card in the USB SIM reader.
#include <gtest/gtest.h>

#include "engine/card_info.h"
#include "engine/sim_commands.h"
#include "platform/pcsc_channel.h"
#include "simulator/virtual_uicc_card.h"
#include "support/demo_rig.h"
#include "support/scripted_card.h"
#include "support/sim_card_terminal.h"

namespace pellucard::testing {
namespace {

struct PcscRig {
    SimCardTerminal* terminal = nullptr;
    PcscChannel* channel = nullptr;
    std::unique_ptr<Pellucard> engine;

    explicit PcscRig(std::shared_ptr<SimCard> card) {
        auto owned = std::make_unique<SimCardTerminal>(std::move(card));
        terminal = owned.get();
        auto link = std::make_unique<PcscChannel>(std::move(owned));
        channel = link.get();
        engine = std::make_unique<Pellucard>(std::move(link));
    }
    bool Start() { return engine->OpenReader() && engine->ResetCard().IsDone(); }
};

std::shared_ptr<SimCard> GsmCard() {
    QString error;
    return VirtualSimCard::FromImage(DemoImage(), error);
}

std::shared_ptr<SimCard> UsimCard() {
    QString error;
    return VirtualUiccCard::FromImage(DemoImage(), error);
}

std::vector<Bytes> PhoneBook(Pellucard& engine) {
    std::vector<Bytes> records;
    if (!engine.EnterPhoneBook().IsDone())
        return records;
    for (int slot = 1; slot <= engine.PhoneBookRecordCount(); ++slot) {
        const CardResult<Bytes> record = engine.ReadPhoneBookRecord(slot);
        if (!record.IsDone())
            break;
        records.push_back(record.value);
    }
    return records;
}

// The channel's own reads judge the card's status words by the engine's table: a read done
// after the card's internal retries (92 0x) is the card's answer, a warning (62 81) is not.
TEST(PcscChannelGsmTest, TheChannelJudgesStatusWordsAsTheEngineDoes) {
    auto card = std::make_shared<ScriptedCard>();
    std::uint16_t readStatus = 0x9000;
    card->answer = [&readStatus](const Bytes& apdu) -> ApduResponse {
        if (apdu[1] == 0xA4)
            return {{}, 0x9F, 0x0F};
        if (apdu[1] == 0xC0)  // an EF of 10 bytes
            return {{0, 0, 0, 10, 0x2F, 0xE2, 4, 0, 0, 0, 0, 1, 2, 0, 0}, 0x90, 0x00};
        return {Bytes(10, 0x98), static_cast<std::uint8_t>(readStatus >> 8),
                static_cast<std::uint8_t>(readStatus & 0xFF)};
    };
    PcscRig rig(card);
    ASSERT_TRUE(rig.Start());
    Bytes block;
    readStatus = 0x9201;
    EXPECT_EQ(rig.channel->Request(ReaderRequest::Iccid, block), LinkResult::Ok);
    EXPECT_EQ(block, Bytes(10, 0x98));
    readStatus = 0x6281;
    EXPECT_EQ(rig.channel->Request(ReaderRequest::Iccid, block), LinkResult::ReceiveFailed);
    EXPECT_TRUE(block.empty());
}

class PcscChannelTest : public ::testing::TestWithParam<bool> {
protected:
    bool Uicc() const { return GetParam(); }
    std::shared_ptr<SimCard> Card() const { return Uicc() ? UsimCard() : GsmCard(); }
};

TEST_P(PcscChannelTest, ACardPulledInTheMiddleOfAReadFailsThatRead) {
    for (const bool looksLikeSuccess : {false, true}) {
        PcscRig rig(Card());
        ASSERT_TRUE(rig.Start());
        ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
        ASSERT_TRUE(rig.engine->EnterPhoneBook().IsDone());
        ASSERT_TRUE(rig.engine->ReadPhoneBookRecord(1).IsDone());
        rig.terminal->removeAfter = 0;
        rig.terminal->removedLooksLikeSuccess = looksLikeSuccess;
        const CardResult<Bytes> cut = rig.engine->ReadPhoneBookRecord(2);
        EXPECT_TRUE(cut.outcome.IsLinkFailed()) << looksLikeSuccess;
        EXPECT_FALSE(rig.engine->CardPresent());
        EXPECT_TRUE(rig.engine->ReaderPresent()) << "the reader is still there";
        EXPECT_EQ(rig.terminal->drops, 1) << "let go of without a reset";
        EXPECT_FALSE(rig.engine->ReadPhoneBookRecord(3).IsDone())
            << "nothing passes for the card now";
        EXPECT_FALSE(rig.engine->ResetCard().IsDone());
    }
}

TEST_P(PcscChannelTest, ACardResetByAnotherProgramIsReconnectedAndTheReadGoesOn) {
    PcscRig rig(Card());
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.engine->DisablePin1("1234").IsDone());  // so that a reset leaves the files open
    const auto expected = PhoneBook(*rig.engine);
    ASSERT_EQ(expected.size(), 250u);
    rig.terminal->resetAfter = 40;
    EXPECT_EQ(PhoneBook(*rig.engine), expected);
    EXPECT_EQ(rig.terminal->reconnects, 1);
}

TEST_P(PcscChannelTest, AReaderThatGoesAwayClosesTheChannel) {
    PcscRig rig(Card());
    ASSERT_TRUE(rig.Start());
    rig.terminal->unplugged = true;
    const CardInfoAnswer count = rig.engine->ReadCardInfo(CardInfoItem::PhoneBookRecordCount);
    EXPECT_TRUE(count.outcome.IsLinkFailed());
    EXPECT_FALSE(rig.engine->ReaderPresent());
    EXPECT_FALSE(rig.engine->OpenReader());
}

TEST(PcscChannelUiccTest, TheFilesOfTheGlobalPhoneBook) {
    PcscRig rig(UsimCard());
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
    ASSERT_TRUE(rig.engine->EnterPhoneBook().IsDone());
    const auto& listed = rig.channel->GlobalPhoneBook();
    ASSERT_EQ(listed.size(), 11u);
    EXPECT_EQ(listed[8].fileId, 0x4F4A);

    // The extension file may be read and written: the engine knows how the files of the phone
    // book tie together.
    ASSERT_TRUE(rig.engine->SelectFile(0x5F3A).IsDone());
    const CardResult<Bytes> extension = rig.engine->SelectFile(0x4F4A);
    ASSERT_TRUE(extension.IsDone());
    EXPECT_EQ(ParseFileInfo(extension.value).recordLength, 13);
    const CardResult<Bytes> read =
        rig.engine->SendSimCommand(sim::ReadRecord(1, sim::kRecordAbsolute, 13), 0, 0);
    ASSERT_TRUE(read.IsDone());
    EXPECT_EQ(read.value.size(), 13u);
    const CardResult<Bytes> written = rig.engine->SendSimCommand(
        sim::UpdateRecord(1, sim::kRecordAbsolute, 13), 0, 0, Bytes(13, 0x00));
    EXPECT_TRUE(written.IsDone());
}

// EF PBR that PIN1 closes, as on most USIMs: the phone book is found once PIN1 opens it.
TEST(PcscChannelUiccTest, APhoneBookReferenceClosedByPin1IsLookedForAgainOnceOpen) {
    CardImage image = DemoImage();
    CardFile* pbr = image.FindFile("3F00/7F10/5F3A/4F30");
    ASSERT_TRUE(pbr);
    pbr->access.read = access_level::kChv1;
    QString error;
    PcscRig rig(VirtualUiccCard::FromImage(image, error));
    ASSERT_TRUE(rig.Start());
    EXPECT_FALSE(rig.engine->EnterPhoneBook().IsDone());
    ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
    ASSERT_TRUE(rig.engine->EnterPhoneBook().IsDone());
    EXPECT_EQ(rig.engine->PhoneBookRecordCount(), 250);
    EXPECT_EQ(rig.channel->GlobalPhoneBook().size(), 11u);
}

INSTANTIATE_TEST_SUITE_P(GsmAndUicc, PcscChannelTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Usim" : "Gsm"; });

}  // namespace
}  // namespace pellucard::testing
