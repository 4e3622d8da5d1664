#include <gtest/gtest.h>

#include <algorithm>

#include "engine/gsm7.h"
#include "engine/sms_record.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::Hex;

// A card record: the status byte, then a PDU (service centre address and TPDU, as modems and
// test suites print them), then 0xFF to 176 bytes.
Bytes Record(std::uint8_t status, std::string_view pduHex) {
    Bytes record{status};
    Bytes pdu = Hex(pduHex);
    record.insert(record.end(), pdu.begin(), pdu.end());
    record.resize(std::max(record.size(), kSmsRecordLength), 0xFF);
    return record;
}

// --- published PDUs --------------------------------------------------------------------------

// SMS-DELIVER and SMS-SUBMIT examples of the widely reproduced "SMS and the PDU format"
// tutorial (also the Perl SMS::PDU test vectors).
constexpr const char* kTutorialDeliver =
    "07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37";
constexpr const char* kTutorialSubmit = "0011000B916407281553F80000AA0AE8329BFD4697D9EC37";

// AOSP telephony GsmSmsTest.testAddressing: received 2006-06-06 at UTC-07:00.
constexpr const char* kAospAddressing =
    "07914151551512F2040B916105551511F100006060605130308A04D4F29C0E";

TEST(DecodeSmsTest, TutorialDeliver) {
    auto sms = DecodeSmsRecord(Record(kSmsToBeRead, kTutorialDeliver));
    EXPECT_EQ(sms.status, kSmsToBeRead);
    EXPECT_EQ(sms.ServiceCentreNumber(), "+27381000015");
    EXPECT_EQ(sms.AddressText(), "27838890001");
    EXPECT_TRUE(sms.noMoreMessages);
    EXPECT_EQ(sms.text, "hellohello");
    EXPECT_EQ(sms.timeStamp, (SmsTimeStamp{99, 3, 29, 15, 16, 59, 8}));
    EXPECT_FALSE(sms.truncated);
}

TEST(DecodeSmsTest, TutorialSubmitWithoutServiceCentre) {
    // The service centre length is 0: there is no type byte, and the first octet follows.
    auto sms = DecodeSmsRecord(Record(kSmsToBeSent, kTutorialSubmit));
    EXPECT_EQ(sms.status, kSmsToBeSent);
    EXPECT_EQ(sms.serviceCentre.length, 0);
    EXPECT_EQ(sms.firstOctet, 0x11);
    EXPECT_EQ(sms.validityFormat, kValidityRelative);
    EXPECT_EQ(sms.AddressText(), "+46708251358");
    EXPECT_EQ(sms.validity, 0xAA);
    EXPECT_EQ(sms.text, "hellohello");
}

TEST(DecodeSmsTest, Ucs2Message) {
    // AOSP GsmSmsTest.testUcs2.
    auto sms = DecodeSmsRecord(Record(
        kSmsRead,
        "07912160130300F4040B914151245584F600087010807121352B10212200A900AE00680065006C006C006F"));
    EXPECT_TRUE(sms.ucs2);
    EXPECT_EQ(sms.text, "\u2122\u00a9\u00aehello");
    EXPECT_EQ(sms.timeStamp.timeZone, -32);
}

TEST(DecodeSmsTest, ConcatenatedSevenBitPartsSkipTheHeaderAndFillBits) {
    // AOSP GsmSmsTest.testMultipart: both parts of a two-part message, reference 0.
    const std::string part1 =
        "07916163838408F6440B816105224431F700007060217175830AA0050003"
        "00020162B1582C168BC562B1582C168BC562B1582C168BC562B1582C"
        "168BC562B1582C168BC562B1582C168BC562B1582C168BC562B1582C"
        "168BC562B1582C168BC562B1582C168BC562B1582C168BC562B1582C"
        "168BC562B1582C168BC562B1582C168BC562B1582C168BC562B1582C"
        "168BC562B1582C168BC562B1582C168BC562B1582C168BC562";
    auto first = DecodeSmsRecord(Record(kSmsRead, part1));
    EXPECT_EQ(first.text, std::string(153, '1'));
    ASSERT_TRUE(first.concatenation.has_value());
    EXPECT_EQ(first.concatenation->reference, 0);
    EXPECT_EQ(first.concatenation->partCount, 2);
    EXPECT_EQ(first.concatenation->partNumber, 1);
    EXPECT_EQ(ToHex(first.userDataHeader), "050003000201");
    EXPECT_EQ(first.AddressText(), "16502244137");

    auto second = DecodeSmsRecord(
        Record(kSmsRead,
               "07916163838408F6440B816105224431F700007060217185000A2305000300020262"
               "B1582C168BC96432994C2693C96432994C2693C96432990C"));
    EXPECT_EQ(second.text, "1111111222222222222222222222");
    EXPECT_EQ(second.concatenation->partNumber, 2);
    EXPECT_EQ(second.timeStamp.timeZone, -20);
}

