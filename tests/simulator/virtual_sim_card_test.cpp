#include "simulator/virtual_sim_card.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <string>

#include "support/demo_rig.h"
#include "support/hex.h"

namespace pellucard {
namespace {

using testing::DemoImage;

using testing::Hex;

// A code as a handset sends it: the digits' character codes padded with FF to 8 bytes.
std::string Code(std::string_view digits) {
    std::string hex;
    for (char c : digits)
        hex += ToHex(Bytes{static_cast<std::uint8_t>(c)});
    hex.append(16 - hex.size(), 'F');
    return hex;
}

std::uint16_t Sw(const ApduResponse& r) {
    return static_cast<std::uint16_t>(r.sw1 << 8 | r.sw2);
}

class VirtualSimCardTest : public ::testing::Test {
protected:
    void SetUp() override { Load(DemoImage()); }

    void Load(const CardImage& image) {
        QString error;
        card = VirtualSimCard::FromImage(image, error);
        ASSERT_TRUE(card) << error.toStdString();
    }

    ApduResponse Send(std::string_view hex) { return card->Transmit(Hex(hex)); }
    std::uint16_t SwOf(std::string_view hex) { return Sw(Send(hex)); }

    // SELECT and GET RESPONSE as a handset does them; empty when the file was not found.
    Bytes Select(std::string_view id) {
        const auto select = Send("A0A4000002" + std::string(id));
        if (select.sw1 != 0x9F)
            return {};
        EXPECT_TRUE(select.data.empty());
        const auto response = card->Transmit(Bytes{0xA0, 0xC0, 0x00, 0x00, select.sw2});
        EXPECT_EQ(Sw(response), 0x9000);
        EXPECT_EQ(response.data.size(), select.sw2);
        return response.data;
    }
    void SelectPath(std::initializer_list<std::string_view> ids) {
        for (auto id : ids)
            ASSERT_FALSE(Select(id).empty()) << id;
    }
    std::uint16_t Verify(int chv, std::string_view digits) {
        return SwOf("A02000" + ToHex(Bytes{static_cast<std::uint8_t>(chv), 0x08}) + Code(digits));
    }
    std::string ReadRecord(int number, int mode, int length) {
        const auto r = card->Transmit(Bytes{0xA0, 0xB2, static_cast<std::uint8_t>(number),
                                            static_cast<std::uint8_t>(mode),
                                            static_cast<std::uint8_t>(length)});
        return Sw(r) == 0x9000 ? ToHex(r.data) : "SW " + ToHex(Bytes{r.sw1, r.sw2});
    }
    // Bytes 18..21 of the master file's response: CHV1, unblock CHV1, CHV2, unblock CHV2.
    std::string ChvStatus() {
        const auto mf = Select("3F00");
        return ToHex(Bytes(mf.begin() + 18, mf.begin() + 22));
    }

