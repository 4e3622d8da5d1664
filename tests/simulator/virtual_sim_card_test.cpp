#include "simulator/virtual_sim_card.h"

#include <gtest/gtest.h>

#include <string>

#include "support/demo_rig.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::DemoImage;

using testing::Hex;

// A code as a handset sends it: the digits' character codes padded with FF to 8 bytes.
std::string Code(std::string_view digits) {
    std::string hex;
    for (char c : digits)
        hex += ToHex(Bytes{static_cast<std::uint8_t>(c)});
    hex.append(16 - hex.size(), 'F');
    return hex;
}

std::uint16_t Sw(const ApduResponse& r) {
    return static_cast<std::uint16_t>(r.sw1 << 8 | r.sw2);
}

class VirtualSimCardTest : public ::testing::Test {
protected:
    void SetUp() override { Load(DemoImage()); }

    void Load(const CardImage& image) {
        QString error;
        card = VirtualSimCard::FromImage(image, error);
        ASSERT_TRUE(card) << error.toStdString();
    }

    ApduResponse Send(std::string_view hex) { return card->Transmit(Hex(hex)); }
    std::uint16_t SwOf(std::string_view hex) { return Sw(Send(hex)); }

    // SELECT and GET RESPONSE as a handset does them; empty when the file was not found.
    Bytes Select(std::string_view id) {
        const auto select = Send("A0A4000002" + std::string(id));
        if (select.sw1 != 0x9F)
            return {};
        EXPECT_TRUE(select.data.empty());
        const auto response = card->Transmit(Bytes{0xA0, 0xC0, 0x00, 0x00, select.sw2});
        EXPECT_EQ(Sw(response), 0x9000);
        EXPECT_EQ(response.data.size(), select.sw2);
        return response.data;
    }
    void SelectPath(std::initializer_list<std::string_view> ids) {
        for (auto id : ids)
            ASSERT_FALSE(Select(id).empty()) << id;
    }
    std::uint16_t Verify(int chv, std::string_view digits) {
        return SwOf("A02000" + ToHex(Bytes{static_cast<std::uint8_t>(chv), 0x08}) + Code(digits));
    }
    std::string ReadRecord(int number, int mode, int length) {
        const auto r = card->Transmit(Bytes{0xA0, 0xB2, static_cast<std::uint8_t>(number),
                                            static_cast<std::uint8_t>(mode),
                                            static_cast<std::uint8_t>(length)});
        return Sw(r) == 0x9000 ? ToHex(r.data) : "SW " + ToHex(Bytes{r.sw1, r.sw2});
    }
    // Bytes 18..21 of the master file's response: CHV1, unblock CHV1, CHV2, unblock CHV2.
    std::string ChvStatus() {
        const auto mf = Select("3F00");
        return ToHex(Bytes(mf.begin() + 18, mf.begin() + 22));
    }

    std::unique_ptr<VirtualSimCard> card;
};

constexpr char kAliceRecord[] = "416C696365204D617274696EFFFF0791446123691032FFFFFFFFFFFF";
constexpr char kJoseRecord[] = "4A6F7305204D7E6C6C6572FFFFFF06813010325476FFFFFFFFFFFFFF";
constexpr char kEmptyDialling[] = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";

// What the engine's runs never provoke: selections, offsets and access conditions the card
// refuses (GSM 11.11 6.5, 9.4), and a failed command that keeps the card's state.
TEST_F(VirtualSimCardTest, RefusesWhatTheCurrentFileAndTheAccessConditionsForbid) {
    EXPECT_EQ(SwOf("A0B0000002"), 0x9400);      // no EF selected yet
    EXPECT_EQ(SwOf("A0A40000026F3A"), 0x9404);  // not a child of the master file
    SelectPath({"2FE2"});
    EXPECT_EQ(SwOf("A0B0000804"), 0x6700);    // past the ICCID's 10 bytes
    EXPECT_EQ(SwOf("A0B0000A01"), 0x9402);    // offset beyond the file
    EXPECT_EQ(SwOf("A0D6000001FF"), 0x9804);  // ICCID: update NEV
    EXPECT_EQ(SwOf("A0B201041C"), 0x9408);    // records of a transparent file
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9804");
    EXPECT_EQ(SwOf("A0DC01041C" + std::string(kEmptyDialling)), 0x9804);
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    EXPECT_EQ(SwOf("A0A40000021234"), 0x9404);  // a failed SELECT keeps the current file
    EXPECT_EQ(ReadRecord(1, 4, 28), kAliceRecord);
    EXPECT_EQ(ReadRecord(251, 4, 28), "SW 9402");
    EXPECT_EQ(ReadRecord(1, 4, 20), "SW 671C");
    // Invalidating needs CHV2; an invalidated file refuses its content until rehabilitated.
    EXPECT_EQ(SwOf("A004000000"), 0x9804);
    EXPECT_EQ(Verify(2, "5678"), 0x9000);
    EXPECT_EQ(SwOf("A004000000"), 0x9000);
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9810");
    EXPECT_EQ(SwOf("A044000000"), 0x9000);
    EXPECT_EQ(ReadRecord(1, 4, 28), kAliceRecord);
    // A reset forgets the verification and the current file; the IMSI needs CHV1 as well.
    card->PowerOn();
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9400");
    SelectPath({"7F20", "6F07"});
    EXPECT_EQ(SwOf("A0B0000009"), 0x9804);
}

// --- CHV1 and CHV2 -------------------------------------------------------------------------
// The engine's PIN walk drives verify, change, disable, enable and unblock through their happy
// paths and counters, CHV1 blocked and unblocked among them; these are the card's own rules
// beyond them (GSM 11.11 8.9 to 8.13).

TEST_F(VirtualSimCardTest, WrongCodesCostAnAttemptAndWithdrawAnEarlierVerification) {
    EXPECT_EQ(Verify(1, "12345"), 0x9804);  // a prefix of the right code is still wrong
    EXPECT_EQ(ChvStatus(), "828A838A");
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    EXPECT_EQ(Verify(1, "0000"), 0x9804);
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9804");
    // Malformed new codes are refused without costing an attempt.
    EXPECT_EQ(SwOf("A024000110" + Code("1234") + Code("55")), 0x6A80);
    EXPECT_EQ(SwOf("A024000110" + Code("1234") + "3535AA35FFFFFFFF"), 0x6A80);
    EXPECT_EQ(ChvStatus(), "828A838A");
}

TEST_F(VirtualSimCardTest, BlockedCodesRefuseEvenTheRightOneAndTenWrongUnblocksBlockForGood) {
    for (int i = 0; i < 3; ++i)
        Verify(2, "0000");
    EXPECT_EQ(Verify(2, "5678"), 0x9840);
    EXPECT_EQ(ChvStatus(), "838A808A");
    EXPECT_EQ(SwOf("A02C000210" + Code("12345678") + Code("9999")), 0x9804);  // CHV1's code
    EXPECT_EQ(SwOf("A02C000210" + Code("87654321") + Code("9999")), 0x9000);
    EXPECT_EQ(ChvStatus(), "838A838A");

    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(SwOf("A02C000110" + Code("00000000") + Code("1111")), 0x9804) << i;
    EXPECT_EQ(SwOf("A02C000110" + Code("00000000") + Code("1111")), 0x9840);
    EXPECT_EQ(SwOf("A02C000110" + Code("12345678") + Code("1111")), 0x9840);
    EXPECT_EQ(ChvStatus(), "8380838A");
    EXPECT_EQ(Verify(1, "1234"), 0x9000);  // CHV1 itself is untouched
}

}  // namespace
}  // namespace pellucard
