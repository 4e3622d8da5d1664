// The virtual USIM-only card: the demo image laid out as a USIM card keeps it, answering in
// ETSI TS 102 221 terms.
#include <gtest/gtest.h>

#include "engine/fcp_template.h"
#include "engine/usim_files.h"
#include "simulator/virtual_uicc_card.h"

namespace pellucard {
namespace {

class VirtualUiccCardTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(ReadCardImageFile(QString::fromLatin1(kDemoCardResource), image, error));
        card = VirtualUiccCard::FromImage(image, error);
        ASSERT_TRUE(card) << error.toStdString();
    }
    ApduResponse Send(const Bytes& apdu) { return card->Transmit(apdu); }
    std::uint16_t Status(const ApduResponse& r) {
        return static_cast<std::uint16_t>(r.sw1 << 8 | r.sw2);
    }
    std::uint16_t Select(std::uint16_t id) {
        return Status(Send({0x00, 0xA4, 0x00, 0x0C, 0x02, static_cast<std::uint8_t>(id >> 8),
                            static_cast<std::uint8_t>(id & 0xFF)}));
    }
    // SELECT with the FCP, fetched as a T=0 host does.
    FcpInfo SelectFcp(const Bytes& select) {
        const auto announced = Send(select);
        EXPECT_EQ(announced.sw1, 0x61);
        const auto fcp = Send({0x00, 0xC0, 0x00, 0x00, announced.sw2});
        EXPECT_EQ(Status(fcp), 0x9000);
        FcpInfo info;
        EXPECT_TRUE(ParseFcp(fcp.data, info));
        return info;
    }
    Bytes SelectApplication() {
        Bytes apdu{0x00, 0xA4, 0x04, 0x04, 0x10};
        const Bytes& aid = VirtualUiccCard::UsimAid();
        apdu.insert(apdu.end(), aid.begin(), aid.end());
        return apdu;
    }
    static Bytes Code(const std::string& digits) {
        Bytes code(digits.begin(), digits.end());
        code.resize(8, 0xFF);
        return code;
    }
    ApduResponse Verify(const std::string& digits, std::uint8_t reference = 0x01) {
        Bytes apdu{0x00, 0x20, 0x00, reference, 0x08};
        const Bytes code = Code(digits);
        apdu.insert(apdu.end(), code.begin(), code.end());
        return Send(apdu);
    }

    CardImage image;
    std::unique_ptr<VirtualUiccCard> card;
};

TEST_F(VirtualUiccCardTest, RefusesTheGsmClassAndAnswersClass00WithFcpTemplates) {
    EXPECT_EQ(Status(Send({0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00})), 0x6E00);
    const auto sms = SelectFcp(SelectApplication());
    EXPECT_TRUE(IsUsimAid(sms.aid));
    const auto messages = SelectFcp({0x00, 0xA4, 0x00, 0x04, 0x02, 0x6F, 0x3C});
    EXPECT_EQ(messages.info.recordLength, 176);
    EXPECT_EQ(messages.info.sizeOrRecordCount, 30);
    // A GET RESPONSE with the wrong length is told the right one and may ask again.
    const auto announced = Send({0x00, 0xA4, 0x00, 0x04, 0x02, 0x6F, 0x07});
    EXPECT_EQ(Status(Send({0x00, 0xC0, 0x00, 0x00, 0x05})), 0x6C00 | announced.sw2);
    EXPECT_EQ(Status(Send({0x00, 0xC0, 0x00, 0x00, announced.sw2})), 0x9000);
}