TEST(DecodeSmsTest, HeaderWithPortsAndSixteenBitReference) {
    // AOSP GsmSmsTest.testUdh: 8-bit reference 42, part 1 of 2, ports 9200 -> 2948.
    auto wap = DecodeSmsRecord(Record(
        kSmsRead,
        "07914140279510F6440A8111110301003BF56080207130138A8C0B05040B8423F000032A02010106276170"
        "706C69636174696F6E2F766E642E7761702E6D6D732D6D65737361676500AF848D0185B4848C8298524E45"
        "3955304A6D7135514141426"
        "66C414141414D7741414236514141414141008D908918802B3135313232393737"));
    ASSERT_TRUE(wap.concatenation && wap.ports);
    EXPECT_EQ(wap.concatenation->reference, 42);
    EXPECT_EQ(wap.concatenation->partCount, 2);
    EXPECT_EQ(wap.concatenation->partNumber, 1);
    EXPECT_EQ(wap.ports->destination, 2948);
    EXPECT_EQ(wap.ports->origin, 9200);

    // The "pdu" npm module's tests: a UCS2 service message from "MCHS", 16-bit reference.
    auto mchs = DecodeSmsRecord(Record(
        kSmsRead,
        "07919730071111F14007D0CD21720A0008718042814134218B0608040AE50301041D04300020043E0441043D"
        "043E04320430043D043804380020043F0440043E0433043D043E0437043000200424041304110423002000AB"
        "04260435043D044204400430043B044C043D043E0435002004230413041C042100BB00200032003400200430"
        "043204330443044104420430002004320020041C043E0441043A043204350020"));
    EXPECT_EQ(mchs.ServiceCentreNumber(), "+79037011111");
    EXPECT_EQ(mchs.AddressText(), "MCHS");
    EXPECT_TRUE(mchs.originatingAddress.IsAlphanumeric());
    EXPECT_TRUE(mchs.text.starts_with("\u041d\u0430 \u043e\u0441\u043d\u043e\u0432"));
    ASSERT_TRUE(mchs.concatenation.has_value());
    EXPECT_EQ(mchs.concatenation->reference, 0x0AE5);
    EXPECT_EQ(mchs.concatenation->partCount, 3);
    EXPECT_EQ(mchs.concatenation->partNumber, 1);
    EXPECT_EQ(mchs.timeStamp, (SmsTimeStamp{17, 8, 24, 18, 14, 43, 12}));
}

TEST(DecodeSmsTest, OddDigitCountAndExtensionTable) {
    // AOSP GsmSmsTest.testEmailGateway: an odd digit count, "504", and the extension table.
    auto email = DecodeSmsRecord(
        Record(kSmsRead,
               "07914151551512F204038105F400007011103105458A29E6F71B50C687DB7076D9357EB741AF0D0A"
               "442FCFE9C23739BFE16D289BDEE6B5F1813629"));
    EXPECT_EQ(email.AddressText(), "504");
    // The e-mail gateway sends "sender /body"; AOSP splits it into foo@example.com and the body.
    EXPECT_EQ(email.text, "foo@example.com /{ testBody[^~\\] }");
}

// --- statuses and layout faults --------------------------------------------------------------

