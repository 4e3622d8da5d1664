#include <gtest/gtest.h>

#include <cstdint>

#include "engine/codec_alpha.h"
#include "engine/codec_digits.h"
#include "engine/codec_utf.h"
#include "engine/gsm7.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::Hex;

// --- dialling digits -------------------------------------------------------------------------

TEST(DecodeDigitsTest, ReadsLowNibbleFirstAndStopsAtEndNibble) {
    EXPECT_EQ(DecodeDigits(Hex("21F3"), 0, 2), "123");
    EXPECT_EQ(DecodeDigits(Hex("FFFF"), 0, 2), "");
    EXPECT_EQ(DecodeDigits(Hex("BADC"), 0, 2), "*#P");  // 0xD ends the number
    EXPECT_EQ(DecodeDigits(Hex("2143"), 0, 31), "");    // counts above 30 give nothing
    // An EF ICCID and one with an invalid nibble, from the AOSP telephony SimUtilsTest.
    EXPECT_EQ(DecodeDigits(Hex("981062400510444868F2"), 0, 10), "8901260450014484862");
    EXPECT_EQ(DecodeDigits(Hex("98E062400510444868F2"), 0, 10), "890");
    // Missing bytes read as absent.
    EXPECT_EQ(DecodeDigits(Hex("21"), 0, 10), "12");
    EXPECT_EQ(DecodeDigits(Hex("21"), 5, 10), "");
    EXPECT_EQ(DecodeDigits(Bytes{}, 0, 1), "");
    EXPECT_EQ(DecodeDigits(Hex("2143"), SIZE_MAX, 2), "");
}

TEST(DecodeDigitCountTest, OddCountNeverReadsTheFillerNibble) {
    // A filler written as 0 instead of F must not become a trailing digit.
    EXPECT_EQ(DecodeDigitCount(Hex("2103"), 0, 3), "123");
    EXPECT_EQ(DecodeDigitCount(Hex("21F3"), 0, 4), "123");
    EXPECT_EQ(DecodeDigitCount(Hex("21"), 0, 20), "12");
}

TEST(EncodeDigitsTest, PacksDialStringsWithFillerNibbles) {
    Bytes bytes;
    std::size_t position = 0;
    EncodeDigits("*#P", 4, bytes, position);
    EXPECT_EQ(ToHex(bytes), "BAFC");
    EXPECT_EQ(position, 2u);

    bytes.assign(12, 0x00);  // the unused nibble must be F even over zeros
    position = 1;
    EncodeDigits("123", 20, bytes, position);
    EXPECT_EQ(position, 11u);
    EXPECT_EQ(ToHex(bytes), "0021F3FFFFFFFFFFFFFFFF00");

    bytes.clear();
    position = 0;
    EncodeDigits("12p45", 3, bytes, position);  // cut at maxDigits, odd maxDigits rounds up
    EXPECT_EQ(ToHex(bytes), "21FC");
}

// --- GSM 7-bit alphabet and packing ----------------------------------------------------------

std::vector<std::uint8_t> Codes(std::string_view ascii) {
    std::vector<std::uint8_t> codes;
    for (char c : ascii)
        codes.push_back(static_cast<std::uint8_t>(TextToGsm(c)));
    return codes;
}

TEST(Gsm7PackingTest, HelloHelloExample) {
    // The GSM 03.38 packing example "hellohello" (also the SMS PDU tutorial's SMS-DELIVER).
    auto packed = PackSeptets(Codes("hellohello"));
    EXPECT_EQ(ToHex(packed), "E8329BFD4697D9EC37");
    EXPECT_EQ(GsmCodesToText(UnpackSeptets(packed, 10)), "hellohello");
}

