// The export, import and field-mapping dialogs operated as a person would.
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

#include "catalogue/catalogue.h"
#include "records/application_folder.h"
#include "records/record_slots.h"
#include "records/usim_columns.h"
#include "support/contact_list.h"
#include "support/scripted_dialogs.h"
#include "windows/export_dialog.h"
#include "windows/field_mapping_dialog.h"
#include "windows/import_dialog.h"
#include "windows/record_exchange.h"

using namespace pellucard;

namespace {

using testing::ContactList;
using testing::ReadAll;

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void Click(QWidget* dialog, const char* button) {
    QPushButton* found = dialog->findChild<QPushButton*>(QLatin1String(button));
    QVERIFY2(found, button);
    found->click();
}

}  // namespace

class ExchangeDialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<ScriptedDialogs> dialogs;
    // What the test does with each dialog the code shows.
    std::function<void(ExportDialog&)> onExport;
    std::function<void(ImportDialog&)> onImport;
    std::function<void(FieldMappingDialog&)> onMapping;
    int shown = 0;

    QString Path(const QString& name) const { return folder->filePath(name); }

    ExportRequest ExportOf(const RecordList& list, int used) {
        ExportRequest request;
        request.list = &list;
        request.usedCount = used;
        request.columnCount = 26;
        return request;
    }
    ImportRequest ImportOf(RecordList& list, int& used, const QString& kind = "Personal Record") {
        ImportRequest request;
        request.list = &list;
        request.usedCount = &used;
        request.fieldColumnCount = 25;
        request.kindName = kind;
        return request;
    }
    // Relinks mapping entry `entry` to the record field titled `title` through the dialog.
    void Relink(ImportDialog& dialog, int entry, const QString& title) {
        QTreeWidget* list = dialog.mappingList();
        list->setCurrentItem(list->topLevelItem(entry));
        onMapping = [title](FieldMappingDialog& mapping) {
            mapping.comboHeader()->setCurrentIndex(mapping.comboHeader()->findText(title));
            Click(&mapping, "okButton");
        };
        Click(&dialog, "mappingButton");
    }

