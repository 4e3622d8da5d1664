// The fixed, service and last dialled numbers, the own numbers and the SMS parameters through
// the PC/SC channel: on the virtual GSM SIM where GSM 11.11 puts them, on the virtual USIM in
// the application (all but the last dialled numbers, which stay in DF Telecom).
#include <gtest/gtest.h>

#include "engine/card_runs.h"
#include "engine/message_centre.h"
#include "engine/phonebook_entry.h"
#include "platform/pcsc_channel.h"
#include "simulator/virtual_uicc_card.h"
#include "support/demo_rig.h"
#include "support/sim_card_terminal.h"

namespace pellucard::testing {
namespace {

class PcscDiallingFilesTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        QString error;
        if (GetParam()) {
            auto card = VirtualUiccCard::FromImage(DemoImage(), error);
            usim = card.get();
            owned = std::move(card);
        } else {
            auto card = VirtualSimCard::FromImage(DemoImage(), error);
            gsm = card.get();
            owned = std::move(card);
        }
        ASSERT_TRUE(owned) << error.toStdString();
        engine = std::make_unique<Pellucard>(
            std::make_unique<PcscChannel>(std::make_unique<SimCardTerminal>(owned)));
        ASSERT_TRUE(engine->OpenReader());
        ASSERT_TRUE(engine->ResetCard().IsDone());
        ASSERT_TRUE(engine->VerifyPin(1, "1234").IsDone());
    }
    CardImage Image() const { return usim ? usim->ToImage() : gsm->ToImage(); }
    std::vector<Bytes> Read(CardRecordFile file) {
        std::vector<Bytes> records;
        EXPECT_TRUE(ReadCardRecords(*engine, file,
                                    [&](int, const Bytes& raw) { records.push_back(raw); }, {})
                        .Complete())
            << EfNameOf(file);
        return records;
    }
    std::vector<Bytes> ImageRecords(const char* path) const {
        std::vector<Bytes> records;
        const CardImage image = Image();
        for (const auto& record : image.FindFile(path)->records)
            records.push_back(record.data);
        return records;
    }

    std::shared_ptr<SimCard> owned;
    VirtualSimCard* gsm = nullptr;
    VirtualUiccCard* usim = nullptr;
    std::unique_ptr<Pellucard> engine;
};

TEST_P(PcscDiallingFilesTest, FilesReadAsTheCardHoldsThemAndFixedDiallingTakesPin2) {
    EXPECT_EQ(Read(CardRecordFile::OwnNumbers), ImageRecords("3F00/7F10/6F40"));
    EXPECT_EQ(Read(CardRecordFile::ServiceDialling), ImageRecords("3F00/7F10/6F49"));
    EXPECT_EQ(Read(CardRecordFile::LastDialled), ImageRecords("3F00/7F10/6F44"));
    EXPECT_EQ(ReadMessageCentre(*engine).value, "+447700900000");

    const Bytes entry = EncodePhoneBookRecord("+441632960999", "Doctor", 28, AlphaForm::Ucs2);
    const auto writeThird = [&] {
        return WriteCardRecords(
            *engine, CardRecordFile::FixedDialling,
            [&](int number, int) { return number == 3 ? std::optional(entry) : std::nullopt; }, {});
    };
    const CardRunResult refused = writeThird();
    EXPECT_EQ(refused.ending, RunEnding::Refused);
    EXPECT_EQ(ClassOfStatusWord(refused.failure.statusWord), StatusClass::SecurityNotSatisfied);
    const std::vector<Bytes> before = ImageRecords("3F00/7F10/6F3B");
    ASSERT_EQ(before.size(), 5u);
    EXPECT_EQ(before[2], Bytes(28, 0xFF));

    ASSERT_TRUE(engine->VerifyPin(2, "5678").IsDone());
    EXPECT_TRUE(writeThird().Complete());
    std::vector<Bytes> expected = before;
    expected[2] = entry;
    EXPECT_EQ(ImageRecords("3F00/7F10/6F3B"), expected);
}

INSTANTIATE_TEST_SUITE_P(GsmAndUsim, PcscDiallingFilesTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Usim" : "Gsm"; });

}  // namespace
}  // namespace pellucard::testing