TEST(DecodeSmsTest, StatusByte) {
    struct Case {
        std::uint8_t byte;
        int status;
    };
    // Sent messages carrying status-report bits are still sent messages; 0x1F (what a row
    // without a status used to be written as) and 0xFF are not messages.
    for (auto [byte, status] :
         {Case{0x05, 5}, Case{0x07, 7}, Case{0x0D, 5}, Case{0x15, 5}, Case{0x1D, 5}, Case{0x0F, 7},
          Case{0x17, 7}, Case{0x1F, 31}, Case{0xFF, 31}, Case{0x02, 2}, Case{0x00, 0}}) {
        auto sms = DecodeSmsRecord(Record(byte, kTutorialSubmit));
        EXPECT_EQ(sms.status, status) << int(byte);
        EXPECT_EQ(sms.statusByte, byte);
        EXPECT_EQ(sms.text, sms.IsMessage() ? "hellohello" : "") << int(byte);
    }
    EXPECT_EQ(DecodeSmsRecord(Record(0x01, kTutorialDeliver)).status, kSmsRead);
    EXPECT_EQ(DecodeSmsRecord(Record(0x0B, kTutorialDeliver)).status, kSmsToBeRead);
}

TEST(DecodeSmsTest, SevenByteValidityPeriodsAreSkippedWhole) {
    // The tutorial SUBMIT with an absolute, an enhanced and no validity period.
    for (const auto& [pdu, format, bytes] :
         {std::tuple{"0019000B916407281553F80000993092516195800AE8329BFD4697D9EC37",
                     kValidityAbsolute, 7u},
          {"0009000B916407281553F8000001AA00000000000AE8329BFD4697D9EC37", kValidityEnhanced, 7u},
          {"0001000B916407281553F800000AE8329BFD4697D9EC37", kValidityNone, 0u}}) {
        const auto sms = DecodeSmsRecord(Record(kSmsToBeSent, pdu));
        EXPECT_EQ(sms.validityFormat, format) << pdu;
        EXPECT_EQ(sms.validityBytes.size(), bytes) << pdu;
        EXPECT_EQ(sms.text, "hellohello") << pdu;
    }
}

TEST(DecodeSmsTest, UserDataLengthsAreCutToTheLimits) {
    std::vector<std::uint8_t> codes(160, 0x41);
    Bytes record = Hex("01 00 04 0081 0000 FFFFFFFFFFFFFF FF");
    Bytes packed = PackSeptets(codes);
    record.insert(record.end(), packed.begin(), packed.end());
    EXPECT_EQ(DecodeSmsRecord(record).text, std::string(160, 'A'));

    Bytes ucs2 = Hex("01 00 04 0081 0008 FFFFFFFFFFFFFF A0");
    for (int i = 0; i < 80; ++i)
        ucs2.insert(ucs2.end(), {0x04, 0x16});
    auto sms = DecodeSmsRecord(ucs2);
    EXPECT_EQ(sms.text.size(), 140u);  // 70 two-byte UTF-8 characters
}

TEST(DecodeSmsTest, LineBreaksBecomeCrLf) {
    std::vector<std::uint8_t> codes = {0x61, 0x0A, 0x62, 0x0D, 0x63, 0x0D, 0x0A, 0x64};
    Bytes record = Hex("01 00 04 0081 0000 FFFFFFFFFFFFFF 08");
    Bytes packed = PackSeptets(codes);
    record.insert(record.end(), packed.begin(), packed.end());
    EXPECT_EQ(DecodeSmsRecord(record).text, "a\r\nb\r\nc\r\nd");
}