    std::unique_ptr<VirtualSimCard> card;
};

constexpr char kAliceRecord[] = "416C696365204D617274696EFFFF0791446123691032FFFFFFFFFFFF";
constexpr char kJoseRecord[] = "4A6F7305204D7E6C6C6572FFFFFF06813010325476FFFFFFFFFFFFFF";
constexpr char kEmptyDialling[] = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";

// --- SELECT responses, byte for byte (GSM 11.11 9.2.1) -------------------------------------

TEST_F(VirtualSimCardTest, SelectResponsesFollowGsm1111) {
    EXPECT_EQ(card->PowerOn(), Hex("3B199450454C4C5543415244"));
    const struct {
        std::initializer_list<std::string_view> path;
        const char* response;
    } files[] = {
        // RFU, free memory 0800, id, type 01, RFU, 10 bytes follow, characteristics 13 (CHV1
        // enabled), 2 DFs (7F10, 7F20), 1 EF (2FE2), 4 codes, RFU, CHV1 83, unblock CHV1 8A,
        // CHV2 83, unblock CHV2 8A (initialised, attempts left), RFU.
        {{"3F00"}, "000008003F000100000000000A1302010400838A838A00"},
        // DF Telecom: type 02, no DFs, 4 EFs (ADN, SMS, SMSP, LND).
        {{"7F10"}, "000008007F100200000000000A1300040400838A838A00"},
        // ICCID: 10 bytes, transparent; read ALW / update NEV, increase NEV, rehabilitate and
        // invalidate ADM, not invalidated, 2 bytes follow, structure 00, no record length.
        {{"3F00", "2FE2"}, "0000000A2FE204000FF04401020000"},
        // ADN: 250 records of 28 bytes (1B58), read and update CHV1, rehabilitate and
        // invalidate CHV2, linear fixed.
        {{"7F10", "6F3A"}, "00001B586F3A040011F0220102011C"},
        // SMS: 30 records of 176 bytes.
        {{"6F3C"}, "000014A06F3C040011F044010201B0"},
        // LND: cyclic (03), 10 records of 28 bytes.
        {{"6F44"}, "000001186F44040011F0440102031C"},
    };
    for (const auto& file : files) {
        Bytes response;
        for (auto id : file.path)
            response = Select(id);
        EXPECT_EQ(ToHex(response), file.response) << *file.path.begin();
    }
    EXPECT_EQ(Send("A0A40000027F20").sw2, 0x17);
}

// --- File selection (GSM 11.11 6.5) --------------------------------------------------------

TEST_F(VirtualSimCardTest, SelectReachesOnlyWhatTheCurrentDirectoryAllows) {
    EXPECT_EQ(SwOf("A0A40000026F3A"), 0x9404);  // not a child of the master file
    SelectPath({"7F10", "6F3A"});
    EXPECT_FALSE(Select("7F20").empty());       // the directory beside the current one
    EXPECT_EQ(SwOf("A0A40000026F3A"), 0x9404);  // 7F10's file, not 7F20's
    EXPECT_FALSE(Select("6F07").empty());
    EXPECT_EQ(SwOf("A0A40000022FE2"), 0x9404);  // the master file's EFs only from there
    EXPECT_FALSE(Select("3F00").empty());       // the master file from anywhere
    EXPECT_FALSE(Select("2FE2").empty());
    // A failed SELECT keeps the current file.
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    EXPECT_EQ(SwOf("A0A40000021234"), 0x9404);
    EXPECT_EQ(ReadRecord(1, 4, 28), kAliceRecord);
}

TEST_F(VirtualSimCardTest, SelectOnTheSecondLevelReachesParentAndSiblings) {
    auto image = DemoImage();
    auto addDirectory = [&](const char* path) {
        CardFile df;
        df.path = path;
        df.type = SimFileType::kDedicated;
        image.files.push_back(df);
    };
    addDirectory("3F00/7F10/5F3B");
    addDirectory("3F00/7F10/5F50");
    Load(image);
    SelectPath({"7F10", "5F3B"});
    EXPECT_FALSE(Select("5F50").empty());       // sibling
    EXPECT_EQ(SwOf("A0A40000026F3A"), 0x9404);  // the parent's EF is not reachable
    EXPECT_FALSE(Select("7F10").empty());       // parent
    SelectPath({"5F3B"});
    EXPECT_EQ(SwOf("A0A40000027F20"), 0x9404);               // a sibling of the parent is not
    EXPECT_EQ(ToHex(Select("7F10")).substr(28, 4), "0204");  // 2 DFs, 4 EFs
}

TEST_F(VirtualSimCardTest, GetResponseHandsOutOnlyWhatTheLastCommandLeft) {
    EXPECT_EQ(Sw(Send("A0A40000023F00")), 0x9F17);
    EXPECT_EQ(Sw(Send("A0C0000020")), 0x6717);  // asks for too much: told the length, kept
    const auto head = Send("A0C0000006");       // a shorter answer is fine
    EXPECT_EQ(Sw(head), 0x9000);
    EXPECT_EQ(ToHex(head.data), "000008003F00");
    EXPECT_EQ(SwOf("A0C0000017"), 0x6F00);  // handed out once
    EXPECT_EQ(Sw(Send("A0A40000022FE2")), 0x9F0F);
    EXPECT_EQ(SwOf("A0F2000017"), 0x9000);  // any other command in between ...
    EXPECT_EQ(SwOf("A0C000000F"), 0x6F00);  // ... discards it
    // STATUS answers for the current directory.
    SelectPath({"7F10", "6F3C"});
    const auto status = Send("A0F2000017");
    EXPECT_EQ(Sw(status), 0x9000);
    EXPECT_EQ(ToHex(status.data), "000008007F100200000000000A1300040400838A838A00");
    EXPECT_EQ(SwOf("A0F2000030"), 0x6717);
}

TEST_F(VirtualSimCardTest, MalformedCommandsGetTheirStatusWords) {
    EXPECT_EQ(SwOf("00A40000023F00"), 0x6E00);  // class 00 is a UICC's, not this card's
    EXPECT_EQ(SwOf("A0880000"), 0x6700);        // shorter than a header
    EXPECT_EQ(SwOf("A0EE000000"), 0x6D00);
    EXPECT_EQ(SwOf("A0A40400023F00"), 0x6B00);
    EXPECT_EQ(SwOf("A0A40000033F0000"), 0x6702);
    EXPECT_EQ(SwOf("A0A40000023F"), 0x6700);  // P3 promises more data than came
    EXPECT_EQ(SwOf("A0B00000013F"), 0x6700);  // data where none belongs
    EXPECT_EQ(SwOf("A0200003081234FFFFFFFFFFFF"), 0x6B00);
    EXPECT_EQ(SwOf("A020000104 31323334"), 0x6708);
    EXPECT_EQ(SwOf("A026000208" + Code("1234")), 0x6B00);  // CHV2 cannot be disabled
    EXPECT_EQ(SwOf("A0FA000000"), 0x9000);                 // SLEEP
}

// --- Reading and writing -------------------------------------------------------------------

TEST_F(VirtualSimCardTest, ReadBinaryChecksOffsetAndLength) {
    EXPECT_EQ(SwOf("A0B0000002"), 0x9400);  // no EF selected yet
    SelectPath({"2FE2"});
    const auto iccid = Send("A0B000000A");
    EXPECT_EQ(Sw(iccid), 0x9000);
    EXPECT_EQ(ToHex(iccid.data), "988802000021436587F8");
    EXPECT_EQ(ToHex(Send("A0B0000802").data), "87F8");
    EXPECT_EQ(SwOf("A0B0000804"), 0x6700);
    EXPECT_EQ(SwOf("A0B0000A01"), 0x9402);
    EXPECT_EQ(SwOf("A0B0800001"), 0x6B00);
    EXPECT_EQ(SwOf("A0D6000001FF"), 0x9804);  // ICCID: update NEV
    EXPECT_EQ(SwOf("A0B201041C"), 0x9408);    // records of a transparent file
}

TEST_F(VirtualSimCardTest, UpdateBinaryWritesWithinTheFile) {
    SelectPath({"7F20", "6F46"});  // SPN: update ADM
    EXPECT_EQ(SwOf("A0D6000001FF"), 0x9804);
    auto image = DemoImage();
    image.FindFile("3F00/7F20/6F46")->access.update = access_level::kAlways;
    Load(image);
    SelectPath({"7F20", "6F46"});
    EXPECT_EQ(SwOf("A0D60010024142"), 0x6700);  // runs past the 17 bytes
    EXPECT_EQ(SwOf("A0D600110141"), 0x9402);
    EXPECT_EQ(SwOf("A0D600010250"), 0x6700);  // P3 says 2, one byte came
    EXPECT_EQ(SwOf("A0D60001025065"), 0x9000);
    EXPECT_EQ(ToHex(Send("A0B0000004").data), "0150656C");
}

TEST_F(VirtualSimCardTest, PhoneBookNeedsChv1WhileEnabledAndNotVerified) {
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9804");
    EXPECT_EQ(SwOf("A0DC01041C" + std::string(kEmptyDialling)), 0x9804);
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    EXPECT_EQ(ReadRecord(1, 4, 28), kAliceRecord);
    // A reset forgets the verification and the current file.
    card->PowerOn();
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9400");
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9804");
    // ICCID, SPN, SST and phase are readable without a PIN; the IMSI is not.
    SelectPath({"3F00", "2FE2"});
    EXPECT_EQ(SwOf("A0B000000A"), 0x9000);
    SelectPath({"7F20", "6F38"});
    EXPECT_EQ(SwOf("A0B0000005"), 0x9000);
    SelectPath({"6F07"});
    EXPECT_EQ(SwOf("A0B0000009"), 0x9804);
}

TEST_F(VirtualSimCardTest, DisabledChv1OpensThePhoneBookFromReset) {
    auto image = DemoImage();
    image.chv1Enabled = false;
    Load(image);
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(2, 4, 28), kJoseRecord);
    EXPECT_EQ(Verify(1, "1234"), 0x9808);  // nothing to verify
    // CHV2 stays a condition of its own.
    EXPECT_EQ(SwOf("A004000000"), 0x9804);  // INVALIDATE ADN needs CHV2
}

TEST_F(VirtualSimCardTest, ReadRecordModesMoveTheRecordPointer) {
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(0, 4, 28), "SW 9402");  // no current record yet
    EXPECT_EQ(ReadRecord(5, 4, 28).substr(0, 6), "810B08");
    EXPECT_EQ(ReadRecord(0, 2, 28), kAliceRecord);  // absolute mode left the pointer alone
    EXPECT_EQ(ReadRecord(0, 2, 28), kJoseRecord);
    EXPECT_EQ(ReadRecord(0, 4, 28), kJoseRecord);  // current
    EXPECT_EQ(ReadRecord(0, 3, 28), kAliceRecord);
    EXPECT_EQ(ReadRecord(0, 3, 28), "SW 9402");  // no record before the first
    EXPECT_EQ(ReadRecord(250, 4, 28), kEmptyDialling);
    EXPECT_EQ(ReadRecord(251, 4, 28), "SW 9402");
    EXPECT_EQ(ReadRecord(1, 4, 20), "SW 671C");
    EXPECT_EQ(ReadRecord(1, 5, 28), "SW 6B00");
    // Right after SELECT, previous means the last record: how the SMS parameters are read.
    SelectPath({"6F42"});
    EXPECT_EQ(ReadRecord(0, 3, 40).substr(0, 12), "54726176656C");  // "Travel"
    SelectPath({"6F42"});
    EXPECT_EQ(ReadRecord(0, 2, 40).substr(0, 8), "486F6D65");  // "Home"
    EXPECT_EQ(ReadRecord(0, 2, 40).substr(0, 8), "54726176");
    EXPECT_EQ(ReadRecord(0, 2, 40), "SW 9402");  // no record after the last
}

