// The backup file keeps the other record files byte for byte; backups written before them
// still load, and a damaged list of files is refused with where it is damaged.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "records/card_backup_file.h"
#include "support/small_backup.h"

namespace pellucard {
namespace {

CardBackup SmallBackup() {
    CardBackup backup = testing::SmallGsmBackup();
    backup.phoneBook.push_back(Bytes(28, 0x41));
    Bytes smsp(40, 0xFF);
    smsp[12] = 0xE1;
    backup.otherFiles = {
        {CardRecordFile::FixedDialling, 28, false, {Bytes(28, 0x42)}},
        {CardRecordFile::LastDialled, 28, true, {Bytes(28, 0x43), Bytes(28, 0xFF)}},
        {CardRecordFile::SmsParameters, 40, false, {smsp}},
    };
    return backup;
}

QByteArray WithOtherFiles(const QJsonValue& files) {
    QJsonObject root = QJsonDocument::fromJson(SerializeCardBackup(SmallBackup())).object();
    if (files.isUndefined())
        root.remove("other_files");
    else
        root["other_files"] = files;
    return QJsonDocument(root).toJson();
}

TEST(CardBackupFileTest, OtherFilesRoundTripAndOldBackupsLoadWithoutThem) {
    const CardBackup backup = SmallBackup();
    CardBackup read;
    QString error;
    ASSERT_TRUE(ParseCardBackup(SerializeCardBackup(backup), read, error)) << error.toStdString();
    EXPECT_EQ(read.otherFiles, backup.otherFiles);
    EXPECT_EQ(read.phoneBook, backup.phoneBook);

    CardBackup old;
    ASSERT_TRUE(ParseCardBackup(WithOtherFiles(QJsonValue::Undefined), old, error));
    EXPECT_TRUE(old.otherFiles.empty());
    EXPECT_EQ(old.phoneBook, backup.phoneBook);
}

TEST(CardBackupFileTest, DamagedListOfOtherFilesIsRefusedWholeWithWhere) {
    const QJsonArray good =
        QJsonDocument::fromJson(SerializeCardBackup(SmallBackup()))["other_files"].toArray();
    QJsonObject unknown = good[0].toObject();
    unknown["file"] = "ext1";
    QJsonObject cut = good[0].toObject();
    cut["records"] = QJsonArray{QJsonObject{{"record", 1}, {"data", "4242"}}};
    const struct {
        QJsonValue files;
        const char* error;
    } cases[] = {
        {QJsonArray{unknown}, "\"ext1\" is not a file this program knows"},
        {QJsonArray{good[0], good[0]}, "\"fdn\" is listed twice"},
        {QJsonArray{cut}, "fdn record 1: 2 bytes, not the 28"},
    };
    for (const auto& c : cases) {
        CardBackup backup = SmallBackup();
        backup.iccid = "untouched";
        QString error;
        EXPECT_FALSE(ParseCardBackup(WithOtherFiles(c.files), backup, error)) << c.error;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
        EXPECT_EQ(backup.iccid, "untouched");
    }
}

}  // namespace
}  // namespace pellucard