TEST(DecodeSmsTest, SafeOnEveryPrefixOfARecord) {
    const Bytes full = Record(kSmsRead, kAospAddressing);
    const std::size_t messageLength = 1 + Hex(kAospAddressing).size();
    for (std::size_t length = 0; length <= full.size(); ++length) {
        Bytes prefix(full.begin(), full.begin() + length);
        auto sms = DecodeSmsRecord(prefix);
        EXPECT_EQ(sms.raw, prefix);
        EXPECT_EQ(sms.truncated, length < messageLength) << length;
    }
    // Two status-word bytes, and lengths pointing far past the end.
    EXPECT_FALSE(DecodeSmsRecord(Hex("9000")).IsMessage());
    auto wild = DecodeSmsRecord(Hex("01FF"));
    EXPECT_TRUE(wild.truncated);
    wild = DecodeSmsRecord(Hex("0100 44 FF91 2143"));
    EXPECT_TRUE(wild.truncated);
    EXPECT_EQ(wild.AddressText(), "+1234");
}

// --- encoding --------------------------------------------------------------------------------

TEST(EncodeSmsTest, MatchesPublishedPdus) {
    // The AOSP DELIVER, time zone sign included, comes out byte for byte.
    EXPECT_EQ(EncodeSmsRecord("+16505551111", "Test", kSmsRead, {6, 6, 6, 15, 3, 3, -28},
                              "+14155551212", 0),
              Record(kSmsRead, kAospAddressing));
    EXPECT_EQ(EncodeSmsRecord("+14154255486", "\u2122\u00a9\u00aehello", kSmsRead,
                              {7, 1, 8, 17, 12, 53, -32}, "+12063130004", 0),
              Record(kSmsRead,
                     "07912160130300F4040B914151245584F600087010807121352B10212200A900"
                     "AE00680065006C006C006F"));
    // The tutorial SUBMIT, with this program's unset message reference 0xFF.
    EXPECT_EQ(EncodeSmsRecord(" +46708251358 ", "hellohello", kSmsToBeSent, {}, "", 0xAA),
              Record(kSmsToBeSent, "0011FF0B916407281553F80000AA0AE8329BFD4697D9EC37"));
}

TEST(EncodeSmsTest, AlphabetChoiceAndLimits) {
    auto euro = DecodeSmsRecord(EncodeSmsRecord("1", "5 \u20AC", kSmsToBeSent, {}, "", 0));
    EXPECT_EQ(euro.dataCoding, kDcsUcs2);
    EXPECT_EQ(euro.text, "5 \u20AC");

    auto gsm = DecodeSmsRecord(EncodeSmsRecord("1", std::string(170, 'x'), kSmsRead, {}, "", 0));
    EXPECT_EQ(gsm.dataCoding, kDcsGsm7);
    EXPECT_EQ(gsm.userDataLength, 160);
    EXPECT_EQ(gsm.text, std::string(160, 'x'));

    std::string cyrillic;
    for (int i = 0; i < 80; ++i)
        cyrillic += "\u0416";
    auto ucs2 = DecodeSmsRecord(EncodeSmsRecord("1", cyrillic, kSmsRead, {}, "", 0));
    EXPECT_EQ(ucs2.userDataLength, 140);
    EXPECT_EQ(ucs2.text, cyrillic.substr(0, 140));

    // A surrogate pair is never split at the limit.
    std::string emoji = std::string(69, 'a') + "\U0001F600";
    auto cut = DecodeSmsRecord(EncodeSmsRecord("1", emoji, kSmsRead, {}, "", 0));
    EXPECT_EQ(cut.userDataLength, 138);
    EXPECT_EQ(cut.text, std::string(69, 'a'));
    auto whole = DecodeSmsRecord(EncodeSmsRecord("1", "Hi \U0001F600", kSmsRead, {}, "", 0));
    EXPECT_EQ(whole.userDataLength, 10);
    EXPECT_EQ(whole.text, "Hi \U0001F600");
}

TEST(EncodeSmsTest, StatusWithoutAMessageGivesAFreeRecord) {
    Bytes expected(kSmsRecordLength, 0xFF);
    expected[0] = 0x00;
    EXPECT_EQ(EncodeSmsRecord("123", "text", 31, {}, "+1", 0), expected);
    EXPECT_EQ(EncodeSmsRecord("", "", 0, {}, "", 0), expected);
}

