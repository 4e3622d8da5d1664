// The own number in EF MSISDN record 1, and the card information's message centre, which is
// the one `smsc set` and the information window write.
#include <gtest/gtest.h>

#include "engine/card_info.h"
#include "engine/card_runs.h"
#include "engine/message_centre.h"
#include "engine/own_number.h"
#include "engine/pellucard.h"
#include "support/demo_rig.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::DemoRig;
using testing::Hex;

// EF MSISDN record 1 of the demo card: "Voice", +447700900123.
constexpr char kVoice[] = "566F696365FFFFFFFFFFFFFFFFFF 07 91 447700091032FFFFFFFF FF FF";

TEST(OwnNumberTest, TheNumberChangesAndTheNameStays) {
    const Bytes voice = Hex(kVoice);
    Bytes record = voice;
    ASSERT_EQ(SetOwnNumber(record, " 06-12 (34) 5*6#p7 "), OwnNumberEdit::Done);
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 14), Bytes(voice.begin(), voice.begin() + 14));
    EXPECT_EQ(Bytes(record.begin() + 14, record.end()), Hex("07 81 602143A5B67C FFFFFFFF FF FF"));

    // A number an extension record would hold is refused, as is anything no SIM dials; the
    // record is left as it was.
    for (const char* bad : {"", "+", "*#", "0800 CALL", "06;123", "+1234567890123456789012"}) {
        Bytes untouched = voice;
        EXPECT_NE(SetOwnNumber(untouched, bad), OwnNumberEdit::Done) << bad;
        EXPECT_EQ(untouched, voice) << bad;
    }
    Bytes shortRecord(13, 0xFF);
    EXPECT_EQ(SetOwnNumber(shortRecord, "123"), OwnNumberEdit::RecordTooShort);
    EXPECT_EQ(shortRecord, Bytes(13, 0xFF));
}

class CardNumbersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Start());
        ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
    }
    std::optional<std::string> Item(CardInfoItem item) {
        return rig.engine->ReadCardInfo(item).value;
    }
    DemoRig rig;
};

// The demo card holds two parameter sets, "Home" then "Travel": the card information gives
// the first, the one the message centre write changes, not the last.
TEST_F(CardNumbersTest, TheServiceCentreItemIsTheMessageCentre) {
    EXPECT_EQ(Item(CardInfoItem::ServiceCentreNumber), "+447700900000");
    const auto before = rig.CardRecords("3F00/7F10/6F42");
    ASSERT_TRUE(WriteMessageCentre(*rig.engine, "+447700900555").Done());
    EXPECT_EQ(Item(CardInfoItem::ServiceCentreNumber), "+447700900555");
    EXPECT_EQ(rig.CardRecords("3F00/7F10/6F42")[1], before[1]);

    // A first record without an address gives none, never a made-up number.
    ASSERT_TRUE(WriteCardRecords(
                    *rig.engine, CardRecordFile::SmsParameters,
                    [](int, int length) { return std::optional(Bytes(std::size_t(length), 0xFF)); },
                    {}, 1)
                    .Complete());
    EXPECT_EQ(Item(CardInfoItem::ServiceCentreNumber), std::nullopt);
}

}  // namespace
}  // namespace pellucard
