// The other record files of DF Telecom on the virtual card: fixed dialling numbers behind PIN2,
// the operator's service numbers, the own numbers, the cyclic last dialled numbers and the
// message centre in the SMS parameters.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/card_runs.h"
#include "engine/message_centre.h"
#include "engine/phonebook_entry.h"
#include "support/demo_rig.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::DemoRig;
using testing::Hex;

class DiallingFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Start());
        ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
    }
    std::vector<Bytes> CardRecords(const char* path) const { return rig.CardRecords(path); }
    std::vector<Bytes> ReadAll(CardRecordFile file) {
        std::vector<Bytes> records;
        const CardRunResult result = ReadCardRecords(
            *rig.engine, file, [&](int, const Bytes& raw) { records.push_back(raw); }, {});
        EXPECT_TRUE(result.Complete()) << EfNameOf(file);
        return records;
    }
    // Writes record 3 of the file with one entry; the other records are left alone.
    CardRunResult WriteThird(CardRecordFile file, const Bytes& record) {
        return WriteCardRecords(
            *rig.engine, file,
            [&](int number, int) { return number == 3 ? std::optional(record) : std::nullopt; },
            {});
    }
    DemoRig rig;
};

TEST_F(DiallingFilesTest, FixedDiallingWriteIsRefusedWithoutPin2AndDoneWithIt) {
    const Bytes entry = EncodePhoneBookRecord("+441632960999", "Doctor", 28, AlphaForm::Ucs2);
    const auto before = CardRecords("3F00/7F10/6F3B");

    const CardRunResult refused = WriteThird(CardRecordFile::FixedDialling, entry);
    EXPECT_EQ(refused.ending, RunEnding::Refused);
    EXPECT_EQ(refused.failure, CardOutcome::Refused(0x9804));
    EXPECT_EQ(refused.record, 3);
    EXPECT_EQ(CardRecords("3F00/7F10/6F3B"), before);

    ASSERT_TRUE(rig.engine->VerifyPin(2, "5678").IsDone());

    const CardRunResult written = WriteThird(CardRecordFile::FixedDialling, entry);
    EXPECT_TRUE(written.Complete());
    std::vector<Bytes> expected = before;
    expected[2] = entry;
    EXPECT_EQ(CardRecords("3F00/7F10/6F3B"), expected);
}

TEST_F(DiallingFilesTest, CyclicFileIsNotUpdatedInPlaceAndItsWriteStopsAtARefusedPush) {
    const auto image = CardRecords("3F00/7F10/6F44");
    EXPECT_EQ(ReadAll(CardRecordFile::LastDialled), image);  // read as the card holds it
    EXPECT_TRUE(rig.engine->IsCyclic(CardRecordFile::LastDialled));
    EXPECT_TRUE(rig.engine->WriteFileRecord(CardRecordFile::LastDialled, 2, image[0]).IsRefused());
    EXPECT_EQ(CardRecords("3F00/7F10/6F44"), image);
    rig.card->AddRefusal({"6F44", CardRefusal::Command::Update, 0, 0x9804});
    const CardRunResult run =
        WriteCyclicRecords(*rig.engine, CardRecordFile::LastDialled, image, {});
    EXPECT_EQ(run.ending, RunEnding::Refused);
    EXPECT_EQ(run.record, 10);
    EXPECT_EQ(run.done, 0);
    EXPECT_EQ(CardRecords("3F00/7F10/6F44"), image);
}

// EF SMSP record 1 of the demo card: alpha tag "Home" (12 bytes), indicators E1 (destination
// address absent), no destination, service centre +447700900000, PID 00, DCS 00, VP A7.
constexpr char kHome[] =
    "486F6D65FFFFFFFFFFFFFFFF E1 FFFFFFFFFFFFFFFFFFFFFFFF"
    "0791447700090000FFFFFFFF 00 00 A7";