TEST(EncodeSmsTest, AlphanumericAddressSurvivesARewrite) {
    Bytes record = EncodeSmsRecord("_@", " ", kSmsRead, {}, "", 0);
    EXPECT_EQ(ToHex(Bytes(record.begin() + 3, record.begin() + 7)), "04D01100");  // as AOSP's
    for (std::string sender : {"Google", "PayPal", "Vodafone UK", "A"}) {
        auto sms = DecodeSmsRecord(EncodeSmsRecord(sender, "x", kSmsRead, {}, "", 0));
        EXPECT_TRUE(sms.originatingAddress.IsAlphanumeric()) << sender;
        EXPECT_EQ(sms.AddressText(), sender);
    }
    // Pauses and separators still make a number.
    auto dialled = DecodeSmsRecord(EncodeSmsRecord("+44 (20) 7946-0000p1", "x", 7, {}, "", 0));
    EXPECT_EQ(dialled.AddressText(), "+442079460000P1");
}

TEST(EncodeSmsTest, RoundTripsEveryStatus) {
    const SmsTimeStamp stamp{24, 2, 29, 23, 59, 58, -16};
    for (int status : {kSmsRead, kSmsToBeRead, kSmsSent, kSmsToBeSent}) {
        Bytes record = EncodeSmsRecord("+491701234567", "Line one\r\nline two \u00e9\u00e0", status,
                                       stamp, "+491722270333", 167);
        // Encoding what was decoded gives the record again: every field came back.
        auto sms = DecodeSmsRecord(record);
        EXPECT_EQ(sms.status, status);
        EXPECT_EQ(sms.text, "Line one\r\nline two \u00e9\u00e0");
        EXPECT_EQ(EncodeSmsRecord(sms.AddressText(), sms.text, sms.status, sms.timeStamp,
                                  sms.ServiceCentreNumber(), sms.validity),
                  record);
    }
}

// --- time stamps -----------------------------------------------------------------------------

TEST(SmsTimeStampTest, TextFormAndBack) {
    const SmsTimeStamp west{6, 6, 6, 15, 3, 3, -28};
    EXPECT_EQ(FormatSmsTimeStamp(west, 2024), "2006/06/06 15:03:03 (-28)");
    EXPECT_EQ(ParseSmsTimeStamp("2006/06/06 15:03:03 (-28)"), west);
    EXPECT_EQ(ParseSmsTimeStamp("  2006/06/06 15:03:03 (-28)  "), west);
    EXPECT_EQ(ParseSmsTimeStamp("1999/03/29 15:16:59 (8)").timeZone, 8);
    EXPECT_EQ(ParseSmsTimeStamp("1999/03/29 15:16:59 (08)").year, 99);
    EXPECT_EQ(ParseSmsTimeStamp(""), SmsTimeStamp{});
    EXPECT_EQ(FormatSmsTimeStamp({}, 2024), "");
    EXPECT_EQ(FormatSmsTimeStamp({25, 1, 1, 0, 0, 0, 0}, 2024), "1925/01/01 00:00:00 (00)");
    EXPECT_EQ(FormatSmsTimeStamp({24, 1, 1, 0, 0, 0, 0}, 2024), "2024/01/01 00:00:00 (00)");
}

TEST(SmsTimeStampTest, Bytes) {
    const auto west = EncodeSmsTimeStamp({6, 6, 6, 15, 3, 3, -28});
    EXPECT_EQ(ToHex(Bytes(west.begin(), west.end())), "6060605130308A");
    auto none = EncodeSmsTimeStamp({0, 6, 6, 15, 3, 3, 0});
    EXPECT_TRUE(std::all_of(none.begin(), none.end(), [](auto b) { return b == 0xFF; }));
    EXPECT_EQ(DecodeSmsTimeStamp(Hex("FFFFFFFFFFFFFF")), SmsTimeStamp{});
    EXPECT_EQ(DecodeSmsTimeStamp(Hex("99")).year, 99);  // missing bytes read as absent
    // Zones past what the byte holds are clamped, keeping the sign.
    EXPECT_EQ(DecodeSmsTimeStamp(EncodeSmsTimeStamp({1, 1, 1, 0, 0, 0, -108})).timeZone, -79);
}

}  // namespace
}  // namespace pellucard
