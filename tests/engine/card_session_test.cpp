// The engine's card operations end to end against the virtual reader and the demo card.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/card_info.h"
#include "support/demo_rig.h"

namespace pellucard {
namespace {

using testing::DemoRig;

// The item's text when the card gave it.
std::optional<std::string> Item(Pellucard& engine, CardInfoItem item) {
    return engine.ReadCardInfo(item).value;
}

class CardSessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.Start()); }
    Pellucard& Engine() { return *rig.engine; }
    DemoRig rig;
};

TEST_F(CardSessionTest, CardInformationOfTheDemoCard) {
    auto& e = Engine();
    EXPECT_EQ(Item(e, CardInfoItem::Iccid), "8988200000123456788");
    EXPECT_EQ(Item(e, CardInfoItem::Phase), "Phase 2+");
    EXPECT_EQ(Item(e, CardInfoItem::PhoneBookRecordCount), "250");
    EXPECT_EQ(Item(e, CardInfoItem::PhoneBookRecordLength), "28");
    EXPECT_EQ(Item(e, CardInfoItem::SmsRecordLength), "176");
    EXPECT_EQ(Item(e, CardInfoItem::LockState), "Lock");
    EXPECT_EQ(Item(e, CardInfoItem::Puk2Attempts), "10");
    // PIN1 is on and not given: the card's own data stays closed, and nothing failed.
    const CardInfoAnswer imsi = e.ReadCardInfo(CardInfoItem::Imsi);
    EXPECT_EQ(imsi.value, std::nullopt);
    EXPECT_TRUE(imsi.outcome.IsDone());
    // An item in a gap of the selectors gives nothing.
    EXPECT_EQ(Item(e, static_cast<CardInfoItem>(22)), std::nullopt);

    ASSERT_TRUE(e.VerifyPin(1, "1234").IsDone());
    // A verified PIN1 opens the card without another read of its status.
    rig.link->ResetCounters();
    EXPECT_EQ(Item(e, CardInfoItem::LockState), "UnLock");
    EXPECT_EQ(rig.link->Counters().Exchanged(), 0);
    EXPECT_EQ(Item(e, CardInfoItem::Imsi), "001010123456789");
    EXPECT_EQ(Item(e, CardInfoItem::ServiceProviderName), "Télé Pellucard");
}

TEST_F(CardSessionTest, FindCardInfFillsTheRecordAfterPin1) {
    CardInfo info;
    FindCardInf(Engine(), info);
    EXPECT_FALSE(info.Pin1Open);
    EXPECT_EQ(info.Imsi, "-");
    EXPECT_EQ(info.MaxPhoneRecords, 250);
    EXPECT_EQ(info.MaxSmsRecords, 30);
    EXPECT_EQ(info.MaxLastDialRecords, 10);
    ASSERT_TRUE(Engine().DisablePin1("1234").IsDone());
    int yields = 0;
    FindCardInf(Engine(), info, [&] { ++yields; });
    EXPECT_TRUE(info.Pin1Open);
    EXPECT_EQ(info.Imsi, "001010123456789");
    EXPECT_EQ(info.ServiceCentreNumber, "+447700900000");
    EXPECT_EQ(yields, 9);
}

