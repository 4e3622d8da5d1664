// The engine's card operations end to end against the virtual reader and the demo card.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/card_info.h"
#include "support/demo_rig.h"

namespace pellucard {
namespace {

using testing::DemoRig;

std::string Item(Pellucard& engine, CardInfoItem item, CardInfoResult expected) {
    std::string text = "unchanged";
    EXPECT_EQ(engine.GetCardInf(text, item), expected) << static_cast<int>(item);
    return text;
}

class CardSessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.Start()); }
    Pellucard& Engine() { return *rig.engine; }
    DemoRig rig;
};

TEST_F(CardSessionTest, CardInformationOfTheDemoCard) {
    auto& e = Engine();
    EXPECT_EQ(Item(e, CardInfoItem::Iccid, CardInfoResult::Answered), "8988200000123456788");
    EXPECT_EQ(Item(e, CardInfoItem::Phase, CardInfoResult::Answered), "Phase 2+");
    EXPECT_EQ(Item(e, CardInfoItem::PhoneBookRecordCount, CardInfoResult::Answered), "250");
    EXPECT_EQ(Item(e, CardInfoItem::PhoneBookRecordLength, CardInfoResult::Answered), "28");
    EXPECT_EQ(Item(e, CardInfoItem::SmsRecordLength, CardInfoResult::Answered), "176");
    EXPECT_EQ(Item(e, CardInfoItem::LockState, CardInfoResult::Answered), "Lock");
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts, CardInfoResult::Answered), "3");
    EXPECT_EQ(Item(e, CardInfoItem::Puk2Attempts, CardInfoResult::Answered), "10");
    // PIN1 is on and not given: the card's own data stays closed.
    EXPECT_EQ(Item(e, CardInfoItem::Imsi, CardInfoResult::NotAvailable), "");
    // Items the engine does not answer leave the text alone.
    EXPECT_EQ(Item(e, static_cast<CardInfoItem>(22), CardInfoResult::NotHandled), "unchanged");
    EXPECT_EQ(Item(e, static_cast<CardInfoItem>(40), CardInfoResult::NotHandled), "unchanged");

    ASSERT_TRUE(e.VerifyPin(1, "1234").IsDone());
    // A verified PIN1 opens the card without another read of its status.
    rig.link->ResetCounters();
    EXPECT_EQ(Item(e, CardInfoItem::LockState, CardInfoResult::Answered), "UnLock");
    EXPECT_EQ(rig.link->Counters().Exchanged(), 0);
    EXPECT_EQ(Item(e, CardInfoItem::Imsi, CardInfoResult::Answered), "001010123456789");
    EXPECT_EQ(Item(e, CardInfoItem::ServiceProviderName, CardInfoResult::Answered),
              "Télé Pellucard");
    EXPECT_EQ(Item(e, CardInfoItem::ServiceCentreNumber, CardInfoResult::Answered),
              "+447700900999");
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
    EXPECT_EQ(info.ServiceCentreNumber, "+447700900999");
    EXPECT_EQ(yields, 8);
}

TEST_F(CardSessionTest, FindCardInfListsWhatTheReaderFailedToGiveNeverItsZeros) {
    CardInfo clean;
    FindCardInf(Engine(), clean);
    EXPECT_TRUE(clean.Unread.empty());

    // The reader goes silent after the phase: every item after it is listed as not read, none
    // stands as a count the card gave.
    rig.engine->ResetCardState();
    rig.reader->Faults().silentAfterReports = 20;
    CardInfo info;
    FindCardInf(Engine(), info);
    ASSERT_FALSE(info.Unread.empty());
    const auto listed = [&info](CardInfoItem item) {
        return std::find(info.Unread.begin(), info.Unread.end(), item) != info.Unread.end();
    };
    EXPECT_TRUE(listed(CardInfoItem::Pin1Attempts));
    EXPECT_TRUE(listed(CardInfoItem::Puk2Attempts));
    EXPECT_EQ(listed(CardInfoItem::PhoneBookRecordCount), info.MaxPhoneRecords == 0);
    EXPECT_STREQ(CardInfoItemName(CardInfoItem::Pin1Attempts), "PIN1 attempts");

    // A card without the item (not a failed exchange) is not listed.
    rig.reader->Faults() = {};
    ASSERT_TRUE(rig.engine->FindSimCard());
    CardInfo locked;
    FindCardInf(Engine(), locked);
    EXPECT_TRUE(locked.Unread.empty()) << "PIN1 on: the IMSI is closed, not unread";
}

TEST_F(CardSessionTest, WrongAndRightPinMoveTheCounters) {
    auto& e = Engine();
    EXPECT_FALSE(e.VerifyPin(1, "9999").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts, CardInfoResult::Answered), "2");
    EXPECT_TRUE(e.VerifyPin(1, "1234").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts, CardInfoResult::Answered), "3");

    // A wrong PIN2 is a failure even though PIN1's counter is full.
    EXPECT_FALSE(e.VerifyPin(2, "0000").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin2Attempts, CardInfoResult::Answered), "2");
    EXPECT_TRUE(e.VerifyPin(2, "5678").IsDone());
    EXPECT_FALSE(e.ChangePin(2, "0000", "1111").IsDone());
    EXPECT_TRUE(e.ChangePin(2, "5678", "1111").IsDone());
    EXPECT_TRUE(e.VerifyPin(2, "1111").IsDone());
}