TEST(GsmAlphabetTest, DefaultTableAgreesWithGsm0338) {
    // The default table in code order, as the AOSP GsmSmsTest lists it (escape shown as "@").
    // This program deliberately shows 0x09 as small c with cedilla and 0x24 as "$".
    const std::u32string reference =
        U"@\u00a3$\u00a5\u00e8\u00e9\u00f9\u00ec\u00f2\u00c7\n\u00d8\u00f8\r\u00c5\u00e5\u0394_"
        U"\u03a6\u0393\u039b\u03a9\u03a0\u03a8\u03a3\u0398\u039e@\u00c6\u00e6\u00df\u00c9"
        U" !\"#\u00a4%&'()*+,-./0123456789:;<=>?\u00a1ABCDEFGHIJKLMNOPQRSTUVWXYZ\u00c4\u00d6"
        U"\u00d1\u00dc\u00a7\u00bfabcdefghijklmnopqrstuvwxyz\u00e4\u00f6\u00f1\u00fc\u00e0";
    ASSERT_EQ(reference.size(), 128u);
    for (int code = 0; code < 128; ++code) {
        if (code == 0x09 || code == 0x1B || code == 0x24)
            continue;
        EXPECT_EQ(GsmToText(static_cast<std::uint8_t>(code)), reference[code]) << code;
        EXPECT_EQ(TextToGsm(reference[code]), code) << code;
    }
    EXPECT_EQ(GsmToText(0x09), U'\u00E7');
    EXPECT_EQ(GsmToText(0x24), U'$');
    EXPECT_EQ(TextToGsm(U'\u00E7'), 0x09);
    EXPECT_EQ(TextToGsm(U'$'), 0x02);
    EXPECT_EQ(TextToGsm(U'\u00A4'), 0x24);
}

TEST(GsmAlphabetTest, EscapeReachesTheExtensionTable) {
    // Extension codes and characters from the AOSP GsmSmsTest (testDecodeExtended).
    const std::uint8_t codes[] = {0x0a, 0x14, 0x28, 0x29, 0x2f, 0x3c, 0x3d, 0x3e, 0x40, 0x65};
    std::vector<std::uint8_t> escaped;
    for (auto code : codes) {
        escaped.push_back(kGsmEscape);
        escaped.push_back(code);
    }
    EXPECT_EQ(GsmCodesToText(escaped), "\f^{}\\[~]|\u20AC");
    auto unpacked = UnpackSeptets(PackSeptets(escaped), escaped.size());
    EXPECT_EQ(GsmCodesToText(unpacked), "\f^{}\\[~]|\u20AC");
    for (auto code : codes)
        EXPECT_EQ(TextToGsmExtension(GsmExtensionToText(code)), code);
}

TEST(GsmAlphabetTest, UnmappedEscapesFallBack) {
    // AOSP testDecodeExtendedFallback: two escapes give a blank, an unknown extension code its
    // default character; a dangling escape gives nothing.
    EXPECT_EQ(GsmCodesToText(std::vector<std::uint8_t>{0x1B, 0x1B, 0x41}), " A");
    EXPECT_EQ(GsmCodesToText(std::vector<std::uint8_t>{0x1B, 0x41}), "A");
    EXPECT_EQ(GsmCodesToText(std::vector<std::uint8_t>{0x41, 0x1B}), "A");
}

TEST(MeasureSmsTextTest, CountsSeptetsAndUtf16Units) {
    auto plain = MeasureSmsText("Caf\u00e9 \u0394");
    EXPECT_TRUE(plain.gsmDefault);
    EXPECT_EQ(plain.septets, 6);
    EXPECT_EQ(plain.utf16Units, 6);

    auto extended = MeasureSmsText("10\u20AC [x]");
    EXPECT_FALSE(extended.gsmDefault);
    EXPECT_TRUE(extended.gsmExtended);
    EXPECT_EQ(extended.septets, 10);
    EXPECT_EQ(extended.characters, 7);

    auto emoji = MeasureSmsText("ok \U0001F600");
    EXPECT_FALSE(emoji.gsmExtended);
    EXPECT_EQ(emoji.utf16Units, 5);
    EXPECT_EQ(emoji.characters, 4);
}

// --- UTF-8 / UTF-16 --------------------------------------------------------------------------

