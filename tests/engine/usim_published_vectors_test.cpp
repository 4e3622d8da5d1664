// USIM phone book records as other SIM software published them (test data of independent
// projects and card dumps, taken as facts: the bytes and what they mean), checked against our
// codecs: decoded to the published meaning and encoded from that meaning back to the same bytes.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/codec_alpha.h"
#include "engine/usim_phonebook_codecs.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::Hex;

struct PbrVector {
    const char* source;
    std::vector<std::string> records;  // the whole EF PBR; records after the first are unused
    std::vector<PhoneBookFile> files;  // what its first record lists, in its order
    std::vector<std::uint8_t> type2InIapOrder;
};

using namespace pbr;
constexpr std::uint8_t A8 = kType1, A9 = kType2, AA = kType3;
const std::string kUnused69(2 * 69, 'F');  // an unused record of 69 bytes, in hex

// Each published record as it stands, the files it lists three a line.
// clang-format off
const PbrVector kPbrVectors[] = {
    // osmocom/pysim, pySim/ts_31_102_telecom.py: the EF_PBR record noted beside the class.
    {"pysim ts_31_102_telecom",
     {"A80A C0034F3A02 C5034F0904 AA0A CB034F3D07 C2034F4A06"},
     {{kAdn, A8, 0x4F3A, 0x02}, {kPbc, A8, 0x4F09, 0x04}, {kCcp1, AA, 0x4F3D, 0x07},
      {kExt1, AA, 0x4F4A, 0x06}}, {}},
    // osmocom/pysim, tests/card_sanitizer/card_backup_3b9f96801fc78031a073be21136743200718000001a5_
    // 8988211320300000028.script: a real card's DF.TELECOM/DF.PHONEBOOK/EF.PBR, four records of
    // 69 bytes (the card_backup_3b9f96801f878031e073fe211b674a35... dump holds the same first
    // record in a one-record file).
    {"pysim card_sanitizer dump",
     {"A81E C0034F3A01 C1034F3202 C3034F5414 C5034F0904 C6034F5212 C9034F2109"
      "A90A C4034F1108 CA034F500D"
      "AA14 C2034F4A03 C7034F4B06 C8034F5313 CB034F4F16 FFFFFF",
      kUnused69, kUnused69, kUnused69},
     {{kAdn, A8, 0x4F3A, 0x01}, {kIap, A8, 0x4F32, 0x02}, {kSne, A8, 0x4F54, 0x14},
      {kPbc, A8, 0x4F09, 0x04}, {kGrp, A8, 0x4F52, 0x12}, {kUid, A8, 0x4F21, 0x09},
      {kAnr, A9, 0x4F11, 0x08}, {kEmail, A9, 0x4F50, 0x0D},
      {kExt1, AA, 0x4F4A, 0x03}, {kAas, AA, 0x4F4B, 0x06}, {kGas, AA, 0x4F53, 0x13},
      {kCcp1, AA, 0x4F4F, 0x16}}, {kAnr, kEmail}},
    // osmocom/pysim, tests/card_sanitizer/card_backup_3b9f95801fc78031e073f62113674d4516004301008f_
    // 89445310150011013678.script: another card's one-record EF.PBR, filled to its 24 bytes with
    // no FF after; EXT1 is listed before CCP1 and keeps its place.
    {"pysim card_sanitizer dump 3b9f95",
     {"A80A C0034F3A01 C5034F6904 AA0A C2034F4A08 CB034F3D09"},
     {{kAdn, A8, 0x4F3A, 0x01}, {kPbc, A8, 0x4F69, 0x04},
      {kExt1, AA, 0x4F4A, 0x08}, {kCcp1, AA, 0x4F3D, 0x09}}, {}},
    // AOSP device/generic/goldfish (GrapheneOS/device_generic_goldfish mirror),
    // data/etc/iccprofile_for_sim0.xml: the emulator SIM's 64-byte EF_PBR record; its EF_IAP is
    // one byte a record, for the one type 2 file.
    {"aosp goldfish iccprofile_for_sim0",
     {"A81E C0034F3A01 C1034F3306 C5034F0902 C4034F1104 C6034F2503 C9034F3107"
      "A905 CA034F5008"
      "AA0F C2034F4A09 C7034F4B0A C8034F4C0B FFFFFFFFFFFFFFFF"},
     {{kAdn, A8, 0x4F3A, 0x01}, {kIap, A8, 0x4F33, 0x06}, {kPbc, A8, 0x4F09, 0x02},
      {kAnr, A8, 0x4F11, 0x04}, {kGrp, A8, 0x4F25, 0x03}, {kUid, A8, 0x4F31, 0x07},
      {kEmail, A9, 0x4F50, 0x08},
      {kExt1, AA, 0x4F4A, 0x09}, {kAas, AA, 0x4F4B, 0x0A}, {kGas, AA, 0x4F4C, 0x0B}}, {kEmail}},
    // mozilla/gecko-dev, dom/system/gonk/tests/test_ril_worker_icc_ICCRecordHelper.js,
    // test_read_pbr: an ADN-only block and an unused second record.
    {"gecko test_read_pbr", {"A805 C0034F3A01", "FFFFFFFFFFFF"}, {{kAdn, A8, 0x4F3A, 0x01}}, {}},
};
// clang-format on

