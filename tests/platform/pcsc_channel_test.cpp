// The engine over the PC/SC channel, with the virtual GSM SIM and the virtual USIM-only card in
// an in-process reader: it must see both as it sees the GSM card in the USB SIM reader.
#include <gtest/gtest.h>

#include "engine/card_info.h"
#include "platform/pcsc_channel.h"
#include "platform/virtual_uicc_card.h"
#include "support/demo_rig.h"
#include "support/sim_card_terminal.h"

namespace pellucard::testing {
namespace {

CardImage DemoImage() {
    CardImage image;
    QString error;
    EXPECT_TRUE(ReadCardImageFile(QString::fromLatin1(kDemoCardResource), image, error))
        << error.toStdString();
    return image;
}

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
    bool Start() { return engine->FindReader() && engine->FindSimCard(); }
};

std::shared_ptr<SimCard> GsmCard() {
    QString error;
    return VirtualSimCard::FromImage(DemoImage(), error);
}

std::shared_ptr<SimCard> UsimCard() {
    QString error;
    return VirtualUiccCard::FromImage(DemoImage(), error);
}

CardInfo Information(Pellucard& engine) {
    CardInfo info;
    std::string id;
    if (engine.GetCardInf(id, CardInfoItem::Iccid) == CardInfoResult::Answered)
        info.CardId = id;
    FindCardInf(engine, info);
    return info;
}

std::vector<Bytes> PhoneBook(Pellucard& engine) {
    std::vector<Bytes> records;
    if (!engine.EnterPhoneBook())
        return records;
    for (int slot = 1; slot <= engine.PhoneBookRecordCount(); ++slot) {
        Bytes record;
        if (!engine.GetPhoneBook(record, slot))
            break;
        records.push_back(record);
    }
    return records;
}

class PcscChannelTest : public ::testing::TestWithParam<bool> {
protected:
    bool Uicc() const { return GetParam(); }
    std::shared_ptr<SimCard> Card() const { return Uicc() ? UsimCard() : GsmCard(); }
};

TEST_P(PcscChannelTest, CardInformationAndPhoneBookAsThroughTheUsbReader) {
    DemoRig usb;
    ASSERT_TRUE(usb.Start());
    PcscRig pcsc(Card());
    ASSERT_TRUE(pcsc.Start());
    EXPECT_EQ(pcsc.channel->Kind(),
              Uicc() ? PcscChannel::CardKind::Uicc : PcscChannel::CardKind::Gsm);

    EXPECT_EQ(Information(*pcsc.engine), Information(*usb.engine)) << "locked by PIN1";
    ASSERT_TRUE(usb.engine->PINCodeVerify("1234", 1));
    ASSERT_TRUE(pcsc.engine->PINCodeVerify("1234", 1));
    const CardInfo expected = Information(*usb.engine);
    EXPECT_EQ(expected.Imsi, "001010123456789");
    EXPECT_EQ(Information(*pcsc.engine), expected);
    EXPECT_EQ(PhoneBook(*pcsc.engine), PhoneBook(*usb.engine));
}

INSTANTIATE_TEST_SUITE_P(GsmAndUicc, PcscChannelTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Usim" : "Gsm"; });

}  // namespace
}  // namespace pellucard::testing
