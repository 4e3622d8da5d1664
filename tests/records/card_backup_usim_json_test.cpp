// The backup file keeps the USIM phone books byte for byte beside the GSM files; a GSM card's
// backup is written as before, and a damaged phone book is refused with where it is damaged.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

#include "records/card_backup_file.h"
#include "records/other_files_report.h"
#include "support/small_backup.h"

namespace pellucard {
namespace {

using testing::SmallGsmBackup;

CardBackup UsimBackup() {
    CardBackup backup = SmallGsmBackup();
    // EF PBR: type 1 ADN 4F3A, type 2 EMAIL 4F50.
    Bytes pbr{0xA8, 0x05, 0xC0, 0x03, 0x4F, 0x3A, 0x01, 0xA9, 0x04, 0xCA, 0x02, 0x4F, 0x50};
    pbr.resize(20, 0xFF);
    backup.usimPhoneBooks = {
        {PhoneBookPlace::Global,
         {{0x4F30, 20, {pbr}, {}},
          {0x4F3A, 28, {Bytes(28, 0xFF), Bytes(28, 0x41)}, {}},
          {0x4F50, 12, {Bytes(12, 0x61)}, {}},
          {0x4F23, 0, {}, {0x00, 0x07}}}},
        {PhoneBookPlace::Application, {{0x4F30, 20, {pbr}, {}}}},
    };
    return backup;
}

QJsonObject Root(const CardBackup& backup) {
    return QJsonDocument::fromJson(SerializeCardBackup(backup)).object();
}

TEST(CardBackupUsimJsonTest, PhoneBooksRoundTripAndAGsmBackupIsWrittenAsBefore) {
    const CardBackup backup = UsimBackup();
    CardBackup read;
    QString error;
    ASSERT_TRUE(ParseCardBackup(SerializeCardBackup(backup), read, error)) << error.toStdString();
    EXPECT_EQ(read.usimPhoneBooks, backup.usimPhoneBooks);

    EXPECT_FALSE(Root(SmallGsmBackup()).contains("usim_phonebooks"));
    read = backup;
    ASSERT_TRUE(ParseCardBackup(SerializeCardBackup(SmallGsmBackup()), read, error));
    EXPECT_TRUE(read.usimPhoneBooks.empty());
}

TEST(CardBackupUsimJsonTest, DamagedPhoneBooksAreRefusedSayingWhere) {
    const auto damaged = [](const std::function<void(QJsonArray & files)>& damage) {
        QJsonObject root = Root(UsimBackup());
        QJsonArray books = root["usim_phonebooks"].toArray();
        QJsonObject global = books[0].toObject();
        QJsonArray files = global["files"].toArray();
        damage(files);
        global["files"] = files;
        books[0] = global;
        root["usim_phonebooks"] = books;
        CardBackup backup = SmallGsmBackup();
        QString error;
        EXPECT_FALSE(ParseCardBackup(QJsonDocument(root).toJson(), backup, error));
        return error.toStdString();
    };
    EXPECT_EQ(damaged([](QJsonArray& files) { files.removeFirst(); }),
              "the global USIM phone book: the records of EF PBR (4F30) do not come first");
    EXPECT_EQ(damaged([](QJsonArray& files) {
                  QJsonObject counter = files[3].toObject();
                  counter["data"] = "";
                  files[3] = counter;
              }),
              "the global USIM phone book 4F23: neither records nor \"data\" of 1 to 255 hex "
              "bytes");
}

// The windows' restore report says what became of each USIM phone book, where it ended too.
TEST(UsimRestoreReportTest, EachPhoneBookHasItsLine) {
    UsimPhoneBookRestore written;
    written.ending = UsimPhoneBookEnding::Written;
    written.written = 2;
    UsimPhoneBookRestore stopped;
    stopped.place = PhoneBookPlace::Application;
    stopped.ending = UsimPhoneBookEnding::Stopped;
    stopped.record = 7;
    stopped.written = 3;
    EXPECT_EQ(UsimPhoneBooksReport({written, stopped}, 0).toStdString(),
              "USIM phone book: 2 records written and read back\n"
              "USIM application's phone book: stopped at record 7; 3 records were written "
              "before it");
    EXPECT_TRUE(UsimPhoneBooksReport({}, 0).isEmpty());
}

}  // namespace
}  // namespace pellucard