TEST_F(CardSessionTest, LockAndUnlockPin1) {
    auto& e = Engine();
    EXPECT_FALSE(e.DisablePin1("4321").IsDone());
    EXPECT_TRUE(e.DisablePin1("1234").IsDone());
    ASSERT_TRUE(e.FindSimCard());  // a reset keeps the card open
    EXPECT_EQ(Item(e, CardInfoItem::LockState, CardInfoResult::Answered), "UnLock");
    EXPECT_TRUE(e.EnablePin1("1234").IsDone());
    ASSERT_TRUE(e.FindSimCard());
    EXPECT_EQ(Item(e, CardInfoItem::LockState, CardInfoResult::Answered), "Lock");
}

TEST_F(CardSessionTest, BlockPin1ByThreeWrongCodesAndUnblockIt) {
    auto& e = Engine();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(e.VerifyPin(1, "0000").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts, CardInfoResult::Answered), "0");
    EXPECT_EQ(Item(e, CardInfoItem::LockState, CardInfoResult::Answered), "Lock");
    EXPECT_FALSE(e.VerifyPin(1, "1234").IsDone()) << "a blocked PIN stays blocked";

    EXPECT_FALSE(e.UnblockPin(1, "11111111", "4321").IsDone()) << "a wrong unblocking code fails";
    EXPECT_EQ(Item(e, CardInfoItem::Puk1Attempts, CardInfoResult::Answered), "9");
    EXPECT_TRUE(e.UnblockPin(1, "12345678", "4321").IsDone());
    EXPECT_EQ(Item(e, CardInfoItem::Pin1Attempts, CardInfoResult::Answered), "3");
    EXPECT_EQ(Item(e, CardInfoItem::Puk1Attempts, CardInfoResult::Answered), "10");
    EXPECT_TRUE(e.VerifyPin(1, "4321").IsDone());
}

TEST_F(CardSessionTest, PhoneBookAndMessagesReadWriteAndReadBack) {
    auto& e = Engine();
    ASSERT_TRUE(e.VerifyPin(1, "1234").IsDone());
    ASSERT_TRUE(e.EnterPhoneBook());
    ASSERT_EQ(e.PhoneBookRecordCount(), 250);
    std::vector<Bytes> before;
    for (int slot = 1; slot <= e.PhoneBookRecordCount(); ++slot) {
        Bytes record;
        ASSERT_TRUE(e.GetPhoneBook(record, slot));
        ASSERT_EQ(record.size(), 28u);
        before.push_back(record);
    }
    std::string number, name;
    e.DecodePhoneBook(before[0], number, name);
    EXPECT_EQ(name, "Alice Martin");
    EXPECT_EQ(number, "+441632960123");
    e.DecodePhoneBook(before[2], number, name);
    EXPECT_EQ(name, "");
    EXPECT_EQ(number, "") << "an empty slot between used ones stays empty";

    Bytes record;
    ASSERT_TRUE(e.EncodePhoneBook("+441234567890", "Bob", record));
    ASSERT_TRUE(e.SetPhoneBook(record, 3));
    EXPECT_EQ(e.LastResponse(), (Bytes{0x90, 0x00}));
    Bytes back;
    ASSERT_TRUE(e.GetPhoneBook(back, 3));
    EXPECT_EQ(back, record);
    ASSERT_TRUE(e.GetPhoneBook(back, 2));
    EXPECT_EQ(back, before[1]);

    ASSERT_TRUE(e.EnterSMSBook());
    ASSERT_EQ(e.SmsRecordCount(), 30);
    Bytes sms;
    ASSERT_TRUE(e.GetSMS(sms, 1));
    SmsRecord message;
    e.DecodeSMS(sms, message);
    EXPECT_EQ(message.status, kSmsRead);
    Bytes written;
    ASSERT_TRUE(e.EncodeSMS("+12345", "Hi", kSmsToBeSent, {}, "+447700900999", 167, written));
    ASSERT_TRUE(e.SetSMS(30, written));
    ASSERT_TRUE(e.GetSMS(sms, 30));
    EXPECT_EQ(sms, written);
}

TEST_F(CardSessionTest, LockedCardRefusesItsRecords) {
    auto& e = Engine();
    ASSERT_TRUE(e.EnterPhoneBook());
    Bytes record;
    e.GetPhoneBook(record, 1);
    EXPECT_EQ(record, (Bytes{0x98, 0x04})) << "access condition not fulfilled";
}

TEST_F(CardSessionTest, CardPulledOutMidwayFailsAndForgetsTheCard) {
    auto& e = Engine();
    ASSERT_TRUE(e.VerifyPin(1, "1234").IsDone());
    ASSERT_TRUE(e.EnterPhoneBook());
    rig.reader->RemoveCard();
    Bytes record;
    EXPECT_FALSE(e.GetPhoneBook(record, 1));
    EXPECT_FALSE(e.CardPresent());
    EXPECT_FALSE(e.FindSimCard());
    std::string text;
    EXPECT_EQ(e.GetCardInf(text, CardInfoItem::Iccid), CardInfoResult::NotAvailable);
}

TEST(AnswerToResetTest, InverseConventionIsConverted) {
    DemoRig rig;
    auto card = std::make_shared<testing::ScriptedCard>();
    // 3F as read in the inverse convention arrives as 03: bit order reversed and complemented.
    card->atr = {0x03, 0x27};
    rig.reader->InsertCard(card);
    ASSERT_TRUE(rig.engine->FindReader());
    ASSERT_TRUE(rig.engine->FindSimCard());
    EXPECT_EQ(rig.engine->AnswerToReset(), (Bytes{0x03, 0x1B}));
}

}  // namespace
}  // namespace pellucard
