// The one rule for what a write sends to a slot: the bytes read there while the slot says what
// they say, else the slot encoded anew.
#include <gtest/gtest.h>

#include "engine/record_to_write.h"

namespace pellucard {
namespace {

constexpr int kPhoneRecord = 28;
constexpr int kSmsRecord = 176;

std::optional<RecordAsRead<PhoneBookFields>> ReadAs(const Bytes& bytes) {
    return RecordAsRead<PhoneBookFields>{bytes, PhoneBookFieldsOf(DecodePhoneBookRecord(bytes))};
}

std::optional<RecordAsRead<SmsFields>> SmsReadAs(const Bytes& bytes) {
    return RecordAsRead<SmsFields>{bytes, SmsFieldsOf(DecodeSmsRecord(bytes))};
}

// A record another phone wrote: an extension record and a capability the lists do not show.
Bytes PeerPhoneBookRecord() {
    Bytes record = EncodePhoneBookRecord("+441632960123", "Alice", kPhoneRecord, AlphaForm::Ucs2);
    record[kPhoneRecord - 2] = 0x01;  // capability/configuration identifier
    record[kPhoneRecord - 1] = 0x05;  // extension record
    return record;
}

// A received message whose reply path is set: nothing a slot's fields say.
Bytes PeerMessage() {
    SmsTimeStamp stamp = SmsTimeStamp::FromValues({26, 12, 7, 10, 30, 0, 4});
    Bytes record =
        EncodeSmsRecord("+447700900123", "Hello", kSmsRead, stamp, "+447700900999", 0, kSmsRecord);
    const std::size_t firstOctet = 2 + record[1];
    record[firstOctet] |= 0x80;
    EXPECT_TRUE(DecodeSmsRecord(record).replyPath);
    return record;
}

TEST(RecordToWriteTest, AnUneditedSlotSendsBackTheBytesAPeerWrote) {
    const Bytes phone = PeerPhoneBookRecord();
    EXPECT_EQ(PhoneBookRecordToWrite({"Alice", "+441632960123"}, ReadAs(phone), kPhoneRecord,
                                     NameForm::BestFit),
              phone);
    const Bytes sms = PeerMessage();
    const SmsFields unedited = SmsFieldsOf(DecodeSmsRecord(sms));
    EXPECT_EQ(SmsRecordToWrite(unedited, SmsReadAs(sms), kSmsRecord), sms);
    // A slot freed by a peer keeps what its bytes still hold.
    Bytes freed = sms;
    freed[0] = kSmsFree;
    SmsFields free;
    EXPECT_EQ(SmsRecordToWrite(free, SmsReadAs(freed), kSmsRecord), freed);
}

TEST(RecordToWriteTest, AnEditedSlotIsEncodedNotWrittenWithStaleBytes) {
    const Bytes phone = PeerPhoneBookRecord();
    const Bytes renamed = PhoneBookRecordToWrite({"Alicia", "+441632960123"}, ReadAs(phone),
                                                 kPhoneRecord, NameForm::BestFit);
    EXPECT_EQ(DecodePhoneBookRecord(renamed).name, "Alicia");
    EXPECT_EQ(renamed[kPhoneRecord - 1], 0xFF) << "no extension record of the old number";

    const Bytes sms = PeerMessage();
    const SmsFields read = SmsFieldsOf(DecodeSmsRecord(sms));
    SmsFields edited = read;
    edited.text = "Hello again";
    EXPECT_EQ(DecodeSmsRecord(SmsRecordToWrite(edited, SmsReadAs(sms), kSmsRecord)).text,
              "Hello again");
    edited = read;
    edited.status = kSmsToBeRead;  // marked unread again
    EXPECT_EQ(SmsRecordToWrite(edited, SmsReadAs(sms), kSmsRecord)[0], kSmsToBeRead);
}

TEST(RecordToWriteTest, ARecordOfAnotherLengthOrNoneReadIsEncoded) {
    const Bytes phone = PeerPhoneBookRecord();
    const Bytes longer =
        PhoneBookRecordToWrite({"Alice", "+441632960123"}, ReadAs(phone), 30, NameForm::BestFit);
    ASSERT_EQ(longer.size(), 30u);
    EXPECT_EQ(DecodePhoneBookRecord(longer).name, "Alice");
    // Nothing read there: the slot is encoded, a name in the form that holds it whole.
    const std::string name = "\u0416\u0435\u043D\u044F Ivan";
    EXPECT_EQ(PhoneBookRecordToWrite({name, "1"}, std::nullopt, kPhoneRecord, NameForm::BestFit)[0],
              AlphaMark(AlphaForm::Ucs2Base81));
}

TEST(RecordToWriteTest, OnlyWhatAMessageOfItsStatusHoldsIsCompared) {
    SmsFields sent{kSmsSent, "", "On my way", "", {}, 167};
    SmsFields other = sent;
    other.timeStamp = SmsTimeStamp::FromValues({26, 1, 1, 0, 0, 0, 0});
    EXPECT_TRUE(SameFields(sent, other)) << "an outgoing message has no time stamp";
    other.validity = 168;
    EXPECT_FALSE(SameFields(sent, other));
}

}  // namespace
}  // namespace pellucard