TEST_F(VirtualUiccCardTest, KeepsItsPhoneBookInTheGlobalPhoneBookOnly) {
    EXPECT_EQ(Select(0x7F10), 0x9000);
    EXPECT_EQ(Select(0x6F3A), 0x6A82) << "no ADN in DF Telecom itself";
    EXPECT_EQ(Select(0x7F20), 0x6A82) << "no DF GSM either";
    EXPECT_EQ(Select(0x5F3A), 0x9000);
    const auto pbr = SelectFcp({0x00, 0xA4, 0x00, 0x04, 0x02, 0x4F, 0x30});
    const auto record = Send({0x00, 0xB2, 0x01, 0x04, pbr.info.recordLength});
    ASSERT_EQ(Status(record), 0x9000);
    const auto files = ParsePhoneBookReferences(record.data);
    ASSERT_EQ(files.size(), 11u);
    EXPECT_EQ(files[0].fileId, 0x4F3A);
    const auto adn = SelectFcp({0x00, 0xA4, 0x00, 0x04, 0x02, 0x4F, 0x3A});
    EXPECT_EQ(adn.info.sizeOrRecordCount, 250);
    EXPECT_EQ(Status(Send({0x00, 0xB2, 0x01, 0x04, 0x1C})), 0x6982) << "PIN1 first";
    ASSERT_EQ(Status(Verify("1234")), 0x9000);
    EXPECT_EQ(Status(Send({0x00, 0xB2, 0x01, 0x04, 0x10})), 0x6C1C);
    EXPECT_EQ(Status(Send({0x00, 0xB2, 0x01, 0x04, 0x1C})), 0x9000);
}

TEST_F(VirtualUiccCardTest, PinsTellTheirCountersAndCostOneAttemptPerWrongCode) {
    const Bytes query{0x00, 0x20, 0x00, 0x01, 0x00};
    EXPECT_EQ(Status(Send(query)), 0x63C3);
    EXPECT_EQ(Status(Verify("0000")), 0x63C2);
    EXPECT_EQ(Status(Send(query)), 0x63C2) << "asking costs nothing";
    EXPECT_EQ(Status(Verify("1234")), 0x9000);
    EXPECT_EQ(Status(Send(query)), 0x9000) << "verified: nothing to prove";
    EXPECT_EQ(Status(Send({0x00, 0x2C, 0x00, 0x81, 0x00})), 0x63CA);
    EXPECT_EQ(Status(Verify("5678", 0x81)), 0x9000);
    EXPECT_EQ(Status(Verify("5678", 0x02)), 0x6A88) << "an unknown key reference";
    for (int i = 0; i < 3; ++i)
        Verify("9999");
    EXPECT_EQ(Status(Send(query)), 0x6983);
    EXPECT_EQ(Status(Verify("1234")), 0x6983);

    // The PIN status template follows the enabled state of PIN1.
    card->PowerOn();
    Bytes unblock{0x00, 0x2C, 0x00, 0x01, 0x10};
    for (const auto& part : {Code("12345678"), Code("1234")})
        unblock.insert(unblock.end(), part.begin(), part.end());
    EXPECT_EQ(Status(Send(unblock)), 0x9000);
    Bytes disable{0x00, 0x26, 0x00, 0x01, 0x08};
    const Bytes pin = Code("1234");
    disable.insert(disable.end(), pin.begin(), pin.end());
    EXPECT_EQ(Status(Send(disable)), 0x9000);
    const auto application = SelectFcp(SelectApplication());
    ASSERT_FALSE(application.pins.empty());
    EXPECT_FALSE(application.pins[0].enabled);
}

TEST_F(VirtualUiccCardTest, SavesBackToTheGsmCardsImage) {
    EXPECT_EQ(card->ToImage(), image) << "untouched, the image comes back as it was";
    Verify("1234");
    Select(0x3F00);
    Select(0x7F10);
    Select(0x5F3A);
    Select(0x4F3A);
    Bytes update{0x00, 0xDC, 0x02, 0x04, 0x1C};
    update.resize(5 + 28, 0x41);
    ASSERT_EQ(Status(Send(update)), 0x9000);
    Verify("0000");
    const CardImage saved = card->ToImage();
    EXPECT_EQ(saved.chv1.attemptsLeft, 2);
    const CardFile* adn = saved.FindFile("3F00/7F10/6F3A");
    ASSERT_TRUE(adn);
    EXPECT_EQ(adn->records[1].data, Bytes(28, 0x41));
    ASSERT_TRUE(saved.FindFile("3F00/7F20/6FAE")) << "the phase file the USIM has not";
    EXPECT_EQ(saved.FindFile("3F00/7F20/6F38")->body, image.FindFile("3F00/7F20/6F38")->body);
    EXPECT_FALSE(saved.FindFile("3F00/2F00")) << "files only the USIM has stay with it";
}

}  // namespace
}  // namespace pellucard
