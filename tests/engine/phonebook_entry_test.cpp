#include <gtest/gtest.h>

#include "engine/codec_alpha.h"
#include "engine/phonebook_entry.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::Hex;

TEST(EncodePhoneBookTest, InternationalNumberOnA28ByteRecord) {
    Bytes record = EncodePhoneBookRecord("+441234567890", "Bob", 28, AlphaForm::Ucs2);
    EXPECT_EQ(ToHex(record),
              "426F62FFFFFFFFFFFFFFFFFFFFFF"  // name, X = 14
              "0791442143658709FFFFFFFF"      // length, type, digits
              "FFFF");                        // capability and extension identifiers
}

TEST(EncodePhoneBookTest, AgreesWithAPublishedRecord) {
    // EF ADN record of the AOSP AdnRecordTest ("Voice Mail", +18056377243).
    EXPECT_EQ(ToHex(EncodePhoneBookRecord("+18056377243", "Voice Mail", 24, AlphaForm::Ucs2)),
              "566F696365204D61696C07918150367742F3FFFFFFFFFFFF");
}

TEST(EncodePhoneBookTest, NumberLengthsAndTypes) {
    Bytes empty = EncodePhoneBookRecord("", "", 28, AlphaForm::Ucs2);
    EXPECT_EQ(empty, Bytes(28, 0xFF));

    Bytes national = EncodePhoneBookRecord("123", "", 28, AlphaForm::Ucs2);
    EXPECT_EQ(ToHex(Bytes(national.begin() + 14, national.end())), "038121F3FFFFFFFFFFFFFFFFFFFF");
    EXPECT_EQ(EncodePhoneBookRecord("1234567", "", 28, AlphaForm::Ucs2)[14], 0x05);

    Bytes trimmed = EncodePhoneBookRecord("  +44 20 7946 0000 ", "", 28, AlphaForm::Ucs2);
    EXPECT_EQ(trimmed[15], 0x91);
    EXPECT_EQ(DecodePhoneBookRecord(trimmed).Number(), "+442079460000");
}

TEST(EncodePhoneBookTest, LongNumbersAreCutTo20Digits) {
    Bytes record = EncodePhoneBookRecord("+12345678901234567890123", "", 14, AlphaForm::Ucs2);
    EXPECT_EQ(record[0], 11);
    auto entry = DecodePhoneBookRecord(record);
    EXPECT_EQ(entry.Number(), "+12345678901234567890");
    EXPECT_EQ(record[12], 0xFF);
    EXPECT_EQ(record[13], 0xFF);
}

TEST(EncodePhoneBookTest, RecordTooShortForTheFooterIsRefused) {
    EXPECT_TRUE(EncodePhoneBookRecord("123", "Bob", 13, AlphaForm::Ucs2).empty());
    Bytes bare = EncodePhoneBookRecord("123", "Bob", 14, AlphaForm::Ucs2);  // no room for a name
    EXPECT_EQ(bare.size(), 14u);
    EXPECT_EQ(DecodePhoneBookRecord(bare).name, "");
}

TEST(EncodePhoneBookTest, NamesOutsideTheGsmTableUseTheChosenForm) {
    const std::string name = "\u0416\u0435\u043D\u044F";
    Bytes form80 = EncodePhoneBookRecord("1", name, 30, AlphaForm::Ucs2);
    Bytes form81 = EncodePhoneBookRecord("1", name, 30, AlphaForm::Ucs2Base81);
    Bytes form82 = EncodePhoneBookRecord("1", name, 30, AlphaForm::Ucs2Base82);
    EXPECT_EQ(form80[0], 0x80);
    EXPECT_EQ(form81[0], 0x81);
    EXPECT_EQ(form82[0], 0x82);
    for (const Bytes* record : {&form80, &form81, &form82}) {
        EXPECT_EQ(DecodePhoneBookRecord(*record).name, name);
        EXPECT_EQ(DecodePhoneBookRecord(*record).Number(), "1");
    }
    const std::string emoji = "Mum \U0001F600";
    EXPECT_EQ(DecodePhoneBookRecord(EncodePhoneBookRecord("1", emoji, 30, AlphaForm::Ucs2)).name,
              emoji);
}

TEST(DecodePhoneBookTest, PublishedRecords) {
    // AOSP AdnRecordTest: a typical record, an empty one and one with an extension record.
    auto voiceMail = DecodePhoneBookRecord(Hex("566F696365204D61696C07918150367742F3FFFFFFFFFFFF"));
    EXPECT_TRUE(voiceMail.wellFormed);
    EXPECT_EQ(voiceMail.name, "Voice Mail");
    EXPECT_EQ(voiceMail.Number(), "+18056377243");
    EXPECT_EQ(voiceMail.length, 7);
    EXPECT_EQ(voiceMail.typeOfNumber, 0x10);
    EXPECT_EQ(voiceMail.numberingPlan, 0x01);

    auto empty = DecodePhoneBookRecord(Bytes(24, 0xFF));
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.Number(), "");

    auto extended =
        DecodePhoneBookRecord(Hex("4164676A6DFFFFFFFFFFFFFFFFFFFFFF0B918188551512C221436587FF01"));
    EXPECT_EQ(extended.name, "Adgjm");
    EXPECT_EQ(extended.Number(), "+18885551212P12345678");  // 0xC is the pause
    EXPECT_EQ(extended.extensionId, 0x01);
    EXPECT_EQ(extended.capabilityId, 0xFF);

    auto unknownType =
        DecodePhoneBookRecord(Hex("566F696365204D61696C07818150367742F3FFFFFFFFFFFF"));
    EXPECT_EQ(unknownType.Number(), "18056377243");
}

TEST(DecodePhoneBookTest, SafeOnShortAndInconsistentRecords) {
    for (const Bytes& record : {Bytes{}, Hex("9000"), Bytes(13, 0x41)}) {
        auto entry = DecodePhoneBookRecord(record);
        EXPECT_FALSE(entry.wellFormed);
        EXPECT_TRUE(entry.IsEmpty());
        EXPECT_EQ(entry.raw, record);
    }
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

TEST(PhoneBookEntryTest, RoundTripKeepsNameAndNumber) {
    struct Case {
        const char* number;
        const char* name;
    };
    for (auto [number, name] :
         {Case{"+441234567890", "Bob"}, Case{"*#06#", "IMEI"}, Case{"0123P45", "Caf\u00e9 \u0394"},
          Case{"", "Only a name"}, Case{"112", ""}}) {
        Bytes record = EncodePhoneBookRecord(number, name, 30, AlphaForm::Ucs2);
        auto entry = DecodePhoneBookRecord(record);
        EXPECT_EQ(entry.Number(), number);
        EXPECT_EQ(entry.name, name);
        EXPECT_EQ(EncodePhoneBookRecord(entry, 30, AlphaForm::Ucs2), record);
    }
}

}  // namespace
}  // namespace pellucard
