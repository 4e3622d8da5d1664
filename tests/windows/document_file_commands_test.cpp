// A record window's document commands on their own: the untitled file lives exactly as long
// as its document, and a command that fails or is cancelled loses nothing.
#include <QFile>
#include <QtTest>

#include "records/application_folder.h"
#include "records/file_history.h"
#include "records/record_file.h"
#include "records/record_list.h"
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

    RecordList& documentList() override { return list; }
    int& documentUsedCount() override { return used; }
    void documentReplaced() override { ++replaced; }
    void showDocumentName(const QString& name) override { title = name; }
    void importText(QChar) override {}
    void exportText(QChar) override {}
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
        files->changed();
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
        rig->session->setCurrentWindow(WindowIndex::PhoneBook);
        owner = std::make_unique<FakeDocument>();
        files = std::make_unique<DocumentFileCommands>(*owner, *rig, kPhoneBookFile,
                                                       WindowIndex::PhoneBook, kSlots);
        FileHistory::Instance().Clear();
    }
    void cleanup() {
        files.reset();
        owner.reset();
        rig.reset();
        FileHistory::Instance().Clear();
    }

    void untitledFileGoesOnlyWhenAnotherDocumentTakesTheList() {
        files->newDocument();
        const QString untitled = ApplicationFilePath(QStringLiteral("NewPhoneRecord0.SPB"));
        QCOMPARE(files->file(), untitled);
        QVERIFY(QFile::exists(untitled) && !files->modified() && !rig->menu[FileMenuEntry::Save]);

        Edit(QStringLiteral("Ann"));
        QVERIFY(files->modified() && rig->menu[FileMenuEntry::Save]);
        // Letting the changes go and then cancelling the file dialog keeps the document and
        // the file it lives in.
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        rig->dialogs.QueueFileName(QString());
        files->open();
        QCOMPARE(rig->dialogs.MessageIds(), MessageIdList{MessageId::SaveNewRecordQuestion});
        QCOMPARE(files->file(), untitled);
        QVERIFY(QFile::exists(untitled) && files->modified());
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
        files->open();
        QCOMPARE(files->file(), other);
        QCOMPARE(owner->title, QStringLiteral("my.book.SPB"));
        QCOMPARE(owner->list.Text(2, 1), QStringLiteral("Cy"));
        QVERIFY(!QFile::exists(untitled) && files->untitledFile().isEmpty());
        QVERIFY(!files->modified());
        QCOMPARE(FileHistory::Instance().RecentFiles()[0].path, other);
    }

    void aDocumentWithoutItsNewFileIsKeptAndSavedUnderAName() {
        files->newDocument();
        const QString first = files->file();
        Edit(QStringLiteral("Ann"));
        const int replaced = owner->replaced;

        // The next new document cannot be made: the user is told, the old one stays.
        BreakApplicationFolder();
        rig->dialogs.QueueAnswer(DialogAnswer::No);
        files->newDocument();
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::FileNotSaved);
        QCOMPARE(files->file(), first);
        QVERIFY(QFile::exists(first) && files->modified());
        QCOMPARE(owner->list.Text(1, 1), QStringLiteral("Ann"));
        QCOMPARE(owner->replaced, replaced);

        // A window that could never make its new file asks for a name before it lets edits go,
        // and Save asks for one as well.
        FakeDocument bare;
        DocumentFileCommands nameless(bare, *rig, kPhoneBookFile, WindowIndex::PhoneBook, kSlots);
        rig->dialogs.Clear();
        nameless.newDocument();
        QVERIFY(nameless.file().isEmpty());
        SetApplicationFolder(rig->folder.path());
        bare.list.SetText(1, 1, QStringLiteral("Dee"));
        bare.used = 1;
        nameless.changed();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        rig->dialogs.QueueFileName(QString());
        QVERIFY(!nameless.keepChanges());
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::SaveNewRecordQuestion);
        const QString named = rig->folder.filePath(QStringLiteral("dee.SPB"));
        rig->dialogs.QueueFileName(named);
        nameless.save();
        QCOMPARE(nameless.file(), named);
        QVERIFY(!nameless.modified() && QFile::exists(named));
    }
};

QTEST_MAIN(DocumentFileCommandsTest)
#include "document_file_commands_test.moc"