TEST(PublishedVectorsTest, PhoneBookReference) {
    for (const PbrVector& vector : kPbrVectors) {
        SCOPED_TRACE(vector.source);
        std::vector<Bytes> records;
        for (const std::string& record : vector.records)
            records.push_back(Hex(record));
        const auto blocks = ParsePhoneBookBlocks(records);
        ASSERT_EQ(blocks.size(), 1u) << "unused records end the blocks";
        const PhoneBookBlock& block = blocks[0];
        EXPECT_EQ(block.files, vector.files);
        for (std::size_t i = 0; i < vector.type2InIapOrder.size(); ++i)
            EXPECT_EQ(block.IapIndex(*block.Find(vector.type2InIapOrder[i])), static_cast<int>(i));
        EXPECT_EQ(EncodePhoneBookBlock(vector.files, records[0].size()), records[0]);
    }
}

struct AnrVector {
    const char* source;
    const char* record;
    bool type2;
    AnrRecord meaning;
};

// clang-format off
const AnrVector kAnrVectors[] = {
    // mozilla/gecko-dev, dom/system/gonk/tests/test_ril_worker_icc_ICCRecordHelper.js,
    // test_read_anr: AAS record 1, "0123456" (TON/NPI 81). Mozilla gives the record's first nine
    // bytes; the rest of a 15-byte record is FF filler.
    {"gecko test_read_anr",
     "01 05 81 103254F6FFFFFFFFFFFF FF FF", false, {0x01, "0123456", 0xFF, 0xFF, {}, {}}},
    // The same file, test_update_anr: "+123456789" in a type 1 record and "123456789" in a
    // type 2 record pointing at ADN SFI 01, record 1. Mozilla leaves the AAS, CCP and EXT bytes
    // unchecked; FF (none) here.
    {"gecko test_update_anr type 1",
     "FF 06 91 21436587F9FFFFFFFFFF FF FF", false, {0xFF, "+123456789", 0xFF, 0xFF, {}, {}}},
    {"gecko test_update_anr type 2", "FF 06 81 21436587F9FFFFFFFFFF FF FF 01 01", true,
     {0xFF, "123456789", 0xFF, 0xFF, {0x01, 0x01}, {}}},
};
// clang-format on

TEST(PublishedVectorsTest, AdditionalNumber) {
    for (const AnrVector& vector : kAnrVectors) {
        SCOPED_TRACE(vector.source);
        const Bytes record = Hex(vector.record);
        const auto meaning = [](const AnrRecord& anr) {
            return std::tie(anr.aasRecord, anr.number, anr.ccpRecord, anr.extRecord, anr.link);
        };
        EXPECT_EQ(meaning(DecodeAnrRecord(record, vector.type2)), meaning(vector.meaning));
        // From the meaning alone, without the bytes read.
        EXPECT_EQ(EncodeAnrRecord(vector.meaning, record.size(), vector.type2), record);
    }
    // Mozilla's nine bytes as they stand are shorter than any ANR record: no number is made up
    // from them, and no record of that length is written.
    EXPECT_TRUE(DecodeAnrRecord(Hex("0105811032 54F6FFFF"), false).IsEmpty());
    EXPECT_TRUE(EncodeAnrRecord(kAnrVectors[0].meaning, 9, false).empty());
}

struct EmailVector {
    const char* source;
    const char* record;
    bool type2;
    TextRecord meaning;
};