TEST_F(VirtualSimCardTest, UpdateRecordWritesTheAddressedRecord) {
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    SelectPath({"7F10", "6F3A"});
    const std::string bob = "426F62FFFFFFFFFFFFFFFFFFFFFF03812143FFFFFFFFFFFFFFFFFFFF";
    EXPECT_EQ(SwOf("A0DC03041C" + bob), 0x9000);
    EXPECT_EQ(ReadRecord(3, 4, 28), bob);
    EXPECT_EQ(SwOf("A0DC03041B" + bob.substr(2)), 0x671C);
    EXPECT_EQ(SwOf("A0DCFB041C" + bob), 0x9402);
    EXPECT_EQ(SwOf("A0DC00021C" + std::string(kEmptyDialling)), 0x9000);  // next: record 1
    EXPECT_EQ(SwOf("A0DC00021C" + bob), 0x9000);                          // record 2
    EXPECT_EQ(ReadRecord(1, 4, 28), kEmptyDialling);
    EXPECT_EQ(ReadRecord(2, 4, 28), bob);
    EXPECT_EQ(ReadRecord(4, 4, 28).substr(0, 6), "80738B");  // the neighbours untouched
}

TEST_F(VirtualSimCardTest, CyclicFileTurnsOnUpdateAndWrapsOnRead) {
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    SelectPath({"7F10", "6F44"});
    const std::string latest = "FFFFFFFFFFFFFFFFFFFFFFFFFFFF038121F3FFFFFFFFFFFFFFFFFFFF";
    EXPECT_EQ(SwOf("A0DC01041C" + latest), 0x6B00);  // only PREVIOUS writes a cyclic file
    EXPECT_EQ(SwOf("A0DC00031C" + latest), 0x9000);
    EXPECT_EQ(ReadRecord(1, 4, 28), latest);        // the new record is record 1 ...
    EXPECT_EQ(ReadRecord(2, 4, 28), kAliceRecord);  // ... the others move down
    EXPECT_EQ(ReadRecord(10, 4, 28), kEmptyDialling);
    SelectPath({"6F44"});
    EXPECT_EQ(ReadRecord(0, 3, 28), kEmptyDialling);  // previous from the start: record 10
    EXPECT_EQ(ReadRecord(0, 2, 28), latest);          // next after the last wraps to record 1
}

