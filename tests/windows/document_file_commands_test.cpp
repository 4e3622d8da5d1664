// A record window's document commands on their own: the untitled file lives exactly as long
// as its document, and a command that fails or is cancelled loses nothing.
#include <QFile>
#include <QtTest>

#include "records/application_folder.h"
#include "records/file_history.h"
#include "records/record_file.h"
#include "records/record_list.h"
#include "records/record_messages.h"
#include "support/window_rig.h"
#include "windows/document_file_commands.h"

using namespace pellucard;

namespace {

constexpr int kSlots = 256;

class FakeDocument final : public DocumentOwner {
public:
    RecordList list{kSlots + 1, 27};
    int used = 0;
    int replaced = 0;
    QString title;

    RecordList& DocumentList() override { return list; }
    int& DocumentUsedCount() override { return used; }
    void DocumentReplaced() override { ++replaced; }
    void ShowDocumentName(const QString& name) override { title = name; }
    void CmdImport(QChar) override {}
    void CmdExport(QChar) override {}
};

}  // namespace

class DocumentFileCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::WindowRig> rig;
    std::unique_ptr<FakeDocument> owner;
    std::unique_ptr<DocumentFileCommands> files;

    void Edit(const QString& name) {
        owner->list.SetText(1, 1, name);
        owner->used = 1;
        files->Changed();
    }
    // Application files then go to a folder that cannot be made: under a plain file.
    void BreakApplicationFolder() {
        const QString plain = rig->folder.filePath(QStringLiteral("plain"));
        QFile file(plain);
        QVERIFY(file.open(QIODevice::WriteOnly));
        SetApplicationFolder(plain + QStringLiteral("/app"));
    }

private slots:
    void init() {
        rig = std::make_unique<testing::WindowRig>();
        rig->session->CurrentWindow = WindowIndex::SimRec;
        owner = std::make_unique<FakeDocument>();
        files = std::make_unique<DocumentFileCommands>(*owner, *rig, kPhoneBookFile,
                                                       WindowIndex::SimRec, kSlots);
        FileHistory::Instance().Clear();
    }
    void cleanup() {
        files.reset();
        owner.reset();
        rig.reset();
        FileHistory::Instance().Clear();
    }

    void untitledFileGoesOnlyWhenAnotherDocumentTakesTheList() {
        files->New();
        const QString untitled = ApplicationFilePath(QStringLiteral("NewPhoneRecord0.SPB"));
        QCOMPARE(files->File(), untitled);
        QCOMPARE(files->UntitledFile(), untitled);
        QCOMPARE(owner->title, QStringLiteral("NewPhoneRecord0.SPB"));
        QVERIFY(QFile::exists(untitled) && !files->Modified() && !rig->menu[FileMenuEntry::Save]);

        Edit(QStringLiteral("Ann"));
        QVERIFY(files->Modified() && rig->menu[FileMenuEntry::Save]);
        // Letting the changes go and then cancelling the file dialog keeps the document and
        // the file it lives in.
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        rig->dialogs.QueueFileName(QString());
        files->Open();
        QCOMPARE(rig->dialogs.MessageIds(), MessageIdList{MessageId::SaveNewRecordQuestion});
        QCOMPARE(files->File(), untitled);
        QVERIFY(QFile::exists(untitled) && files->Modified());
        QCOMPARE(owner->list.Text(1, 1), QStringLiteral("Ann"));

        // A file whose name holds another dot is shown by its whole name.
        QTemporaryDir mine;  // the user's folder, apart from the program's own files
        const QString other = mine.filePath(QStringLiteral("my.book.SPB"));
        RecordList saved(kSlots + 1, 27);
        saved.SetText(1, 1, QStringLiteral("Bob"));
        saved.SetText(2, 1, QStringLiteral("Cy"));
        QVERIFY(SaveRecordFile(saved, other, 2, 0));
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        rig->dialogs.QueueFileName(other);
        files->Open();
        QCOMPARE(files->File(), other);
        QCOMPARE(owner->title, QStringLiteral("my.book.SPB"));
        QCOMPARE(owner->used, 2);
        QCOMPARE(owner->list.Text(2, 1), QStringLiteral("Cy"));
        QVERIFY(!QFile::exists(untitled) && files->UntitledFile().isEmpty());
        QVERIFY(!files->Modified());
        QCOMPARE(FileHistory::Instance().RecentFiles().size(), 1);
        QCOMPARE(FileHistory::Instance().RecentFiles()[0].path, other);
        QVERIFY(rig->dialogs.ScriptUsedUp() && rig->dialogs.Unexpected().isEmpty());
    }

    void aDocumentWithoutItsNewFileIsKeptAndSavedUnderAName() {
        files->New();
        const QString first = files->File();
        Edit(QStringLiteral("Ann"));
        const int replaced = owner->replaced;

        // The next new document cannot be made: the user is told, the old one stays.
        BreakApplicationFolder();
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        files->New();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::FileNotSaved);
        QCOMPARE(files->File(), first);
        QVERIFY(QFile::exists(first) && files->Modified());
        QCOMPARE(owner->list.Text(1, 1), QStringLiteral("Ann"));
        QCOMPARE(owner->replaced, replaced);

        // A window that could never make its new file asks for a name before it lets edits go,
        // and Save asks for one as well.
        FakeDocument bare;
        DocumentFileCommands nameless(bare, *rig, kPhoneBookFile, WindowIndex::SimRec, kSlots);
        rig->dialogs.Clear();
        nameless.New();
        QVERIFY(nameless.File().isEmpty());
        SetApplicationFolder(rig->folder.path());
        bare.list.SetText(1, 1, QStringLiteral("Dee"));
        bare.used = 1;
        nameless.Changed();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        rig->dialogs.QueueFileName(QString());
        QVERIFY(!nameless.KeepChanges());
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveNewRecordQuestion);
        const QString named = rig->folder.filePath(QStringLiteral("dee.SPB"));
        rig->dialogs.QueueFileName(named);
        nameless.Save();
        QCOMPARE(nameless.File(), named);
        QVERIFY(!nameless.Modified() && QFile::exists(named));
        QVERIFY(rig->dialogs.ScriptUsedUp());
    }
};

QTEST_MAIN(DocumentFileCommandsTest)
#include "document_file_commands_test.moc"
