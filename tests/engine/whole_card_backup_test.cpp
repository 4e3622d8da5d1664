// A whole-card backup of the virtual card holds the fixed, service and last dialled numbers,
// the own numbers and the SMS parameters byte for byte, and a restore writes them back: the
// fixed dialling numbers only after PIN2, the cyclic last dialled numbers in their order.
#include <gtest/gtest.h>

#include <map>

#include "engine/card_backup.h"
#include "engine/message_centre.h"
#include "engine/phonebook_entry.h"
#include "support/demo_rig.h"

namespace pellucard {
namespace {

using testing::DemoRig;

// Every record file of the card image, by path.
std::map<std::string, std::vector<Bytes>> RecordFiles(const CardImage& image) {
    std::map<std::string, std::vector<Bytes>> files;
    for (const CardFile& file : image.files) {
        if (!file.IsRecordFile())
            continue;
        for (const CardRecord& record : file.records)
            files[file.path].push_back(record.data);
    }
    return files;
}

class WholeCardBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Start());
        ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
    }
    // Changes a record of every file of the card.
    void ChangeEveryFile() {
        Pellucard& e = *rig.engine;
        const Bytes entry = EncodePhoneBookRecord("+3312", "Changed", 28, AlphaForm::Ucs2);
        ASSERT_TRUE(e.VerifyPin(2, "5678").IsDone());
        for (const CardRecordFile file : {CardRecordFile::PhoneBook, CardRecordFile::FixedDialling,
                                          CardRecordFile::OwnNumbers}) {
            ASSERT_TRUE(e.EnterRecordFile(file).IsDone());
            ASSERT_TRUE(e.WriteFileRecord(file, 1, entry).IsDone()) << EfNameOf(file);
        }
        ASSERT_TRUE(e.EnterRecordFile(CardRecordFile::LastDialled).IsDone());
        ASSERT_TRUE(e.PushCyclicRecord(CardRecordFile::LastDialled, entry).IsDone());
        ASSERT_TRUE(WriteMessageCentre(e, "+3399").Done());
        // A new session: PIN1 again, PIN2 not verified.
        ASSERT_TRUE(rig.engine->ResetCard().IsDone());
        ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
    }
    BackupRunResult Restore(const CardBackup& backup, bool pin2) {
        RestorePlan plan;
        EXPECT_TRUE(PlanRestore(*rig.engine, backup, plan));
        plan.restoreOtherFiles = true;
        plan.pin2Verified = pin2;
        return RestoreCardBackup(*rig.engine, backup, plan);
    }
    DemoRig rig;
};

TEST_F(WholeCardBackupTest, RestoresEveryFileByteForByteAndFixedDiallingOnlyAfterPin2) {
    const auto original = RecordFiles(rig.card->ToImage());
    CardBackup backup;
    const BackupRunResult read = ReadCardBackup(*rig.engine, backup);
    ASSERT_TRUE(read.Ok());
    ASSERT_EQ(backup.otherFiles.size(), 5u);
    for (const BackupFile& held : backup.otherFiles) {
        const std::string path = "3F00/7F10/" + ToHex(Bytes{std::uint8_t(FileIdOf(held.file) >> 8),
                                                            std::uint8_t(FileIdOf(held.file))});
        EXPECT_EQ(held.records, original.at(path)) << path;
        EXPECT_EQ(held.cyclic, held.file == CardRecordFile::LastDialled);
    }

    ChangeEveryFile();
    ASSERT_NE(RecordFiles(rig.card->ToImage()), original);
    const BackupRunResult withoutPin2 = Restore(backup, false);
    EXPECT_TRUE(withoutPin2.Ok());
    EXPECT_FALSE(withoutPin2.AllRestored());
    ASSERT_EQ(withoutPin2.otherFiles.size(), 5u);
    // FDN waits for PIN2, SDN was never changed, the cyclic LND is written whole.
    std::map<CardRecordFile, std::pair<OtherFileEnding, int>> endings;
    for (const OtherFileRestore& file : withoutPin2.otherFiles)
        endings[file.file] = {file.ending, file.written};
    using enum OtherFileEnding;
    EXPECT_EQ(endings, (std::map<CardRecordFile, std::pair<OtherFileEnding, int>>{
                           {CardRecordFile::FixedDialling, {NeedsPin2, 0}},
                           {CardRecordFile::ServiceDialling, {Unchanged, 0}},
                           {CardRecordFile::OwnNumbers, {Written, 1}},
                           {CardRecordFile::LastDialled, {Written, 10}},
                           {CardRecordFile::SmsParameters, {Written, 1}}}));
    EXPECT_NE(RecordFiles(rig.card->ToImage()).at("3F00/7F10/6F3B"), original.at("3F00/7F10/6F3B"));

    ASSERT_TRUE(rig.engine->VerifyPin(2, "5678").IsDone());
    const BackupRunResult withPin2 = Restore(backup, true);
    EXPECT_TRUE(withPin2.AllRestored());
    EXPECT_EQ(RecordFiles(rig.card->ToImage()), original);
}

TEST_F(WholeCardBackupTest, RefusedFileIsReportedAndTheOthersStillRestored) {
    CardBackup backup;
    ASSERT_TRUE(ReadCardBackup(*rig.engine, backup).Ok());
    ChangeEveryFile();
    rig.card->AddRefusal({"6F40", CardRefusal::Command::Update, 1, 0x9808});
    ASSERT_TRUE(rig.engine->VerifyPin(2, "5678").IsDone());
    const BackupRunResult result = Restore(backup, true);
    EXPECT_TRUE(result.Ok());
    EXPECT_FALSE(result.AllRestored());
    for (const OtherFileRestore& file : result.otherFiles) {
        if (file.file == CardRecordFile::OwnNumbers) {
            EXPECT_EQ(file.ending, OtherFileEnding::Refused);
            EXPECT_EQ(file.failure, CardOutcome::Refused(0x9808));
            EXPECT_EQ(file.record, 1);
        } else {
            EXPECT_TRUE(file.Restored()) << EfNameOf(file.file);
        }
    }
}

TEST_F(WholeCardBackupTest, CardWithoutTheOtherFilesIsBackedUpWithoutThem) {
    CardImage image = testing::DemoImage();
    std::erase_if(image.files, [](const CardFile& file) {
        return file.path == "3F00/7F10/6F3B" || file.path == "3F00/7F10/6F40" ||
               file.path == "3F00/7F10/6F49";
    });
    QString error;
    auto card = VirtualSimCard::FromImage(image, error);
    ASSERT_TRUE(card) << error.toStdString();
    rig.reader->InsertCard(std::shared_ptr<VirtualSimCard>(std::move(card)));
    ASSERT_TRUE(rig.engine->ResetCard().IsDone());
    ASSERT_TRUE(rig.engine->VerifyPin(1, "1234").IsDone());
    CardBackup backup;
    ASSERT_TRUE(ReadCardBackup(*rig.engine, backup).Ok());
    ASSERT_EQ(backup.otherFiles.size(), 2u);
    EXPECT_EQ(backup.otherFiles[0].file, CardRecordFile::LastDialled);
    EXPECT_EQ(backup.otherFiles[1].file, CardRecordFile::SmsParameters);
}

}  // namespace
}  // namespace pellucard