TEST_F(VirtualSimCardTest, InvalidatedFileRefusesContentUntilRehabilitated) {
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    EXPECT_EQ(SwOf("A004000000"), 0x9804);  // needs CHV2
    EXPECT_EQ(Verify(2, "5678"), 0x9000);
    EXPECT_EQ(SwOf("A004000000"), 0x9000);
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9810");
    EXPECT_EQ(Select("6F3A")[11], 0x00);  // file status: invalidated
    EXPECT_EQ(SwOf("A044000000"), 0x9000);
    EXPECT_EQ(ReadRecord(1, 4, 28), kAliceRecord);
}

// --- CHV1 and CHV2 -------------------------------------------------------------------------

TEST_F(VirtualSimCardTest, WrongCodeCostsAnAttemptAndTheRightOneRestoresThem) {
    EXPECT_EQ(Verify(1, "4321"), 0x9804);
    EXPECT_EQ(Verify(1, "12345"), 0x9804);  // a prefix of the right code is still wrong
    EXPECT_EQ(ChvStatus(), "818A838A");
    EXPECT_EQ(Verify(1, "1234"), 0x9000);
    EXPECT_EQ(ChvStatus(), "838A838A");
    EXPECT_EQ(Verify(2, "1234"), 0x9804);
    EXPECT_EQ(ChvStatus(), "838A828A");
    // A wrong code withdraws an earlier verification.
    EXPECT_EQ(Verify(1, "0000"), 0x9804);
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9804");
}

