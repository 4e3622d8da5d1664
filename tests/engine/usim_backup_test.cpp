// The whole-card backup of a USIM holds its phone books (EF PBR and every file it lists, the
// counters beside them) byte for byte, and a restore writes back only the records that differ,
// never into a phone book laid out otherwise, and stops where the user asks.
#include <gtest/gtest.h>

#include <map>

#include "engine/card_backup.h"
#include "support/usim_rig.h"

namespace pellucard::testing {
namespace {

constexpr char kGlobal[] = "3F00/7F10/5F3A";
constexpr char kApplication[] = "3F00/7F20/5F3A";

// Restores `backup` onto the rig's card, the other files too.
BackupRunResult Restore(UsimRig& rig, const CardBackup& backup, RestorePlan& plan) {
    EXPECT_TRUE(PlanRestore(*rig.engine, backup, plan));
    plan.restoreOtherFiles = true;
    return RestoreCardBackup(*rig.engine, backup, plan);
}

// Every file of the image's phone books, records and body, by path.
std::map<std::string, std::vector<Bytes>> PhoneBookFiles(const CardImage& image) {
    std::map<std::string, std::vector<Bytes>> files;
    for (const CardFile& file : image.files) {
        if (file.path.rfind(kGlobal, 0) != 0 && file.path.rfind(kApplication, 0) != 0)
            continue;
        auto& held = files[file.path];
        held.push_back(file.body);
        for (const CardRecord& record : file.records)
            held.push_back(record.data);
    }
    return files;
}

void Scramble(CardImage& image, const std::string& path, std::size_t record) {
    CardFile* file = image.FindFile(path);
    ASSERT_TRUE(file) << path;
    Bytes& bytes = record == 0 ? file->body : file->records[record - 1].data;
    for (auto& byte : bytes)
        byte = std::uint8_t(byte ^ 0x5A);
}

TEST(UsimBackupTest, BothPhoneBooksComeBackByteForByteWritingOnlyWhatDiffers) {
    const CardImage original = WithApplicationPhoneBook();
    UsimRig source(original);
    CardBackup backup;
    ASSERT_TRUE(ReadCardBackup(*source.engine, backup).Ok());
    ASSERT_EQ(backup.usimPhoneBooks.size(), 2u);

    // Another card of the same layout whose phone books differ in a few records and bodies.
    CardImage scrambled = original;
    const std::string g = kGlobal;
    const std::string a = kApplication;
    Scramble(scrambled, g + "/4F50", 1);
    Scramble(scrambled, g + "/4F25", 2);
    Scramble(scrambled, g + "/4F4C", 3);
    Scramble(scrambled, g + "/4F23", 0);
    Scramble(scrambled, a + "/4F3A", 1);
    Scramble(scrambled, a + "/4F22", 0);
    ASSERT_NE(PhoneBookFiles(scrambled), PhoneBookFiles(original));
    UsimRig target(scrambled);
    RestorePlan plan;
    const BackupRunResult result = Restore(target, backup, plan);
    ASSERT_TRUE(result.AllRestored());
    ASSERT_EQ(result.usimPhoneBooks.size(), 2u);
    EXPECT_EQ(result.usimPhoneBooks[0].ending, UsimPhoneBookEnding::Written);
    EXPECT_EQ(result.usimPhoneBooks[0].written, 4);
    EXPECT_EQ(result.usimPhoneBooks[1].written, 2);
    EXPECT_EQ(PhoneBookFiles(target.card->ToImage()), PhoneBookFiles(original));
}

TEST(UsimBackupTest, APhoneBookLaidOutOtherwiseIsNotWritten) {
    const CardImage original = WithApplicationPhoneBook();
    UsimRig source(original);
    CardBackup backup;
    ASSERT_TRUE(ReadCardBackup(*source.engine, backup).Ok());

    // The target's global EF GAS has one record fewer, and it has no application phone book.
    CardImage other = DemoImage();
    CardFile* gas = other.FindFile(std::string(kGlobal) + "/4F4C");
    gas->records.pop_back();
    Scramble(other, std::string(kGlobal) + "/4F50", 1);
    UsimRig target(other);
    const auto before = PhoneBookFiles(target.card->ToImage());
    RestorePlan plan;
    const BackupRunResult result = Restore(target, backup, plan);
    EXPECT_TRUE(result.Ok());
    EXPECT_FALSE(result.AllRestored());
    ASSERT_EQ(result.usimPhoneBooks.size(), 2u);
    EXPECT_EQ(result.usimPhoneBooks[0].ending, UsimPhoneBookEnding::LayoutDiffers);
    EXPECT_EQ(result.usimPhoneBooks[1].ending, UsimPhoneBookEnding::NotOnCard);
    EXPECT_EQ(PhoneBookFiles(target.card->ToImage()), before);
}

// The user's stop, asked once the phone book and messages are restored, ends the restore in the
// first USIM file, before anything of it is written.
TEST(UsimBackupTest, AStopEndsTheRestoreInTheUsimPhoneBook) {
    const CardImage original = WithApplicationPhoneBook();
    UsimRig rig(original);
    CardBackup backup;
    ASSERT_TRUE(ReadCardBackup(*rig.engine, backup).Ok());
    RestorePlan plan;
    ASSERT_TRUE(PlanRestore(*rig.engine, backup, plan));
    plan.restoreOtherFiles = true;
    // The phone book's and messages' runs report against twice their records (each is written
    // and read back), the USIM phone books' against the restore's count: the first report of
    // another total is the first of the USIM phase.
    int firstTotal = -1;
    const BackupRunResult result =
        RestoreCardBackup(*rig.engine, backup, plan, [&firstTotal](int, int total) {
            if (firstTotal < 0)
                firstTotal = total;
            return total == firstTotal;
        });
    EXPECT_EQ(result.outcome, BackupOutcome::Stopped);
    EXPECT_EQ(result.usimFileId, 0x4F3A);
    ASSERT_EQ(result.usimPhoneBooks.size(), 1u);
    EXPECT_EQ(result.usimPhoneBooks[0].ending, UsimPhoneBookEnding::Stopped);
    EXPECT_EQ(result.usimPhoneBooks[0].written, 0);
}

}  // namespace
}  // namespace pellucard::testing