// clang-format off
const EmailVector kEmailVectors[] = {
    // mozilla/gecko-dev, dom/system/gonk/tests/test_ril_worker_icc_ICCRecordHelper.js,
    // test_read_email: one 19-byte record in the GSM default alphabet ("@" is 00); read as
    // type 2 its last two bytes are the ADN link (SFI 02, record 0x23), read as type 1 they are
    // text ("$" and "#").
    {"gecko test_read_email type 2",
     "656D61696C 00 6D6F7A696C6C612E636F6D 02 23", true,
     {"email@mozilla.com", {0x02, 0x23}, {}}},
    {"gecko test_read_email type 1",
     "656D61696C 00 6D6F7A696C6C612E636F6D 02 23", false,
     {"email@mozilla.com$#", {}, {}}},
    // The same file, test_update_email: "test@mail.com" in a 32-byte type 1 record, and in a
    // type 2 record linked to ADN SFI 01, record 1.
    {"gecko test_update_email type 1",
     "74657374 00 6D61696C2E636F6D FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", false,
     {"test@mail.com", {}, {}}},
    {"gecko test_update_email type 2",
     "74657374 00 6D61696C2E636F6D FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF 01 01", true,
     {"test@mail.com", {0x01, 0x01}, {}}},
};
// clang-format on

TEST(PublishedVectorsTest, Email) {
    for (const EmailVector& vector : kEmailVectors) {
        SCOPED_TRACE(vector.source);
        const Bytes record = Hex(vector.record);
        const TextRecord email = DecodeTextRecord(record, vector.type2);
        EXPECT_EQ(std::tie(email.text, email.link),
                  std::tie(vector.meaning.text, vector.meaning.link));
        EXPECT_EQ(EncodeTextRecord(vector.meaning, record.size(), vector.type2, AlphaForm::Ucs2),
                  record);
    }
}

TEST(PublishedVectorsTest, IndexAdministration) {
    // mozilla/gecko-dev, dom/system/gonk/tests/test_ril_worker_icc_ICCRecordHelper.js,
    // test_read_iap and test_update_iap: a two-byte EF_IAP record 01 02 points at record 1 of
    // the first type 2 file and record 2 of the second, and writing [1, 2] gives those bytes.
    const Bytes record = Hex("0102");
    EXPECT_EQ(DecodeIapRecord(record), (std::vector<int>{1, 2}));
    EXPECT_EQ(SetIapPointer(SetIapPointer(Hex("FFFF"), 0, 1, 2), 1, 2, 2), record);
}

TEST(PublishedVectorsTest, FilesAsShipped) {
    // osmocom/pysim, tests/card_sanitizer/card_backup_3b9f...a5_8988211320300000028.script, and
    // the default contents pySim/esim/saip/templates.py gives for eSIM profiles: EF_CC 0000 and
    // EF_PUID 0000 (EF_PSC 00000000). The first change counts 0001; no unique identifier is in
    // use yet, so the first entry is given 0001.
    EXPECT_EQ(DecodeChangeCounter(Hex("0000")), 0);
    EXPECT_EQ(NextChangeCounter(Hex("0000")), Hex("0001"));
    EXPECT_EQ(DecodeUniqueId(Hex("0000")), 0);
    EXPECT_EQ(EncodeUniqueId(DecodeUniqueId(Hex("0000")) + 1, Hex("0000")), Hex("0001"));

    // pySim/esim/saip/templates.py: unused records as a profile creates them. ANR, EMAIL, SNE,
    // IAP, AAS and GAS all FF; EF_UID 0000 a record; EF_GRP all 00. (AOSP goldfish
    // iccprofile_for_sim0.xml ships its 20-byte EF_GAS records all FF the same way.) Each reads
    // as nothing, and writing nothing gives the same bytes back.
    for (const bool type2 : {false, true}) {
        const Bytes anr(type2 ? 17 : 15, 0xFF), text(type2 ? 22 : 20, 0xFF);
        EXPECT_TRUE(DecodeAnrRecord(anr, type2).IsEmpty());
        EXPECT_EQ(EncodeAnrRecord(AnrRecord{}, anr.size(), type2), anr);
        EXPECT_TRUE(DecodeTextRecord(text, type2).IsEmpty());
        EXPECT_EQ(EncodeTextRecord(TextRecord{}, text.size(), type2, AlphaForm::Ucs2), text);
    }
    EXPECT_EQ(DecodeIapRecord(Hex("FFFF")), (std::vector<int>{0, 0}));
    const Bytes groups(10, 0x00);
    EXPECT_TRUE(DecodeGroupRecord(groups).empty());
    EXPECT_EQ(EncodeGroupRecord({}, groups, 10), groups);
}

}  // namespace
}  // namespace pellucard