TEST_F(VirtualSimCardTest, ThreeWrongCodesBlockChv1UntilUnblocked) {
    EXPECT_EQ(Verify(1, "0000"), 0x9804);
    EXPECT_EQ(Verify(1, "0000"), 0x9804);
    EXPECT_EQ(Verify(1, "0000"), 0x9840);  // no attempt left
    EXPECT_EQ(Verify(1, "1234"), 0x9840);  // blocked: even the right code
    EXPECT_EQ(SwOf("A026000108" + Code("1234")), 0x9840);
    EXPECT_EQ(ChvStatus(), "808A838A");
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9804");

    EXPECT_EQ(SwOf("A02C000010" + Code("11111111") + Code("4321")), 0x9804);
    EXPECT_EQ(ChvStatus(), "8089838A");
    // GSM 11.11 names CHV1 with P2 = 00 in UNBLOCK CHV.
    EXPECT_EQ(SwOf("A02C000010" + Code("12345678") + Code("4321")), 0x9000);
    EXPECT_EQ(ChvStatus(), "838A838A");
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), kAliceRecord);  // unblocking verified the new code
    card->PowerOn();
    EXPECT_EQ(Verify(1, "1234"), 0x9804);
    EXPECT_EQ(Verify(1, "4321"), 0x9000);
}

