#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>

#include "list_cells.h"
#include "records/application_folder.h"
#include "records/field_text.h"
#include "records/record_documents.h"
#include "records/record_file.h"
#include "records/record_slots.h"
#include "support/contact_list.h"
#include "support/scripted_dialogs.h"

namespace pellucard {
namespace {

using testing::ReadAll;
using testing::WriteAll;

class RecordFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        SetApplicationFolder(folder_.path());
    }
    void TearDown() override { SetApplicationFolder({}); }

    QString Path(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
    ScriptedDialogs dialogs_;
};

TEST_F(RecordFileTest, ContactFileHoldsBlankFilledFieldsAndZeroFillerPerSlot) {
    auto list = testing::ContactList(5);
    list->SetText(1, 1, "Ann");
    list->SetText(1, 25, "note");
    list->SetText(3, 2, QString(60, u'7'));  // cut at the field width
    list->SetText(3, 26, "1");               // the mark is not stored
    ASSERT_TRUE(SaveRecordFile(*list, Path("a.SPB"), 3, 0));

    const QByteArray bytes = ReadAll(Path("a.SPB"));
    ASSERT_EQ(bytes.size(), 3 * 4340);
    EXPECT_EQ(bytes.mid(0, 50), QByteArray("Ann") + QByteArray(47, ' '));
    EXPECT_EQ(bytes.mid(1905, 255), QByteArray("note") + QByteArray(251, ' '));
    EXPECT_EQ(bytes.mid(2160, 10), QByteArray(10, '\0'));
    EXPECT_EQ(bytes.mid(2170, 4340 - 2170), QByteArray(4340 - 2170, '\0'));
    // The empty slot 2 keeps its place as a record of blanks.
    EXPECT_EQ(bytes.mid(4340, 2160), QByteArray(2160, ' '));
    EXPECT_EQ(bytes.mid(2 * 4340 + 50, 50), QByteArray(50, '7'));
}

TEST_F(RecordFileTest, SmsFileUsesTheSmsLayoutForATenColumnList) {
    RecordList list(3, 10);
    list.SetText(1, 1, "+4912");
    list.SetText(1, 8, "167");
    ASSERT_TRUE(SaveRecordFile(list, Path("m.sms"), 1, 0));
    const QByteArray bytes = ReadAll(Path("m.sms"));
    ASSERT_EQ(bytes.size(), 1092);
    EXPECT_EQ(bytes.mid(0, 6), "+4912 ");
    EXPECT_EQ(bytes.mid(536, 10), "167       ");
    EXPECT_EQ(bytes.mid(546), QByteArray(1092 - 546, '\0'));
}

// A load keeps empty slots in place, trims blanks, empties the slots beyond the file and grows
// the list to hold every record.
TEST_F(RecordFileTest, LoadReplacesTheListWithTheFilesSlots) {
    auto saved = testing::ContactList(150);
    saved->SetText(1, 1, "  Ann  ");
    saved->SetText(3, 3, "Cid");
    saved->SetText(150, 1, "last");
    ASSERT_TRUE(SaveRecordFile(*saved, Path("a.SPB"), 3, 0));
    ASSERT_TRUE(SaveRecordFile(*saved, Path("big.SPB"), 150, 0));

    auto list = testing::ContactList(100);
    list->SetText(50, 1, "old");
    list->SetText(50, 26, "1");
    int used = 50;
    ASSERT_TRUE(LoadRecordFile(*list, Path("a.SPB"), used, 0));
    EXPECT_EQ(used, 3);
    EXPECT_EQ(list->Rows(), 101);
    EXPECT_EQ(testing::ColumnCells(*list, 1, 1, 3), testing::Cells("Ann||"));
    EXPECT_EQ(list->Text(3, 3), "Cid");
    EXPECT_EQ(list->Row(50).cells.join(""), "50");
    EXPECT_EQ(list->Text(100, 0), "100");

    ASSERT_TRUE(LoadRecordFile(*list, Path("big.SPB"), used, 0));
    EXPECT_EQ(used, 150);
    EXPECT_EQ(list->Rows(), 151);
    EXPECT_EQ(list->Text(150, 1), "last");
}

TEST_F(RecordFileTest, CountsOnlyRecordsWhoseFieldsArePresentInFull) {
    auto list = testing::ContactList(4);
    int used = 7;
    WriteAll(Path("empty.SPB"), {});
    ASSERT_TRUE(LoadRecordFile(*list, Path("empty.SPB"), used, 0));
    EXPECT_EQ(used, 0);

    QByteArray bytes(4340 + 2170, ' ');  // the second record lacks its filler only
    WriteAll(Path("short.SPB"), bytes);
    ASSERT_TRUE(LoadRecordFile(*list, Path("short.SPB"), used, 0));
    EXPECT_EQ(used, 2);
    bytes.chop(1);
    WriteAll(Path("short.SPB"), bytes);
    ASSERT_TRUE(LoadRecordFile(*list, Path("short.SPB"), used, 0));
    EXPECT_EQ(used, 1);
    EXPECT_TRUE(dialogs_.Calls().isEmpty());
}

TEST_F(RecordFileTest, RefusesAFileWithMoreSlotsThanARecordFileCanHold) {
    QFile huge(Path("huge.SPB"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(kMaxRecordFileSlots) * 4340 + 2170));  // sparse
    huge.close();
    auto list = testing::ContactList(3);
    list->SetText(1, 1, "kept");
    int used = 1;
    EXPECT_FALSE(LoadRecordFile(*list, Path("huge.SPB"), used, 0));
    EXPECT_EQ(used, 1);
    EXPECT_EQ(list->Rows(), 4);
    EXPECT_EQ(list->Text(1, 1), "kept");
    EXPECT_EQ(dialogs_.MessageIds(), MessageIdList{MessageId::FileTooLarge});
}

TEST_F(RecordFileTest, AFailedSaveLeavesTheOldFileWholeAndTellsTheUser) {
    const QByteArray old = QByteArray("old content");
    WriteAll(Path("a.SPB"), old);
    auto list = testing::ContactList(3);
    list->SetText(1, 1, "new");

    // A file size limit makes the writes fail as on a full disk.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool savedOk = SaveRecordFile(*list, Path("a.SPB"), 3, 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(ReadAll(Path("a.SPB")), old);
    EXPECT_EQ(dialogs_.MessageIds(), MessageIdList{MessageId::FileNotSaved});

    EXPECT_FALSE(SaveRecordFile(*list, Path("missing/a.SPB"), 1, 0));
    EXPECT_EQ(dialogs_.MessageIds().size(), 2);
}

TEST_F(RecordFileTest, TextOfAnyScriptSurvivesASaveAndALoad) {
    const QStringList names = {QStringLiteral("Καλημέρα Ελένη"), QStringLiteral("Дмитрий Иванов"),
                               QStringLiteral("王小明"),         QStringLiteral("Zoë 😀"),
                               QStringLiteral("Ã© stays"),       QStringLiteral("Café – 5 €")};
    auto list = testing::ContactList(int(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        list->SetText(i + 1, 3, names[i]);
    }
    ASSERT_TRUE(SaveRecordFile(*list, Path("w.SPB"), int(names.size()), 0));
    const QByteArray bytes = ReadAll(Path("w.SPB"));
    // Text that Windows-1252 holds is stored in it, byte for byte.
    EXPECT_EQ(bytes.mid(5 * 4340 + 100, 12), QByteArray("Caf\xE9 \x96 5 \x80  "));

    auto loaded = testing::ContactList(1);
    int used = 0;
    ASSERT_TRUE(LoadRecordFile(*loaded, Path("w.SPB"), used, 0));
    ASSERT_EQ(used, names.size());
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(loaded->Text(i + 1, 3), names[i]);
    }
}

TEST(FieldText, CutsUtf8WhereACharacterEndsAndReadsOtherBytesAsWindows1252) {
    // Three-byte characters: three fit in ten bytes, the fourth would be split.
    EXPECT_EQ(EncodeFieldText(QStringLiteral("王小明王"), 10),
              QByteArray("\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E "));
    EXPECT_EQ(DecodeFieldText("\x81\x93x\x94  "), QStringLiteral("\u0081\u201Cx\u201D"));
    EXPECT_EQ(DecodeFieldText("\xC3\xA9"), QStringLiteral("é"));
    EXPECT_EQ(DecodeFieldText("\xC3\x28"), QStringLiteral("Ã("));  // not UTF-8
}

TEST_F(RecordFileTest, CopyTemplateFileAsksBeforeReplacingAndRefusesTheOpenDocument) {
    const QString target = Path("b.SPB");
    WriteAll(target, "records");
    QString templateName;

    dialogs_.QueueAnswer(DialogAnswer::No);
    EXPECT_FALSE(CopyTemplateFile(templateName, {}, target, 0));
    EXPECT_EQ(templateName, "temp.sys");
    EXPECT_EQ(ReadAll(target), "records");
    ASSERT_EQ(dialogs_.MessageIds(), MessageIdList{MessageId::ReplaceFileQuestion});

    dialogs_.QueueAnswer(DialogAnswer::Yes);
    EXPECT_FALSE(CopyTemplateFile(templateName, target, target, 0));
    EXPECT_EQ(ReadAll(target), "records");

    dialogs_.QueueAnswer(DialogAnswer::Yes);
    EXPECT_TRUE(CopyTemplateFile(templateName, Path("a.SPB"), target, 0));
    EXPECT_TRUE(FileExists(target));
    EXPECT_EQ(QFile(target).size(), 0);
    EXPECT_TRUE(dialogs_.Unexpected().isEmpty());
}

TEST_F(RecordFileTest, NewDocumentsTakeTheNextFreeNumberInTheApplicationFolder) {
    SetApplicationFolder(Path("data/pellucard"));
    EXPECT_EQ(CreateNewDocument(kPhoneBookFile, 0), Path("data/pellucard/NewPhoneRecord0.SPB"));
    EXPECT_TRUE(FileExists(Path("data/pellucard/temp.sys")));
    EXPECT_EQ(CreateNewDocument(kPhoneBookFile, 0), Path("data/pellucard/NewPhoneRecord1.SPB"));
    EXPECT_EQ(CreateNewDocument(kSmsFile, 0), Path("data/pellucard/NewSMSRecord0.sms"));

    EXPECT_EQ(FileTitleOf("C:\\records\\Home.SPB", 0), "Home.SPB");
    EXPECT_EQ(FileTitleOf("/home/me/Home.SPB", 0), "Home.SPB");
    EXPECT_FALSE(FileExists(Path("data")));  // a folder is not a file
    EXPECT_FALSE(SamePath(Path("missing1.SPB"), Path("missing2.SPB")));
    EXPECT_TRUE(SamePath(Path("data/../missing1.SPB"), Path("missing1.SPB")));
}

}  // namespace
}  // namespace pellucard
