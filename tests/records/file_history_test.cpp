// The folder last used and the files opened last: kept in the attached settings store across
// runs, never the program's scratch folder, five files at most.
#include "records/file_history.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "records/application_folder.h"
#include "records/program_settings.h"

namespace pellucard {
namespace {

class FileHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        QDir().mkpath(Path("scratch"));
        SetApplicationFolder(Path("scratch"));
        AttachSettings(std::make_unique<QSettings>(Path("settings.ini"), QSettings::IniFormat));
        History().Clear();
    }
    void TearDown() override {
        AttachSettings(nullptr);
        History().Clear();
        SetApplicationFolder({});
    }
    QString Path(const QString& name) const { return QDir::cleanPath(folder_.filePath(name)); }
    static FileHistory& History() { return FileHistory::Instance(); }
    // A new run: the history forgets what it holds in memory and reads the store again.
    void Restart() {
        AttachSettings(std::make_unique<QSettings>(Path("settings.ini"), QSettings::IniFormat));
        History().Clear();
        History().Reload();
    }

    QTemporaryDir folder_;
};

TEST_F(FileHistoryTest, StartFolderIsTheLastUsedOneAndSurvivesARestart) {
    const QString before = History().StartFolder();
    EXPECT_NE(before, Path("scratch"));
    QDir().mkpath(Path("records"));
    History().RememberFolderOf(Path("records/home.SPB"));
    EXPECT_EQ(History().StartFolder(), Path("records"));
    Restart();
    EXPECT_EQ(History().StartFolder(), Path("records"));

    // The scratch folder is never remembered; a folder that has gone is not offered.
    History().RememberFolderOf(Path("scratch/NewPhoneRecord0.SPB"));
    EXPECT_EQ(History().StartFolder(), Path("records"));
    ASSERT_TRUE(QDir(Path("records")).removeRecursively());
    EXPECT_EQ(History().StartFolder(), before);
}

TEST_F(FileHistoryTest, KeepsTheFiveOpenedLastNewestFirstWithTheirWindows) {
    for (int k = 1; k <= 7; ++k)
        History().RememberOpened(Path(QStringLiteral("book%1.SPB").arg(k)), k % 2 == 0 ? 2 : 4);
    History().RememberOpened(Path("book5.SPB"), 2);  // opened again: moves to the top
    History().RememberOpened(Path("scratch/NewSMSRecord0.sms"), 5);  // the program's own

    Restart();
    const QList<FileHistory::RecentFile> recent = History().RecentFiles();
    ASSERT_EQ(recent.size(), FileHistory::kRecentCount);
    const QStringList expected = {"book5.SPB", "book7.SPB", "book6.SPB", "book4.SPB", "book3.SPB"};
    for (int k = 0; k < recent.size(); ++k)
        EXPECT_EQ(recent[k].path, Path(expected[k])) << k;
    EXPECT_EQ(recent[0].windowIndex, 2);
    EXPECT_EQ(recent[1].windowIndex, 4);

    History().Forget(Path("book7.SPB"));
    Restart();
    EXPECT_EQ(History().RecentFiles().size(), 4);
    EXPECT_EQ(History().RecentFiles()[1].path, Path("book6.SPB"));
}

}  // namespace
}  // namespace pellucard