TEST_F(VirtualSimCardTest, UnblockChv2ResetsItsOwnCountersAndTenWrongCodesBlockForGood) {
    for (int i = 0; i < 3; ++i)
        Verify(2, "0000");
    EXPECT_EQ(ChvStatus(), "838A808A");
    EXPECT_EQ(SwOf("A02C000210" + Code("12345678") + Code("9999")), 0x9804);  // CHV1's code
    EXPECT_EQ(SwOf("A02C000210" + Code("87654321") + Code("9999")), 0x9000);
    EXPECT_EQ(ChvStatus(), "838A838A");
    card->PowerOn();
    EXPECT_EQ(Verify(2, "9999"), 0x9000);

    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(SwOf("A02C000110" + Code("00000000") + Code("4321")), 0x9804) << i;
    EXPECT_EQ(SwOf("A02C000110" + Code("00000000") + Code("4321")), 0x9840);
    EXPECT_EQ(SwOf("A02C000110" + Code("12345678") + Code("4321")), 0x9840);
    EXPECT_EQ(ChvStatus(), "8380838A");
    EXPECT_EQ(Verify(1, "1234"), 0x9000);  // CHV1 itself is untouched
}

TEST_F(VirtualSimCardTest, DisableAndEnableChv1) {
    EXPECT_EQ(SwOf("A026000108" + Code("9999")), 0x9804);
    EXPECT_EQ(ChvStatus(), "828A838A");
    EXPECT_EQ(SwOf("A026000108" + Code("1234")), 0x9000);
    EXPECT_EQ(Select("3F00")[13], 0x93);  // CHV1-disabled bit set, the other characteristics kept
    EXPECT_EQ(ChvStatus(), "838A838A");   // the wrong try was forgiven by the right one
    EXPECT_EQ(SwOf("A026000108" + Code("1234")), 0x9808);  // already disabled
    card->PowerOn();
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), kAliceRecord);
    EXPECT_EQ(SwOf("A028000108" + Code("1234")), 0x9000);
    EXPECT_EQ(SwOf("A028000108" + Code("1234")), 0x9808);  // already enabled
    card->PowerOn();
    SelectPath({"7F10", "6F3A"});
    EXPECT_EQ(ReadRecord(1, 4, 28), "SW 9804");
}

TEST_F(VirtualSimCardTest, ChangeChvNeedsTheOldCodeAndAWellFormedNewOne) {
    EXPECT_EQ(SwOf("A024000110" + Code("0000") + Code("5555")), 0x9804);
    EXPECT_EQ(SwOf("A024000110" + Code("1234") + Code("55")), 0x6A80);  // too short
    EXPECT_EQ(SwOf("A024000110" + Code("1234") + "3535AA35FFFFFFFF"), 0x6A80);
    EXPECT_EQ(ChvStatus(), "828A838A");  // malformed new codes cost no attempt
    EXPECT_EQ(SwOf("A024000110" + Code("1234") + Code("55555555")), 0x9000);
    card->PowerOn();
    EXPECT_EQ(Verify(1, "1234"), 0x9804);
    EXPECT_EQ(Verify(1, "55555555"), 0x9000);
    EXPECT_EQ(SwOf("A024000210" + Code("5678") + Code("8765")), 0x9000);
    EXPECT_EQ(Verify(2, "8765"), 0x9000);
    // With CHV1 disabled there is no CHV1 to change.
    EXPECT_EQ(SwOf("A026000108" + Code("55555555")), 0x9000);
    EXPECT_EQ(SwOf("A024000110" + Code("55555555") + Code("1234")), 0x9808);
}

// --- Robustness ----------------------------------------------------------------------------

