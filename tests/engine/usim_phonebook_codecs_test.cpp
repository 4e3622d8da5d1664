// Records of a USIM phone book, laid out as 3GPP TS 31.102 4.4.2 lays them out.
#include <gtest/gtest.h>

#include "../../fuzz/usim_phonebook_checks.h"
#include "engine/codec_alpha.h"
#include "engine/usim_phonebook_codecs.h"
#include "support/corpus_replay.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::Hex;

// A PBR record as TS 31.102 draws one: type 1 ADN (SFI 01), IAP, SNE, ANR, PBC, GRP; type 2
// ANR and EMAIL; type 3 EXT1, AAS, GAS.
const char* const kPbrRecord =
    "A81AC0034F3A01C1024F25C3024F18C4034F1102C5024F09C6024F1C"
    "A909C4024F12CA034F5003"
    "AA0CC2024F4AC7024F4BC8024F4C"
    "FFFFFF";

TEST(PhoneBookBlockTest, ListsEveryFileWithItsLinkAndSfi) {
    const auto blocks = ParsePhoneBookBlocks({Hex(kPbrRecord), Hex("FFFFFFFF")});
    ASSERT_EQ(blocks.size(), 1u) << "an unused record ends the blocks";
    const PhoneBookBlock& block = blocks[0];
    ASSERT_EQ(block.files.size(), 11u);
    EXPECT_EQ(block.Find(pbr::kAdn)->sfi, 0x01);
    const auto anrs = block.All(pbr::kAnr);
    ASSERT_EQ(anrs.size(), 2u);
    EXPECT_EQ(anrs[0].linkType, pbr::kType1);
    EXPECT_EQ(anrs[1].linkType, pbr::kType2);
    EXPECT_EQ(block.Find(pbr::kAnr, 1)->fileId, 0x4F12);
    // The IAP holds one pointer per type 2 file, in PBR order.
    EXPECT_EQ(block.IapIndex(anrs[1]), 0);
    EXPECT_EQ(block.IapIndex(*block.Find(pbr::kEmail)), 1);
    EXPECT_EQ(block.IapIndex(anrs[0]), -1);
    EXPECT_EQ(ToHex(EncodePhoneBookBlock(block.files, 56)), kPbrRecord);
    EXPECT_TRUE(EncodePhoneBookBlock(block.files, 52).empty()) << "does not fit";
}

TEST(PhoneBookBlockTest, SeveralRecordsAndDamage) {
    const Bytes second = Hex("A80AC0034F3B02C6034F1D0AFFFF");
    const auto blocks = ParsePhoneBookBlocks({Hex(kPbrRecord), second});
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1].Find(pbr::kAdn)->fileId, 0x4F3B);
    EXPECT_FALSE(blocks[1].Find(pbr::kEmail));
    // A group whose length runs past the record gives nothing of it; a file without its ADN
    // is no block.
    EXPECT_TRUE(ParsePhoneBookBlocks({Hex("A8FFC0034F3A")}).empty());
    EXPECT_TRUE(ParsePhoneBookBlocks({Hex("A905CA034F50")}).empty());
}

TEST(AnrRecordTest, DecodesAndEncodesBothLinkTypes) {
    // AAS record 1, the number of AOSP's AdnRecordTest ("+18056377243"), no CCP nor EXT.
    const Bytes type1 = Hex("0107918150367742F3FFFFFFFFFFFF");
    AnrRecord anr = DecodeAnrRecord(type1, false);
    EXPECT_EQ(anr.aasRecord, 0x01);
    EXPECT_EQ(anr.number, "+18056377243");
    EXPECT_EQ(anr.extRecord, 0xFF);
    EXPECT_EQ(EncodeAnrRecord(anr, 15, false), type1);

    // Type 2: ADN SFI 01, ADN record 05.
    anr = DecodeAnrRecord(Hex("000481214365FFFFFFFFFFFFFFFFFF0105"), true);
    EXPECT_EQ(anr.number, "123456");
    EXPECT_EQ(anr.link, (AdnLink{0x01, 0x05}));
    anr.number = "1234";
    EXPECT_EQ(EncodeAnrRecord(anr, 17, true), Hex("0003812143FFFFFFFFFFFFFFFFFFFF0105"));
    anr.number.clear();
    EXPECT_EQ(EncodeAnrRecord(anr, 17, true), Bytes(17, 0xFF)) << "freed";
}