private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        SetApplicationFolder(folder->path());
        EnsureApplicationFolder();
        dialogs = std::make_unique<ScriptedDialogs>();
        dialogs->OnUnexpected([](const QString& what) { QFAIL(qPrintable(what)); });
        shown = 0;
        dialogs->RunModalWith([this](QDialog& dialog) {
            ++shown;
            if (auto* exporting = qobject_cast<ExportDialog*>(&dialog); exporting && onExport)
                onExport(*exporting);
            else if (auto* importing = qobject_cast<ImportDialog*>(&dialog); importing && onImport)
                onImport(*importing);
            else if (auto* mapping = qobject_cast<FieldMappingDialog*>(&dialog);
                     mapping && onMapping)
                onMapping(*mapping);
        });
    }
    void cleanup() {
        onExport = nullptr;
        onImport = nullptr;
        onMapping = nullptr;
        dialogs.reset();
        SetApplicationFolder({});
        folder.reset();
    }

    void exportOffersEveryTitledColumnAllChosen() {
        auto list = ContactList(5);
        list->SetText(1, 3, QStringLiteral("Smith, John"));
        list->SetText(2, 1, QStringLiteral("Bob"));
        // Every titled column is offered, all chosen; clean all, then choose the name alone.
        onExport = [](ExportDialog& dialog) {
            QCOMPARE(dialog.chosenColumns().size(), 25);
            Click(&dialog, "clearAllButton");
            dialog.findChild<QListWidget*>("columnList")->item(2)->setCheckState(Qt::Checked);
            Click(&dialog, "exportButton");
        };
        dialogs->QueueFileName(Path("names.txt"));
        showExportDialog(ExportOf(*list, 2));
        QCOMPARE(ReadAll(Path("names.txt")), QByteArray("\xEF\xBB\xBF"
                                                        "Name\r\n\"Smith, John\"\r\n\r\n"));
    }

    void exportAsksBeforeReplacingAndCancelWritesNothing() {
        auto list = ContactList(2);
        WriteAll(Path("old.txt"), "keep me");
        onExport = [](ExportDialog& dialog) { Click(&dialog, "exportButton"); };
        dialogs->QueueFileName(Path("old.txt"));
        dialogs->QueueAnswer(DialogAnswer::No);
        showExportDialog(ExportOf(*list, 0));
        QCOMPARE(dialogs->LastMessage().messageId, MessageId::ReplaceFileQuestion);
        QCOMPARE(ReadAll(Path("old.txt")), QByteArray("keep me"));

        onExport = [](ExportDialog& dialog) { Click(&dialog, "cancelButton"); };
        showExportDialog(ExportOf(*list, 0));
        QCOMPARE(QDir(folder->path()).entryList({"*.txt"}), QStringList{"old.txt"});
    }

    void aFileWhoseTitlesNameNothingSaysSoAndImportsOnlyWhatIsLinked() {
        WriteAll(Path("foreign.csv"), "Vorname;Rufnummer\r\nAnn;0170 1234567\r\n");
        auto book = ContactList(5);
        for (int column = 3; column <= 25; ++column)
            book->SetText(0, column, QString());  // the phone book: name and number only
        int used = 0;
        ImportRequest request = ImportOf(*book, used, QStringLiteral("Phone Record"));
        request.fieldColumnCount = 2;
        request.checks.numberColumns = {2};
        onImport = [this](ImportDialog& dialog) {
            QCOMPARE(dialogs->LastMessage().messageId, MessageId::NoColumnMatches);
            // Nothing linked: ImportDialog says so and the dialog stays for the mapping.
            Click(&dialog, "importButton");
            QCOMPARE(dialogs->LastMessage().messageId, MessageId::NothingLinked);
            QVERIFY(dialog.result() != QDialog::Accepted);
            // The name alone: the user is asked whether names without numbers are wanted.
            Relink(dialog, 0, QStringLiteral("Alias"));
            dialog.mappingList()->topLevelItem(0)->setCheckState(0, Qt::Checked);
            dialogs->QueueAnswer(DialogAnswer::No);
            Click(&dialog, "importButton");
            QCOMPARE(dialogs->LastMessage().messageId, MessageId::NoNumberLinkedQuestion);
            Relink(dialog, 1, QStringLiteral("Phone"));
            dialog.mappingList()->topLevelItem(1)->setCheckState(0, Qt::Checked);
            // A cancelled mapping dialog changes nothing.
            onMapping = [](FieldMappingDialog& mapping) { Click(&mapping, "cancelButton"); };
            Click(&dialog, "mappingButton");
            QCOMPARE(dialog.mapping()[1].column, 2);
            Click(&dialog, "importButton");
        };
        dialogs->QueueFileName(Path("foreign.csv"));
        QVERIFY(showImportDialog(request));
        QCOMPARE(used, 1);
        QCOMPARE(book->Text(1, 1), QStringLiteral("Ann"));
        QCOMPARE(book->Text(1, 2), QStringLiteral("01701234567"));
    }

    void cancelledOrUnreadableImportChangesNothing() {
        auto list = ContactList(3);
        int used = 0;
        dialogs->QueueFileName(QString());
        QVERIFY(!showImportDialog(ImportOf(*list, used)));
        QCOMPARE(shown, 0);  // the dialog closes at once

        WriteAll(Path("one.txt"), "Name\r\nAnn\r\n");
        onImport = [](ImportDialog& dialog) { Click(&dialog, "cancelButton"); };
        dialogs->QueueFileName(Path("one.txt"));
        QVERIFY(!showImportDialog(ImportOf(*list, used)));
        QCOMPARE(used, 0);
        QCOMPARE(list->Text(1, 3), QString());
    }

    void vCardsTravelThroughTheExportAndImportDialogs() {
        auto list = ContactList(5);
        list->SetText(1, 1, QStringLiteral("Ann"));
        list->SetText(1, 3, QStringLiteral("Ann Berg"));
        list->SetText(1, 16, QStringLiteral("+4685550102"));
        list->SetText(1, 17, QStringLiteral("+46701234567"));
        list->SetText(1, 25, QStringLiteral("Γειά σου"));
        list->SetText(2, 1, QStringLiteral("Bob"));
        // vCard 2.1 for an older phone, without the note.
        onExport = [](ExportDialog& dialog) {
            dialog.chooseFileType(2);
            dialog.findChild<QListWidget*>("columnList")->item(24)->setCheckState(Qt::Unchecked);
            Click(&dialog, "exportButton");
        };
        dialogs->QueueFileName(Path("people.vcf"));
        showExportDialog(ExportOf(*list, 2));
        const QByteArray written = ReadAll(Path("people.vcf"));
        QCOMPARE(written.count("BEGIN:VCARD"), 2);
        QVERIFY(written.contains("VERSION:2.1\r\n"));
        QVERIFY(written.contains("TEL;CELL:+46701234567\r\n"));
        QVERIFY(!written.contains("NOTE"));

        // Back as personal records: no mapping dialog, every field in its place.
        auto copy = ContactList(5);
        int used = 0;
        dialogs->QueueFileName(Path("people.vcf"));
        QVERIFY(showImportDialog(ImportOf(*copy, used)));
        QCOMPARE(shown, 1);  // the export dialog only
        QCOMPARE(used, 2);
        for (int column = 1; column <= 24; ++column)
            QCOMPARE(copy->Text(1, column), list->Text(1, column));

        // A file without a single vCard imports nothing and says so.
        WriteAll(Path("none.vcf"), "hello\r\n");
        dialogs->QueueFileName(Path("none.vcf"));
        QVERIFY(!showImportDialog(ImportOf(*copy, used)));
        QCOMPARE(dialogs->LastMessage().messageId, MessageId::NoVCard);
        QCOMPARE(used, 2);
    }

    // A USIM phone book's list: name, number and the five columns of its own, all offered.
    void usimPhoneBookColumnsTravelThroughTheExportDialog() {
        RecordList list(4, usim_column::kCount);
        const QList<int> columns = {1, 2, 27, 28, 29, 30, 31};
        const QStringList titles = {"Alias",  "Phone",       "Second number", "Type",
                                    "E-mail", "Second name", "Group"};
        for (int k = 0; k < columns.size(); ++k)
            list.SetText(0, columns[k], titles[k]);
        list.SetText(1, 1, "Ann");
        list.SetText(1, 27, "+4685550102");
        list.SetText(1, 28, "Handy");
        onExport = [&columns](ExportDialog& dialog) {
            QCOMPARE(dialog.chosenColumns(), columns);
            dialog.chooseFileType(1);
            Click(&dialog, "exportButton");
        };
        dialogs->QueueFileName(Path("usim.vcf"));
        ExportRequest request = ExportOf(list, 1);
        request.columnCount = 3;  // the phone book window's name and number
        showExportDialog(request);
        QVERIFY(ReadAll(Path("usim.vcf")).contains("TEL;TYPE=CELL:+4685550102\r\n"));
    }
};

QTEST_MAIN(ExchangeDialogsTest)
#include "exchange_dialogs_test.moc"