TEST_F(VirtualSimCardTest, RandomCommandsNeverBreakTheCardOrItsImage) {
    // Every file open to everything, so that random writes and invalidations get through.
    auto image = DemoImage();
    for (auto& file : image.files) {
        if (file.type == SimFileType::kElementary)
            file.access = AccessConditions{0, 0, 0, 0, 0};
    }
    Load(image);
    std::mt19937 random(20240315);
    auto pick = [&](std::size_t n) { return static_cast<int>(random() % n); };
    auto byte = [&](int value) { return ToHex(Bytes{static_cast<std::uint8_t>(value)}); };
    const char* ids[] = {"3F00", "2FE2", "7F10", "7F20", "6F3A", "6F3C", "6F42",
                         "6F44", "6F07", "6F46", "6F38", "6FAE", "5F3A"};
    const char* codes[] = {"1234", "5678", "12345678", "87654321", "0000", "99999999", "12"};
    const int recordLengths[] = {28, 40, 176};
    auto code = [&] { return Code(codes[pick(std::size(codes))]); };
    auto randomData = [&](int length) {
        std::string hex;
        for (int i = 0; i < length; ++i)
            hex += byte(pick(256));
        return hex;
    };
    // Well-formed commands of every kind, with plausible parameters ...
    const std::function<std::string()> commands[] = {
        [&] { return "A0A4000002" + std::string(ids[pick(std::size(ids))]); },
        [&] { return "A0F20000" + byte(pick(2) ? 0x17 : pick(256)); },
        [&] { return "A0C00000" + byte(pick(2) ? 0x0F : 0x17); },
        [&] { return "A0B000" + byte(pick(20)) + byte(1 + pick(20)); },
        [&] {
            const int length = 1 + pick(20);
            return "A0D600" + byte(pick(20)) + byte(length) + randomData(length);
        },
        [&] { return "A0B2" + byte(pick(14)) + byte(2 + pick(3)) + byte(recordLengths[pick(3)]); },
        [&] {
            const int length = recordLengths[pick(3)];
            return "A0DC" + byte(pick(14)) + byte(2 + pick(3)) + byte(length) + randomData(length);
        },
        [&] { return std::string(pick(2) ? "A004000000" : "A044000000"); },
        [&] { return "A02000" + byte(1 + pick(2)) + "08" + code(); },
        [&] { return "A02400" + byte(1 + pick(2)) + "10" + code() + code(); },
        [&] { return std::string(pick(2) ? "A026000108" : "A028000108") + code(); },
        [&] { return "A02C00" + byte(pick(3)) + "10" + code() + code(); },
        [&] { return std::string("A0FA000000"); },
    };
    const std::set<int> knownSw1 = {0x90, 0x9F, 0x94, 0x98, 0x67, 0x6A, 0x6B, 0x6D, 0x6E, 0x6F};

    for (int round = 0; round < 6000; ++round) {
        auto apdu = Hex(commands[pick(std::size(commands))]());
        // ... and now and then one spoilt: a byte changed, cut short or one too many.
        switch (pick(12)) {
            case 0:
                apdu[pick(apdu.size())] = static_cast<std::uint8_t>(pick(256));
                break;
            case 1:
                apdu.resize(pick(apdu.size()));
                break;
            case 2:
                apdu.push_back(static_cast<std::uint8_t>(pick(256)));
                break;
        }

        const auto response = card->Transmit(apdu);
        ASSERT_TRUE(knownSw1.count(response.sw1)) << ToHex(apdu) << " -> " << ToHex({response.sw1});
        ASSERT_TRUE(response.data.empty() || Sw(response) == 0x9000) << ToHex(apdu);
        ASSERT_LE(response.data.size(), 256u);
        if (response.sw1 == 0x9F && pick(2)) {
            const auto data = card->Transmit(Bytes{0xA0, 0xC0, 0x00, 0x00, response.sw2});
            ASSERT_EQ(data.data.size(), response.sw2);
        }
        if (pick(200) == 0)
            card->PowerOn();
        if (round % 1000 == 999) {
            // Whatever happened, the card's state is still a valid image and survives saving.
            const auto state = card->ToImage();
            CardImage reloaded;
            QString error;
            ASSERT_TRUE(ParseCardImage(SerializeCardImage(state), reloaded, error))
                << error.toStdString();
            ASSERT_EQ(reloaded, state);
        }
    }
}

}  // namespace
}  // namespace pellucard