TEST_F(CardSessionTest, PinCommandsMoveTheCountersAndTheLock) {
    auto& e = Engine();
    EXPECT_FALSE(e.VerifyPin(1, "9999").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts), "2");
    EXPECT_TRUE(e.VerifyPin(1, "1234").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts), "3");

    // A wrong PIN2 is a failure even though PIN1's counter is full.
    EXPECT_FALSE(e.VerifyPin(2, "0000").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin2Attempts), "2");
    EXPECT_TRUE(e.VerifyPin(2, "5678").IsDone());
    EXPECT_FALSE(e.ChangePin(2, "0000", "1111").IsDone());
    EXPECT_TRUE(e.ChangePin(2, "5678", "1111").IsDone());
    EXPECT_TRUE(e.VerifyPin(2, "1111").IsDone());

    // PIN1 switched off survives a reset, and on again locks the card after one.
    EXPECT_FALSE(e.DisablePin1("4321").IsDone());
    EXPECT_TRUE(e.DisablePin1("1234").IsDone());
    ASSERT_TRUE(e.ResetCard().IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::LockState), "UnLock");
    EXPECT_TRUE(e.EnablePin1("1234").IsDone());
    ASSERT_TRUE(e.ResetCard().IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::LockState), "Lock");

    // Three wrong codes block PIN1 until it is unblocked.
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(e.VerifyPin(1, "0000").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts), "0");
    EXPECT_EQ(Item(e, CardInfoItem::LockState), "Lock");
    EXPECT_FALSE(e.VerifyPin(1, "1234").IsDone()) << "a blocked PIN stays blocked";
    EXPECT_FALSE(e.UnblockPin(1, "11111111", "4321").IsDone()) << "a wrong unblocking code fails";
    EXPECT_EQ(Item(e, CardInfoItem::Puk1Attempts), "9");
    EXPECT_TRUE(e.UnblockPin(1, "12345678", "4321").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts), "3");
    EXPECT_EQ(Item(e, CardInfoItem::Puk1Attempts), "10");
    EXPECT_TRUE(e.VerifyPin(1, "4321").IsDone());
}

TEST_F(CardSessionTest, PhoneBookAndMessagesReadWriteAndReadBack) {
    auto& e = Engine();
    // Locked, the card refuses its records; the status words are no record.
    ASSERT_TRUE(e.EnterPhoneBook().IsDone());
    const CardResult<Bytes> locked = e.ReadPhoneBookRecord(1);
    EXPECT_EQ(locked.outcome, CardOutcome::Refused(0x9804)) << "access condition not fulfilled";
    EXPECT_TRUE(locked.value.empty());

    // Whole-file reads and writes are the run tests'; here one record each way.
    ASSERT_TRUE(e.VerifyPin(1, "1234").IsDone());
    ASSERT_TRUE(e.EnterPhoneBook().IsDone());
    ASSERT_EQ(e.PhoneBookRecordCount(), 250);
    const Bytes neighbour = e.ReadPhoneBookRecord(2).value;
    EXPECT_EQ(DecodePhoneBookRecord(e.ReadPhoneBookRecord(1).value).Number(), "+441632960123");
    const Bytes record = e.EncodePhoneBookEntry("+441234567890", "Bob");
    EXPECT_EQ(e.WritePhoneBookRecord(3, record), CardOutcome::Done(0x9000));
    EXPECT_EQ(e.ReadPhoneBookRecord(3).value, record);
    EXPECT_EQ(e.ReadPhoneBookRecord(2).value, neighbour);

    ASSERT_TRUE(e.EnterSmsFile().IsDone());
    ASSERT_EQ(e.SmsRecordCount(), 30);
    const CardResult<Bytes> sms = e.ReadSmsRecord(1);
    ASSERT_TRUE(sms.IsDone());
    EXPECT_EQ(DecodeSmsRecord(sms.value).status, kSmsRead);
    const Bytes written = e.EncodeSms("+12345", "Hi", kSmsToBeSent, {}, "+447700900999", 167);
    ASSERT_TRUE(e.WriteSmsRecord(30, written).IsDone());
    EXPECT_EQ(e.ReadSmsRecord(30).value, written);

    // Numbers that are no record of the card are refused as the card refuses them, unsent.
    EXPECT_EQ(e.ReadSmsRecord(0).outcome, CardOutcome::Refused(0x9402));
    EXPECT_EQ(e.WritePhoneBookRecord(256, record), CardOutcome::Refused(0x9402));
}

TEST(AnswerToResetTest, InverseConventionIsConverted) {
    DemoRig rig;
    auto card = std::make_shared<testing::ScriptedCard>();
    // 3F as read in the inverse convention arrives as 03: bit order reversed and complemented.
    card->atr = {0x03, 0x27};
    rig.reader->InsertCard(card);
    ASSERT_TRUE(rig.engine->OpenReader());
    ASSERT_TRUE(rig.engine->ResetCard().IsDone());
    EXPECT_EQ(rig.engine->AnswerToReset(), (Bytes{0x03, 0x1B}));
}

}  // namespace
}  // namespace pellucard
