// The virtual USIM-only card: the demo image laid out as a USIM card keeps it, answering in
// ETSI TS 102 221 terms.
#include <gtest/gtest.h>

#include "engine/fcp_template.h"
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

}  // namespace
}  // namespace pellucard
