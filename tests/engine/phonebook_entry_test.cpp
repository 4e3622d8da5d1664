#include <gtest/gtest.h>

#include "engine/codec_alpha.h"
#include "engine/phonebook_entry.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::Hex;

// EF ADN records of the AOSP AdnRecordTest: a typical one, one with an extension record, one of
// an unknown type of number.
TEST(PhoneBookRecordTest, PublishedRecords) {
    EXPECT_EQ(ToHex(EncodePhoneBookRecord("+18056377243", "Voice Mail", 24, AlphaForm::Ucs2)),
              "566F696365204D61696C07918150367742F3FFFFFFFFFFFF");
    auto voiceMail = DecodePhoneBookRecord(Hex("566F696365204D61696C07918150367742F3FFFFFFFFFFFF"));
    EXPECT_TRUE(voiceMail.wellFormed);
    EXPECT_EQ(voiceMail.name, "Voice Mail");
    EXPECT_EQ(voiceMail.Number(), "+18056377243");
    EXPECT_EQ(voiceMail.typeOfNumber, 0x10);
    EXPECT_EQ(voiceMail.numberingPlan, 0x01);
    EXPECT_TRUE(DecodePhoneBookRecord(Bytes(24, 0xFF)).IsEmpty());

    auto extended =
        DecodePhoneBookRecord(Hex("4164676A6DFFFFFFFFFFFFFFFFFFFFFF0B918188551512C221436587FF01"));
    EXPECT_EQ(extended.name, "Adgjm");
    EXPECT_EQ(extended.Number(), "+18885551212P12345678");  // 0xC is the pause
    EXPECT_EQ(extended.extensionId, 0x01);
    EXPECT_EQ(extended.capabilityId, 0xFF);
    EXPECT_EQ(
        DecodePhoneBookRecord(Hex("566F696365204D61696C07818150367742F3FFFFFFFFFFFF")).Number(),
        "18056377243");
}

TEST(PhoneBookRecordTest, RoundTripKeepsNameAndNumber) {
    struct Case {
        const char* number;
        const char* name;
        const char* readBack;  // the number as the record gives it back
    };
    for (auto [number, name, readBack] :
         {Case{"+441234567890", "Bob", "+441234567890"}, Case{"*#06#", "IMEI", "*#06#"},
          Case{"0123P45", "Caf\u00e9 \u0394", "0123P45"}, Case{"", "Only a name", ""},
          Case{"112", "", "112"}, Case{"1", "Mum \U0001F600", "1"},
          Case{"  +44 20 7946 0000 ", "", "+442079460000"}}) {
        Bytes record = EncodePhoneBookRecord(number, name, 30, AlphaForm::Ucs2);
        auto entry = DecodePhoneBookRecord(record);
        EXPECT_EQ(entry.Number(), readBack);
        EXPECT_EQ(entry.name, name);
        EXPECT_EQ(EncodePhoneBookRecord(entry, 30, AlphaForm::Ucs2), record);
    }
    EXPECT_EQ(EncodePhoneBookRecord("", "", 28, AlphaForm::Ucs2), Bytes(28, 0xFF));
}

TEST(PhoneBookRecordTest, LongNumbersAreCutTo20DigitsAndShortRecordsRefused) {
    Bytes record = EncodePhoneBookRecord("+12345678901234567890123", "", 14, AlphaForm::Ucs2);
    EXPECT_EQ(record[0], 11);
    EXPECT_EQ(DecodePhoneBookRecord(record).Number(), "+12345678901234567890");
    EXPECT_EQ(record[12], 0xFF);
    EXPECT_EQ(record[13], 0xFF);

    EXPECT_TRUE(EncodePhoneBookRecord("123", "Bob", 13, AlphaForm::Ucs2).empty());
    Bytes bare = EncodePhoneBookRecord("123", "Bob", 14, AlphaForm::Ucs2);  // no room for a name
    EXPECT_EQ(bare.size(), 14u);
    EXPECT_EQ(DecodePhoneBookRecord(bare).name, "");
}

TEST(PhoneBookRecordTest, SafeOnShortAndInconsistentRecords) {
    // Records too short for the footer are no entry and keep their bytes: the decode_phonebook
    // seeds status_words and thirteen_bytes and the sweep of every length (CorpusReplayTest).
    // A length byte beyond the ten digit bytes reads only those ten.
    auto tooLong = DecodePhoneBookRecord(Hex("41 1E81 21436587092143658709 FFFF"));
    EXPECT_EQ(tooLong.name, "A");
    EXPECT_EQ(tooLong.digits, "12345678901234567890");
    // Length 0 or 1 has no digits.
    EXPECT_EQ(DecodePhoneBookRecord(Hex("00812143FFFFFFFFFFFFFFFFFFFF")).digits, "");
    EXPECT_EQ(DecodePhoneBookRecord(Hex("01812143FFFFFFFFFFFFFFFFFFFF")).digits, "");
    // A name whose 0x81 count runs past the name field stops at the field.
    auto named = DecodePhoneBookRecord(Hex("81FF0E41 0281 21FFFFFFFFFFFFFFFFFFFFFF"));
    EXPECT_EQ(named.name, "A");
    EXPECT_EQ(named.Number(), "12");
}

}  // namespace
}  // namespace pellucard