TEST(UtfTest, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf32("a\xC3\xA9"), U"a\u00E9");
    EXPECT_EQ(Utf8ToUtf32("\xC3"), U"\uFFFD");
    EXPECT_EQ(Utf8ToUtf32("\xC0\xAF"), U"\uFFFD\uFFFD");            // overlong "/"
    EXPECT_EQ(Utf8ToUtf32("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf8ToUtf32("\xF0\x9F\x98\x80"), U"\U0001F600");
}

TEST(UtfTest, SurrogatePairsBothWays) {
    Bytes bytes;
    AppendUtf16Be(bytes, U'\U0001F600');
    EXPECT_EQ(ToHex(bytes), "D83DDE00");
    EXPECT_EQ(Utf16BeToUtf8(bytes, false), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16BeToUtf8(Hex("D83D0041"), false),
              "\xEF\xBF\xBD"
              "A");  // lone high half
    EXPECT_EQ(Utf16BeToUtf8(Hex("0041FFFF0042"), true), "A");
    EXPECT_EQ(Utf16BeToUtf8(Hex("004100"), true), "A");  // odd byte ignored
}

// --- alpha identifiers -----------------------------------------------------------------------

TEST(DecodeAlphaTest, GsmAndUcs2Forms) {
    EXPECT_EQ(DecodeAlpha(Hex("426F62FFFF")), "Bob");
    EXPECT_EQ(DecodeAlpha(Hex("80004100 42FFFF")), "AB");
    EXPECT_EQ(DecodeAlpha(Hex("1B3C426F621B3EFF")), "[Bob]");
    // EF ADN alpha fields from the AOSP SimUtilsTest.
    EXPECT_EQ(DecodeAlpha(Hex("566F696365204D61696C")), "Voice Mail");
    EXPECT_EQ(DecodeAlpha(Hex("809673539A5764002F004DFFFFFFFFFF")), "\u9673\u539A\u5764/M");
    EXPECT_EQ(DecodeAlpha(Hex("810A01566FEC6365204DE0696CFFFFFF")), "Vo\u00ECce M\u00E0il");
    // The 3GPP TS 11.11 annex B example of form 0x82 (quoted in the AOSP SimUtilsTest).
    EXPECT_EQ(DecodeAlpha(Hex("820505302D82D32D31")), "-\u0532\u0583-1");
    // Forms 0x81 and 0x82 from the Mozilla B2G RIL worker tests.
    EXPECT_EQ(DecodeAlpha(Hex("8108D24D6F7A696C6C61CAFFFF")), "Mozilla\u694A");
    EXPECT_EQ(DecodeAlpha(Hex("820869004D6F7A696C6C61CAFFFF")), "Mozilla\u694A");
}

TEST(DecodeAlphaTest, SafeOnShortFieldsAndLargeCounts) {
    EXPECT_EQ(DecodeAlpha(Bytes{}), "");
    EXPECT_EQ(DecodeAlpha(Hex("81")), "");
    EXPECT_EQ(DecodeAlpha(Hex("8205")), "");
    EXPECT_EQ(DecodeAlpha(Hex("81FF0141")), "A");       // count beyond the field
    EXPECT_EQ(DecodeAlpha(Hex("82FF00414180")), "AA");  // base 0x0041 + 0
    EXPECT_EQ(DecodeAlpha(Hex("8000")), "");
    EXPECT_EQ(DecodeAlpha(Hex("426F62"), 1), "Bo");
    EXPECT_EQ(DecodeAlpha(Hex("426F62"), 99), "Bob");
    EXPECT_EQ(DecodeAlpha(Hex("426F62"), -1), "");
}

TEST(EncodeAlphaTest, GsmTextIsWrittenInTheDefaultAlphabet) {
    EXPECT_EQ(ToHex(EncodeAlpha("Caf\u00e9", 6, AlphaForm::Ucs2)), "43616605FFFF");
    EXPECT_EQ(ToHex(EncodeAlpha("\u0394", 2, AlphaForm::Ucs2)), "10FF");
    EXPECT_EQ(ToHex(EncodeAlpha("Voice Mail", 4, AlphaForm::Ucs2)), "566F6963");
    EXPECT_EQ(ToHex(EncodeAlpha("", 3, AlphaForm::Ucs2Base81)), "FFFFFF");
    EXPECT_TRUE(EncodeAlpha("Bob", 0, AlphaForm::Ucs2).empty());
}

TEST(EncodeAlphaTest, ExtensionCharactersNeedUcs2) {
    EXPECT_EQ(ToHex(EncodeAlpha("[A]", 8, AlphaForm::Ucs2)), "80005B0041005DFF");
}

TEST(EncodeAlphaTest, Form80WritesWholeCharactersOnly) {
    EXPECT_EQ(ToHex(EncodeAlpha("\u9673\u539A\u5764/M", 16, AlphaForm::Ucs2)),
              "809673539A5764002F004DFFFFFFFFFF");
    EXPECT_EQ(ToHex(EncodeAlpha("\u0416\u0416\u0416", 6, AlphaForm::Ucs2)), "8004160416FF");
    // An emoji is a surrogate pair, written whole or not at all.
    EXPECT_EQ(ToHex(EncodeAlpha("a\U0001F600", 6, AlphaForm::Ucs2)), "800061FFFFFF");
    Bytes field = EncodeAlpha("a\U0001F600", 7, AlphaForm::Ucs2);
    EXPECT_EQ(ToHex(field), "800061D83DDE00");
    EXPECT_EQ(DecodeAlpha(field), "a\U0001F600");
}

TEST(EncodeAlphaTest, Form81MatchesThePublishedExample) {
    // The Mozilla B2G RIL worker tests' form 0x81 field, encoded independently.
    EXPECT_EQ(ToHex(EncodeAlpha("Mozilla\u694A", 13, AlphaForm::Ucs2Base81)),
              "8108D24D6F7A696C6C61CAFFFF");
}

TEST(EncodeAlphaTest, Form81NeedsABaseThatFitsItsByte) {
    // Hangul has high byte 0xAC: twice that does not fit the base byte, so form 0x80 is used.
    Bytes field = EncodeAlpha("\uAC00\uAC01", 10, AlphaForm::Ucs2Base81);
    EXPECT_EQ(field[0], AlphaMark(AlphaForm::Ucs2));
    EXPECT_EQ(DecodeAlpha(field), "\uAC00\uAC01");
    // Characters in different 128-character windows cannot share a base either.
    field = EncodeAlpha("\u0416\u04A0", 10, AlphaForm::Ucs2Base81);
    EXPECT_EQ(field[0], AlphaMark(AlphaForm::Ucs2));
    // Upper half of a high byte: base byte is twice the high byte plus one.
    field = EncodeAlpha("x\u00FF\u0100", 10, AlphaForm::Ucs2Base81);
    EXPECT_EQ(field[0], AlphaMark(AlphaForm::Ucs2));  // U+00FF and U+0100 straddle two windows
    field = EncodeAlpha("\u7FC0\u7FFF", 6, AlphaForm::Ucs2Base81);
    EXPECT_EQ(ToHex(field), "8102FFC0FFFF");
    EXPECT_EQ(DecodeAlpha(field), "\u7FC0\u7FFF");
}

TEST(EncodeAlphaTest, Form82DecodesBackForAnyBase) {
    // Bases that are not multiples of 128 must still give back every character.
    for (std::u32string text : {std::u32string(U"-\u0532\u0583-1"), std::u32string(U"\u694A\u69C8"),
                                std::u32string(U"\uAC00\uAC7F a"), std::u32string(U"\uFF01x")}) {
        const std::string utf8 = Utf32ToUtf8(text);
        Bytes field = EncodeAlpha(utf8, 12, AlphaForm::Ucs2Base82);
        EXPECT_EQ(field[0], AlphaMark(AlphaForm::Ucs2Base82)) << utf8;
        EXPECT_EQ(DecodeAlpha(field), utf8);
    }
    // A span wider than 128 falls back to form 0x80.
    EXPECT_EQ(EncodeAlpha("\u0532\u05B3", 12, AlphaForm::Ucs2Base82)[0],
              AlphaMark(AlphaForm::Ucs2));
}

TEST(ChooseAlphaFormTest, PicksTheFormThatHoldsTheWholeName) {
    // 14-byte field: form 0x80 holds 6 characters, 0x81 holds 11, 0x82 holds 10.
    EXPECT_EQ(ChooseAlphaForm("\u0416\u0416\u0416", 14), AlphaForm::Ucs2);
    EXPECT_EQ(ChooseAlphaForm("\u0416\u0435\u043D\u044F Ivan", 14), AlphaForm::Ucs2Base81);
    EXPECT_EQ(ChooseAlphaForm("\uAC00\uAC01\uAC02\uAC03\uAC04\uAC05\uAC06", 14),
              AlphaForm::Ucs2Base82);
    // Nothing holds it whole: the form that holds the most.
    const std::string longName = "\u0416\u0435\u043D\u044F Ivanova Petrovna";
    EXPECT_EQ(ChooseAlphaForm(longName, 14), AlphaForm::Ucs2Base81);
    EXPECT_EQ(AlphaCharactersHeld(longName, 14, AlphaForm::Ucs2Base81), 11u);
    EXPECT_EQ(AlphaCharactersHeld(longName, 14, AlphaForm::Ucs2), 6u);
    EXPECT_EQ(ChooseAlphaForm("\uAC00\u0416\uAC00\u0416\uAC00\u0416\uAC00", 14), AlphaForm::Ucs2);
}

}  // namespace
}  // namespace pellucard
