#include <gtest/gtest.h>

#include "engine/sim_file_info.h"

namespace pellucard {
namespace {

// EF ADN as GSM 11.11 9.2.1 lays out the response: size, id, type 4, access, status, structure
// and record length.
Bytes ElementaryResponse(std::uint16_t size, std::uint8_t structure, std::uint8_t recordLength) {
    const auto high = static_cast<std::uint8_t>(size >> 8);
    const auto low = static_cast<std::uint8_t>(size);
    return {0,    0, high, low,  0x6F, 0x3A,      0x04,        0,
            0x11, 0, 0x44, 0x01, 0x02, structure, recordLength};
}

TEST(ParseFileInfoTest, LinearFixedFileGivesRecordCountRoundedHalfToEven) {
    auto info = ParseFileInfo(ElementaryResponse(0x00B0, 1, 0x1C));
    EXPECT_EQ(info.fileType, kFileTypeElementary);
    EXPECT_EQ(info.structure, 1);
    EXPECT_EQ(info.recordLength, 0x1C);
    EXPECT_EQ(info.sizeOrRecordCount, 6);  // 176 / 28 = 6.29
    EXPECT_EQ(info.readAccess, 1);
    EXPECT_EQ(info.updateAccess, 1);
    EXPECT_EQ(info.invalidateAccess, 4);
    EXPECT_EQ(info.fileIdHigh, 0x6F);
    EXPECT_EQ(info.fileIdLow, 0x3A);

    EXPECT_EQ(ParseFileInfo(ElementaryResponse(70, 1, 28)).sizeOrRecordCount, 2);  // 2.5 -> 2
    EXPECT_EQ(ParseFileInfo(ElementaryResponse(98, 1, 28)).sizeOrRecordCount, 4);  // 3.5 -> 4
    EXPECT_EQ(ParseFileInfo(ElementaryResponse(7000, 1, 28)).sizeOrRecordCount, 250);
    EXPECT_EQ(ParseFileInfo(ElementaryResponse(10, 0, 0)).sizeOrRecordCount, 10);
    EXPECT_EQ(ParseFileInfo(ElementaryResponse(176, 1, 0)).sizeOrRecordCount, 0)
        << "a zero record length must not divide by zero";
}

TEST(ParseFileInfoTest, ShortResponsesReadMissingBytesAsZero) {
    EXPECT_EQ(ParseFileInfo({}), SimFileInfo{});
    auto failed = ParseFileInfo({0x94, 0x04});
    EXPECT_EQ(failed.fileType, 0);
    EXPECT_EQ(failed.chv1AttemptsLeft, 0);
    auto truncated = ParseFileInfo({0x00, 0x00, 0x00, 0xB0, 0x6F, 0x3C, 0x04});
    EXPECT_EQ(truncated.sizeOrRecordCount, 176);
    EXPECT_EQ(truncated.recordLength, 0);
}

TEST(ParseFileInfoTest, MasterFileGivesTheChvCounters) {
    const Bytes mf = {0x00, 0x00, 0x1F, 0x40, 0x3F, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                      0x00, 0x0A, 0x83, 0x02, 0x05, 0x04, 0x00, 0x82, 0x8A, 0x83, 0x89};
    auto info = ParseFileInfo(mf);
    EXPECT_EQ(info.fileType, kFileTypeMaster);
    EXPECT_EQ(info.chv1Disabled, 0x80);
    EXPECT_EQ(info.characteristicsBit, 0x02u);
    EXPECT_EQ(info.chv1AttemptsLeft, 2);
    EXPECT_EQ(info.chv1Initialised, 0x80);
    EXPECT_EQ(info.unblockChv1AttemptsLeft, 10);
    EXPECT_EQ(info.chv2AttemptsLeft, 3);
    EXPECT_EQ(info.unblockChv2AttemptsLeft, 9);
    EXPECT_EQ(info.structure, 0) << "EF fields stay empty for a directory";
    EXPECT_EQ(info.sizeOrRecordCount, 0);
}

TEST(ReaderFileStatusTest, LayoutRoundTripsAndPutsFieldsWhereTheReaderDoes) {
    auto info = ParseFileInfo(ElementaryResponse(10, 0, 0));
    const Bytes layout = ReaderFileStatusLayout(info);
    ASSERT_EQ(layout.size(), 31u);
    EXPECT_EQ(layout[8], 0);
    EXPECT_EQ(layout[9], 10);
    EXPECT_EQ(layout[10], kFileTypeElementary);
    EXPECT_EQ(layout[29], 0x6F);
    EXPECT_EQ(layout[30], 0x3A);
    EXPECT_EQ(ParseReaderFileStatus(layout), info);
    EXPECT_EQ(ParseReaderFileStatus({0x01, 0x02}).readAccess, 0x02);
    EXPECT_EQ(ParseReaderFileStatus({0x01, 0x02}).fileIdLow, 0);
}

}  // namespace
}  // namespace pellucard