TEST(AnrRecordTest, KeepsBytesItDoesNotShow) {
    // A spare TON bit clear (0x11 instead of 0x91) and a non-filler nibble after the number:
    // both decode to the same text, and written back unchanged they stay.
    const Bytes odd = Hex("02041121436587FFFFFFFFFFFF0307");
    AnrRecord anr = DecodeAnrRecord(odd, false);
    EXPECT_EQ(EncodeAnrRecord(anr, 15, false), odd);
    anr.aasRecord = 0x03;
    const Bytes retyped = EncodeAnrRecord(anr, 15, false);
    EXPECT_EQ(retyped[0], 0x03);
    EXPECT_TRUE(std::equal(odd.begin() + 1, odd.end(), retyped.begin() + 1));
    // Too short to be an ANR: nothing decoded, nothing encoded.
    EXPECT_TRUE(DecodeAnrRecord(Hex("0107"), false).IsEmpty());
    EXPECT_TRUE(EncodeAnrRecord(anr, 16, true).empty());
}

TEST(TextRecordTest, EmailAndSecondNameWithAndWithoutTheType2Tail) {
    Bytes email = EncodeAlpha("alice@example.org", 20, AlphaForm::Ucs2);
    email.insert(email.end(), {0x01, 0x02});
    TextRecord text = DecodeTextRecord(email, true);
    EXPECT_EQ(text.text, "alice@example.org");
    EXPECT_EQ(text.link, (AdnLink{0x01, 0x02}));
    EXPECT_EQ(EncodeTextRecord(text, 22, true, AlphaForm::Ucs2), email);

    // A second name in UCS2 form 0x80, type 1: no tail.
    const Bytes sne = Hex("80738B5C0F660EFFFFFF");
    EXPECT_EQ(DecodeTextRecord(sne, false).text, "王小明");
    EXPECT_EQ(EncodeTextRecord(DecodeTextRecord(sne, false), 10, false, AlphaForm::Ucs2), sne);
    text.text.clear();
    EXPECT_EQ(EncodeTextRecord(text, 10, false, AlphaForm::Ucs2), Bytes(10, 0xFF));
}

TEST(GroupAndIapTest, GroupsAndPointers) {
    EXPECT_EQ(DecodeGroupRecord(Hex("0200050000")), (std::vector<int>{2, 5}));
    const Bytes read = Hex("0200050000");
    EXPECT_EQ(EncodeGroupRecord({2, 5}, read, 5), read) << "same groups, same bytes";
    EXPECT_EQ(EncodeGroupRecord({3}, read, 5), Hex("0300000000"));
    EXPECT_EQ(EncodeGroupRecord({1, 2, 3}, read, 2), Hex("0102")) << "as many as fit";

    EXPECT_EQ(DecodeIapRecord(Hex("03FF00")), (std::vector<int>{3, 0, 0}));
    EXPECT_EQ(SetIapPointer(Hex("03FF"), 1, 7, 2), Hex("0307"));
    EXPECT_EQ(SetIapPointer(Hex("0307"), 0, 0, 2), Hex("FF07"));
    EXPECT_EQ(SetIapPointer(Hex("0307"), 2, 9, 2), Hex("0307")) << "no such type 2 file";
}

TEST(ChangeTrackingTest, EntryControlAndChangeCounter) {
    EXPECT_FALSE(EntryMarkedChanged(Hex("0000")));
    EXPECT_EQ(MarkEntryChanged(Hex("0002")), Hex("0102")) << "the hidden byte stays";
    EXPECT_EQ(NextChangeCounter(Hex("0009")), Hex("000A"));
    EXPECT_EQ(NextChangeCounter(Hex("FFFF")), Hex("0001")) << "wraps past zero";
    EXPECT_EQ(DecodeChangeCounter(Hex("1234")), 0x1234);
}

TEST(UsimPhoneBookCorpusTest, Seeds) {
    ReplayCorpus("decode_usim_phonebook", fuzz::CheckDecodeUsimPhoneBook);
}

}  // namespace
}  // namespace pellucard
