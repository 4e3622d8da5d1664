// The export, import and field-mapping dialogs operated as a person would.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

#include "catalogue/catalogue.h"
#include "records/application_folder.h"
#include "records/record_slots.h"
#include "support/contact_list.h"
#include "support/scripted_dialogs.h"
#include "windows/exchange_dialog_runner.h"
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
    std::function<void(Export&)> onExport;
    std::function<void(Import&)> onImport;
    std::function<void(FHeaderList&)> onMapping;
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
    void Relink(Import& dialog, int entry, const QString& title) {
        QTreeWidget* list = dialog.MappingList();
        list->setCurrentItem(list->topLevelItem(entry));
        onMapping = [title](FHeaderList& mapping) {
            mapping.ComboHeader()->setCurrentIndex(mapping.ComboHeader()->findText(title));
            Click(&mapping, "ComOK");
        };
        Click(&dialog, "ComMapping");
    }

private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        SetApplicationFolder(folder->path());
        EnsureApplicationFolder();
        dialogs = std::make_unique<ScriptedDialogs>();
        dialogs->OnUnexpected([](const QString& what) { QFAIL(qPrintable(what)); });
        shown = 0;
        SetExchangeDialogRunner([this](QDialog& dialog) {
            ++shown;
            if (auto* exporting = qobject_cast<Export*>(&dialog); exporting && onExport)
                onExport(*exporting);
            else if (auto* importing = qobject_cast<Import*>(&dialog); importing && onImport)
                onImport(*importing);
            else if (auto* mapping = qobject_cast<FHeaderList*>(&dialog); mapping && onMapping)
                onMapping(*mapping);
        });
    }
    void cleanup() {
        SetExchangeDialogRunner(nullptr);
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
        onExport = [](Export& dialog) {
            QCOMPARE(dialog.OfferedColumns().size(), 25);
            QCOMPARE(dialog.ChosenColumns().size(), 25);
            QCOMPARE(dialog.Grid().Rows(), 3);
            Click(&dialog, "ComExport");
        };
        dialogs->QueueFileName(Path("all.txt"));
        ShowExportDialog(ExportOf(*list, 2));
        QCOMPARE(shown, 1);
        const QList<QByteArray> lines = ReadAll(Path("all.txt")).split('\n');
        QCOMPARE(lines.size(), 4);  // three lines and the empty piece after the last CR LF
        QVERIFY(
            lines[0].startsWith("\xEF\xBB\xBF"
                                "Alias,Phone,Name,"));
        QCOMPARE(lines[1], ",,\"Smith, John\"" + QByteArray(22, ',') + "\r");

        // Only the name: clean all, choose one.
        onExport = [](Export& dialog) {
            Click(&dialog, "CmdCAll");
            QVERIFY(!dialog.findChild<QPushButton*>("ComExport")->isEnabled());
            dialog.findChild<QListWidget*>("LColum")->item(2)->setCheckState(Qt::Checked);
            Click(&dialog, "ComExport");
        };
        dialogs->QueueFileName(Path("names.txt"));
        ShowExportDialog(ExportOf(*list, 2));
        QCOMPARE(ReadAll(Path("names.txt")), QByteArray("\xEF\xBB\xBF"
                                                        "Name\r\n\"Smith, John\"\r\n\r\n"));
    }

    void exportAsksBeforeReplacingAndCancelWritesNothing() {
        auto list = ContactList(2);
        WriteAll(Path("old.txt"), "keep me");
        onExport = [](Export& dialog) { Click(&dialog, "ComExport"); };
        dialogs->QueueFileName(Path("old.txt"));
        dialogs->QueueAnswer(DialogAnswer::No);
        ShowExportDialog(ExportOf(*list, 0));
        QCOMPARE(dialogs->LastMessage().messageId, MessageId::ReplaceFileQuestion);
        QCOMPARE(ReadAll(Path("old.txt")), QByteArray("keep me"));

        dialogs->QueueFileName(QString());  // no name given
        ShowExportDialog(ExportOf(*list, 0));
        onExport = [](Export& dialog) { Click(&dialog, "ComCancel"); };
        ShowExportDialog(ExportOf(*list, 0));
        QVERIFY(dialogs->ScriptUsedUp());
        QCOMPARE(QDir(folder->path()).entryList({"*.txt"}), QStringList{"old.txt"});
    }

    void importLinksByTitleAndTheMappingDialogRelinks() {
        WriteAll(Path("in.txt"),
                 "name,PHONE,Handy,Remark\r\n\"Smith, John\",+4420,0170,\"two\r\nlines\"\r\n"
                 "Ann,123,0171,short\r\n");
        auto list = ContactList(10);
        int used = 0;
        onImport = [this](Import& dialog) {
            QCOMPARE(dialog.PreviewGrid()->model()->rowCount(), 2);
            QCOMPARE(dialog.PreviewGrid()->model()->index(0, 3).data().toString(),
                     QStringLiteral("two\r\nlines"));
            QTreeWidget* mapping = dialog.MappingList();
            QCOMPARE(mapping->headerItem()->text(1), QStringLiteral("Personal Record"));
            QCOMPARE(mapping->topLevelItem(0)->text(1), QStringLiteral("Alias"));  // a JSON key
            QCOMPARE(mapping->topLevelItem(0)->checkState(0), Qt::Checked);
            QCOMPARE(mapping->topLevelItem(1)->text(1), QStringLiteral("Phone"));
            QCOMPARE(mapping->topLevelItem(2)->text(1), QString());
            QCOMPARE(mapping->topLevelItem(2)->checkState(0), Qt::Unchecked);

            // "Handy" to the mobile phone field, ticked by hand; the note to "Phone",
            // which leaves the "PHONE" text field without a link.
            onMapping = [](FHeaderList& dialog) {
                QCOMPARE(dialog.MessageLabel()->text(),
                         QStringLiteral(
                             "Select the link of the Personal Record field and the text field"));
                QCOMPARE(dialog.ComboHeader()->count(), 25);
                dialog.ComboHeader()->setCurrentIndex(16);
                Click(&dialog, "ComOK");
            };
            mapping->setCurrentItem(mapping->topLevelItem(2));
            Click(&dialog, "ComMapping");
            mapping->topLevelItem(2)->setCheckState(0, Qt::Checked);
            QCOMPARE(mapping->topLevelItem(2)->text(1), QStringLiteral("Mobile Phone"));
            Relink(dialog, 3, QStringLiteral("Phone"));
            QCOMPARE(mapping->topLevelItem(1)->text(1), QString());
            QCOMPARE(dialog.Mapping()[3].column, 2);
            mapping->topLevelItem(3)->setCheckState(0, Qt::Checked);
            // A cancelled mapping dialog changes nothing.
            onMapping = [](FHeaderList& dialog) { Click(&dialog, "ComCancel"); };
            Click(&dialog, "ComMapping");
            QCOMPARE(dialog.Mapping()[3].column, 2);
            Click(&dialog, "ComExport");
        };
        dialogs->QueueFileName(Path("in.txt"));
        QVERIFY(ShowImportDialog(ImportOf(*list, used)));
        QCOMPARE(used, 2);
        QCOMPARE(list->Text(1, 1), QStringLiteral("Smith, John"));
        QCOMPARE(list->Text(1, 2), QStringLiteral("two\r\nlines"));
        QCOMPARE(list->Text(1, 17), QStringLiteral("0170"));
        QCOMPARE(list->Text(2, 2), QStringLiteral("short"));
        QCOMPARE(dialogs->Calls().first().file.nameFilter,
                 QStringLiteral("Import text (*.csv *.CSV *.tsv *.TSV *.txt *.TXT);;vCard (*.vcf "
                                "*.VCF *.vcard *.VCARD);;All files (*)"));
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
        onImport = [this](Import& dialog) {
            QCOMPARE(dialogs->LastMessage().messageId, MessageId::NoColumnMatches);
            // Nothing linked: Import says so and the dialog stays for the mapping.
            Click(&dialog, "ComExport");
            QCOMPARE(dialogs->LastMessage().messageId, MessageId::NothingLinked);
            QVERIFY(dialog.result() != QDialog::Accepted);
            // The name alone: the user is asked whether names without numbers are wanted.
            Relink(dialog, 0, QStringLiteral("Alias"));
            dialog.MappingList()->topLevelItem(0)->setCheckState(0, Qt::Checked);
            dialogs->QueueAnswer(DialogAnswer::No);
            Click(&dialog, "ComExport");
            QCOMPARE(dialogs->LastMessage().messageId, MessageId::NoNumberLinkedQuestion);
            QCOMPARE(dialogs->LastMessage().text,
                     QStringLiteral("No text field fills Phone: the records would come without "
                                    "numbers. Import them anyway?"));
            Relink(dialog, 1, QStringLiteral("Phone"));
            dialog.MappingList()->topLevelItem(1)->setCheckState(0, Qt::Checked);
            Click(&dialog, "ComExport");
        };
        dialogs->QueueFileName(Path("foreign.csv"));
        QVERIFY(ShowImportDialog(request));
        QCOMPARE(used, 1);
        QCOMPARE(book->Text(1, 1), QStringLiteral("Ann"));
        QCOMPARE(book->Text(1, 2), QStringLiteral("01701234567"));
    }

    void cancelledOrUnreadableImportChangesNothing() {
        auto list = ContactList(3);
        int used = 0;
        dialogs->QueueFileName(QString());
        QVERIFY(!ShowImportDialog(ImportOf(*list, used)));
        QCOMPARE(shown, 0);  // the dialog closes at once

        WriteAll(Path("empty.txt"), "");
        dialogs->QueueFileName(Path("empty.txt"));
        QVERIFY(!ShowImportDialog(ImportOf(*list, used)));
        QCOMPARE(dialogs->LastMessage().messageId, MessageId::NoFieldNames);

        WriteAll(Path("one.txt"), "Name\r\nAnn\r\n");
        onImport = [](Import& dialog) { Click(&dialog, "ComCancel"); };
        dialogs->QueueFileName(Path("one.txt"));
        QVERIFY(!ShowImportDialog(ImportOf(*list, used)));
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
        onExport = [](Export& dialog) {
            dialog.ChooseFileType(2);
            dialog.findChild<QListWidget*>("LColum")->item(24)->setCheckState(Qt::Unchecked);
            Click(&dialog, "ComExport");
        };
        dialogs->QueueFileName(Path("people.vcf"));
        ShowExportDialog(ExportOf(*list, 2));
        const QByteArray written = ReadAll(Path("people.vcf"));
        QCOMPARE(written.count("BEGIN:VCARD"), 2);
        QVERIFY(written.contains("VERSION:2.1\r\n"));
        QVERIFY(written.contains("TEL;CELL:+46701234567\r\n"));
        QVERIFY(!written.contains("NOTE"));
        QVERIFY(dialogs->Calls().first().file.nameFilter.startsWith("vCard"));

        // Back as personal records: no mapping dialog, every field in its place.
        auto copy = ContactList(5);
        int used = 0;
        dialogs->QueueFileName(Path("people.vcf"));
        QVERIFY(ShowImportDialog(ImportOf(*copy, used)));
        QCOMPARE(shown, 1);  // the export dialog only
        QCOMPARE(used, 2);
        for (int column = 1; column <= 24; ++column)
            QCOMPARE(copy->Text(1, column), list->Text(1, column));
        QCOMPARE(copy->Text(2, 1), QStringLiteral("Bob"));

        // As phone book entries: one per number, the type after the name, shortened to fit;
        // the import tells what it cut.
        auto book = ContactList(5);
        int bookUsed = 0;
        ImportRequest request = ImportOf(*book, bookUsed, QStringLiteral("Phone Record"));
        request.nameFit = CharacterNameFit(12);
        dialogs->QueueFileName(Path("people.vcf"));
        QVERIFY(ShowImportDialog(request));
        QCOMPARE(bookUsed, 3);
        QCOMPARE(book->Text(1, 1), QStringLiteral("Ann Berg M"));
        QCOMPARE(book->Text(1, 2), QStringLiteral("+46701234567"));
        QCOMPARE(book->Text(2, 1), QStringLiteral("Ann Berg W"));
        QCOMPARE(book->Text(3, 1), QStringLiteral("Bob"));
        QCOMPARE(dialogs->LastMessage().messageId, MessageId::VCardImportReport);

        // A file without a single vCard imports nothing and says so.
        WriteAll(Path("none.vcf"), "hello\r\n");
        dialogs->QueueFileName(Path("none.vcf"));
        QVERIFY(!ShowImportDialog(ImportOf(*copy, used)));
        QCOMPARE(dialogs->LastMessage().messageId, MessageId::NoVCard);
        QCOMPARE(used, 2);
    }
};

QTEST_MAIN(ExchangeDialogsTest)
#include "exchange_dialogs_test.moc"
