// The phone book window's text export and import in each of the eight languages: the dialogs
// speak the language in force, and a file exported in one language imports in another with
// its names and numbers.
#include <QFile>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "support/window_rig.h"
#include "windows/exchange_dialog_runner.h"
#include "windows/export_dialog.h"
#include "windows/import_dialog.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/record_exchange.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

const QStringList kNames = {QStringLiteral("Ann Berg"), QStringLiteral("Иван Петров"),
                            QStringLiteral("Γιώργος")};
const QStringList kNumbers = {QStringLiteral("+46701234567"), QStringLiteral("+79123456789"),
                              QStringLiteral("*100#")};

QString ButtonText(QWidget* dialog, const char* name) {
    const auto* button = dialog->findChild<QPushButton*>(QLatin1String(name));
    return button != nullptr ? button->text() : QStringLiteral("(no %1)").arg(name);
}

}  // namespace

class ExchangeLanguagesTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private:
    void UseLanguage(int language) {
        rig->session->LanguageIndex = language;
        window->changeLanguage();
    }

private slots:
    void init() {
        QVERIFY(Open());
        setRecordExportHook(showExportDialog);
        setRecordImportHook(showImportDialog);
    }
    void cleanup() {
        setExchangeDialogRunner(nullptr);
        setRecordExportHook({});
        setRecordImportHook({});
        Close();
    }

    void exportedInOneLanguageImportedInAnother_data() {
        QTest::addColumn<int>("exported");
        QTest::addColumn<int>("imported");
        for (int language = 0; language < kLanguageCount; ++language) {
            const int other = (language + 3) % kLanguageCount;
            QTest::addRow("%d to %d", language, other) << language << other;
        }
    }

    void exportedInOneLanguageImportedInAnother() {
        QFETCH(int, exported);
        QFETCH(int, imported);
        for (int row = 1; row <= 3; ++row) {
            Computer().SetText(row, phone_column::kName, kNames[row - 1]);
            Computer().SetText(row, phone_column::kNumber, kNumbers[row - 1]);
        }
        window->setUsedCountOfCurrentList(3);
        const QString path = rig->folder.filePath(QStringLiteral("book.csv"));

        UseLanguage(exported);
        setExchangeDialogRunner([&](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), Message(MessageId::Export, exported));
            QCOMPARE(ButtonText(&dialog, "cancelButton"), Message(MessageId::Cancel, exported));
            dialog.findChild<QPushButton*>("exportButton")->click();
        });
        rig->dialogs.QueueFileName(path);
        window->exportText(QLatin1Char(','));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(
            QString::fromUtf8(file.readLine()).contains(Message(MessageId::PhoneTitle, exported)));

        UseLanguage(imported);
        bool shown = false;
        setExchangeDialogRunner([&](QDialog& dialog) {
            shown = true;
            QVERIFY(
                dialog.windowTitle().startsWith(Message(MessageId::ImportTitlePrefix, imported)));
            QCOMPARE(ButtonText(&dialog, "mappingButton"),
                     Message(MessageId::ChangeMapping, imported));
            QCOMPARE(ButtonText(&dialog, "importButton"), Message(MessageId::Import, imported));
            QCOMPARE(ButtonText(&dialog, "cancelButton"), Message(MessageId::Cancel, imported));
            const auto* import = qobject_cast<ImportDialog*>(&dialog);
            QVERIFY(import != nullptr);
            const QTreeWidget* mapping = import->mappingList();
            QCOMPARE(mapping->headerItem()->text(0), Message(MessageId::TextField, imported));
            QCOMPARE(mapping->headerItem()->text(1), Message(MessageId::PhoneRecord, imported));
            QCOMPARE(mapping->topLevelItem(0)->text(1), Message(MessageId::AliasTitle, imported));
            QCOMPARE(mapping->topLevelItem(1)->text(1), Message(MessageId::PhoneTitle, imported));
            dialog.findChild<QPushButton*>("importButton")->click();
        });
        rig->dialogs.QueueFileName(path);
        window->importText(QLatin1Char(','));
        QVERIFY(shown);
        QVERIFY(rig->dialogs.Calls().last().file.nameFilter.startsWith(
            Message(MessageId::ImportTextFilter, imported).section(u'|', 0, 0).trimmed() +
            QStringLiteral(" (*.csv")));
        QCOMPARE(window->usedCount(kComputer), 6);
        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(Computer().Text(3 + row, phone_column::kName), kNames[row - 1]);
            QCOMPARE(Computer().Text(3 + row, phone_column::kNumber), kNumbers[row - 1]);
        }
    }
};

QTEST_MAIN(ExchangeLanguagesTest)
#include "exchange_languages_test.moc"