TEST(SmsParametersTest, ServiceCentreChangesOnlyItsAddressBytes) {
    const Bytes home = Hex(kHome);
    EXPECT_EQ(ServiceCentreOf(home), "+447700900000");

    Bytes record = home;
    ASSERT_EQ(SetServiceCentre(record, " 06 12-34 567 "), ServiceCentreEdit::Done);
    Bytes expected = home;
    const Bytes address = Hex("06 81 60214365F7 FFFFFFFFFF");
    std::copy(address.begin(), address.end(), expected.begin() + 25);
    EXPECT_EQ(record, expected);

    // An address marked absent is marked present; the other indicator bits stay.
    Bytes absent = home;
    absent[12] = 0xE3;
    EXPECT_EQ(ServiceCentreOf(absent), std::nullopt);
    ASSERT_EQ(SetServiceCentre(absent, "+3361234567890123456789"), ServiceCentreEdit::TooLong);
    ASSERT_EQ(SetServiceCentre(absent, "+33612345678"), ServiceCentreEdit::Done);
    EXPECT_EQ(absent[12], 0xE1);
    EXPECT_EQ(ServiceCentreOf(absent), "+33612345678");

    // Bad input leaves the record as it was.
    Bytes untouched = home;
    EXPECT_EQ(SetServiceCentre(untouched, ""), ServiceCentreEdit::NoDigits);
    EXPECT_EQ(SetServiceCentre(untouched, "*100#"), ServiceCentreEdit::NoDigits);
    EXPECT_EQ(SetServiceCentre(untouched, "0800 CALL"), ServiceCentreEdit::NoDigits);
    EXPECT_EQ(untouched, home);
    Bytes shortRecord(27, 0xFF);
    EXPECT_EQ(SetServiceCentre(shortRecord, "123"), ServiceCentreEdit::RecordTooShort);
    EXPECT_EQ(shortRecord, Bytes(27, 0xFF));
    EXPECT_EQ(ServiceCentreOf(shortRecord), std::nullopt);
}

// What smsc set writes is checked byte for byte through the CLI; here the refusals.
TEST_F(DiallingFilesTest, MessageCentreWriteSaysWhatBecameOfIt) {
    const auto before = CardRecords("3F00/7F10/6F42");
    const MessageCentreWrite bad = WriteMessageCentre(*rig.engine, "12a#");
    EXPECT_EQ(bad.edit, ServiceCentreEdit::NoDigits);
    EXPECT_EQ(CardRecords("3F00/7F10/6F42"), before);

    rig.card->AddRefusal({"6F42", CardRefusal::Command::Update, 1, 0x9804});
    const MessageCentreWrite refused = WriteMessageCentre(*rig.engine, "+447700900222");
    EXPECT_EQ(refused.outcome, CardOutcome::Refused(0x9804));
    EXPECT_EQ(refused.previous, "+447700900000");
    EXPECT_EQ(CardRecords("3F00/7F10/6F42"), before);
}

// PIN2 before the fixed dialling numbers, wrong or right, leaves PIN1 as verified as it was: the
// card keeps it, and the engine must not take the status it reads again for a closed card.
TEST_F(DiallingFilesTest, Pin2CommandsLeavePin1Verified) {
    EXPECT_FALSE(rig.engine->VerifyPin(2, "0000").IsDone());
    EXPECT_EQ(rig.engine->ReadCardInfo(CardInfoItem::LockState).value, "UnLock");
    EXPECT_EQ(rig.engine->ReadCardInfo(CardInfoItem::Pin2Attempts).value, "2");
    ASSERT_TRUE(rig.engine->VerifyPin(2, "5678").IsDone());
    EXPECT_EQ(rig.engine->ReadCardInfo(CardInfoItem::LockState).value, "UnLock");
    // A wrong PIN1 is the card's word again.
    EXPECT_FALSE(rig.engine->VerifyPin(1, "0000").IsDone());
    EXPECT_EQ(rig.engine->ReadCardInfo(CardInfoItem::LockState).value, "Lock");
}

}  // namespace
}  // namespace pellucard
