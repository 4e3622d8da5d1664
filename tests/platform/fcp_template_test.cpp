// UICC file control parameters, EF DIR, EF PBR and the service tables, decoded for the GSM view.
#include <gtest/gtest.h>

#include "engine/fcp_template.h"
#include "engine/usim_files.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::Hex;

TEST(FcpTemplateTest, ElementaryFilesGiveStructureRecordsAndSize) {
    FcpInfo adn;
    ASSERT_TRUE(ParseFcp(
        Hex("621F 820542 21001CFA 83024F3A A503C00140 8A0105 8B036F0602 80021B58 880108"), adn));
    EXPECT_EQ(adn.info.fileType, kFileTypeElementary);
    EXPECT_EQ(adn.info.structure, 1);
    EXPECT_EQ(adn.info.recordLength, 28);
    EXPECT_EQ(adn.info.sizeOrRecordCount, 250);
    EXPECT_EQ(adn.fileSize, 7000);
    EXPECT_EQ(adn.info.fileIdHigh, 0x4F);
    EXPECT_EQ(adn.info.fileIdLow, 0x3A);

    FcpInfo iccid;
    ASSERT_TRUE(ParseFcp(Hex("6217 82024121 83022FE2 8A0105 8B032F0601 8002000A 880110"), iccid));
    EXPECT_EQ(iccid.info.structure, 0);
    EXPECT_EQ(iccid.info.sizeOrRecordCount, 10);

    FcpInfo lnd;
    ASSERT_TRUE(ParseFcp(Hex("6212 820546 21001C0A 83026F44 8A0104 80020118"), lnd));
    EXPECT_EQ(lnd.info.structure, 3);
    EXPECT_EQ(lnd.info.sizeOrRecordCount, 10);
    EXPECT_EQ(lnd.info.invalidated, 0) << "life cycle 04: deactivated, GSM's invalidated";
}

TEST(FcpTemplateTest, GsmSelectResponsesReadBackAsTheSameFileInformation) {
    FcpInfo adn;
    ASSERT_TRUE(ParseFcp(Hex("6217 820542 21001CFA 83026F3A 8A0105 8B036F0602 80021B58"), adn));
    EXPECT_EQ(ParseFileInfo(GsmSelectResponse(adn.info)), adn.info);

    // 255 SMS records of 176 bytes: the GSM size field (unsigned, 16 bits) holds all 44880
    // bytes, so every record stays visible.
    FcpInfo sms;
    ASSERT_TRUE(ParseFcp(Hex("6212 820542 2100B0FF 83026F3C 8A0105 8B036F0602"), sms));
    EXPECT_EQ(ParseFileInfo(GsmSelectResponse(sms.info)).sizeOrRecordCount, 255);
    FcpInfo largest;
    ASSERT_TRUE(ParseFcp(Hex("6212 820542 2100FFFF 83026F3A 8A0105 8B036F0602"), largest));
    EXPECT_EQ(ParseFileInfo(GsmSelectResponse(largest.info)), largest.info);

    SimFileInfo master;
    master.fileType = kFileTypeMaster;
    master.fileIdHigh = 0x3F;
    master.chv1Disabled = 0x80;
    master.chv1AttemptsLeft = 2;
    master.chv1Initialised = 0x80;
    master.unblockChv2AttemptsLeft = 10;
    master.numberOfCodes = 4;
    EXPECT_EQ(ParseFileInfo(GsmSelectResponse(master)), master);
}

TEST(UsimFilesTest, DirRecordsNameTheirApplications) {
    const auto aids =
        ApplicationIds(Hex("611B 4F10A0000000871002FF49FF0589504341 52 5004 5553494D FFFFFFFF"));
    ASSERT_EQ(aids.size(), 1u);
    EXPECT_TRUE(IsUsimAid(aids[0]));
    EXPECT_FALSE(IsUsimAid(Hex("A0000000871004FF"))) << "an ISIM";
    EXPECT_TRUE(IsUsimAid(Hex("A0000000871002FFFFFFFFFFFFFFFFFF"))) << "16 bytes";
    EXPECT_FALSE(IsUsimAid(Hex("A0000000871002FFFFFFFFFFFFFFFFFF89"))) << "17 bytes are no AID";
    EXPECT_TRUE(ApplicationIds(Hex("FFFFFFFF")).empty());
}

}  // namespace
}  // namespace pellucard
