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

// The published PBR records (usim_published_vectors_test) hold one file of each kind; this one
// holds an ANR of each link type.
TEST(PhoneBookBlockTest, TwoFilesOfOneKindAreToldApart) {
    const PhoneBookBlock block = ParsePhoneBookBlocks({Hex(kPbrRecord)}).at(0);
    const auto anrs = block.All(pbr::kAnr);
    ASSERT_EQ(anrs.size(), 2u);
    EXPECT_EQ(anrs[0].linkType, pbr::kType1);
    EXPECT_EQ(block.Find(pbr::kAnr, 1)->fileId, 0x4F12);
    // The IAP holds one pointer per type 2 file, in PBR order; a type 1 file has none.
    EXPECT_EQ(block.IapIndex(anrs[1]), 0);
    EXPECT_EQ(block.IapIndex(anrs[0]), -1);
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
    // A type 2 record whose number is cleared is freed whole, its link with it.
    anr = DecodeAnrRecord(Hex("000481214365FFFFFFFFFFFFFFFFFF0105"), true);
    EXPECT_TRUE(EncodeAnrRecord(anr, 16, true).empty()) << "too short for the link";
    anr.number.clear();
    EXPECT_EQ(EncodeAnrRecord(anr, 17, true), Bytes(17, 0xFF));
}

// E-mail records with and without the type 2 tail: the published vectors.
TEST(TextRecordTest, SecondNameInUcs2) {
    const Bytes sne = Hex("80738B5C0F660EFFFFFF");
    EXPECT_EQ(DecodeTextRecord(sne, false).text, "王小明");
    EXPECT_EQ(EncodeTextRecord(DecodeTextRecord(sne, false), 10, false, AlphaForm::Ucs2), sne);
}

TEST(GroupAndIapTest, GroupsAndPointers) {
    EXPECT_EQ(DecodeGroupRecord(Hex("0200050000")), (std::vector<int>{2, 5}));
    const Bytes read = Hex("0200050000");
    EXPECT_EQ(EncodeGroupRecord({2, 5}, read, 5), read) << "same groups, same bytes";
    EXPECT_EQ(EncodeGroupRecord({3}, read, 5), Hex("0300000000"));
    EXPECT_EQ(EncodeGroupRecord({1, 2, 3}, read, 2), Hex("0102")) << "as many as fit";

    // Setting pointers: the published IAP vector.
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
