// The phone book window's text export and import in each of the eight languages: a file
// exported in one language imports in another with its names and numbers.
#include <QFile>
#include <QPushButton>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "support/window_rig.h"
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

}  // namespace

class ExchangeLanguagesTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private:
    void UseLanguage(int language) {
        rig->session->setLanguageIndex(language);
        window->changeLanguage();
    }

private slots:
    void init() {
        QVERIFY(Open());
        setRecordExportHook(showExportDialog);
        setRecordImportHook(showImportDialog);
    }
    void cleanup() {
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

        // The file's titles are the exporting language's; the import links them by themselves.
        UseLanguage(exported);
        rig->dialogs.RunModalWith(
            [](QDialog& dialog) { dialog.findChild<QPushButton*>("exportButton")->click(); });
        rig->dialogs.QueueFileName(path);
        window->exportText(QLatin1Char(','));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(
            QString::fromUtf8(file.readLine()).contains(Message(MessageId::PhoneTitle, exported)));

        UseLanguage(imported);
        rig->dialogs.RunModalWith(
            [](QDialog& dialog) { dialog.findChild<QPushButton*>("importButton")->click(); });
        rig->dialogs.QueueFileName(path);
        window->importText(QLatin1Char(','));
        QCOMPARE(window->usedCount(kComputer), 6);
        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(Computer().Text(3 + row, phone_column::kName), kNames[row - 1]);
            QCOMPARE(Computer().Text(3 + row, phone_column::kNumber), kNumbers[row - 1]);
        }
    }
};

QTEST_MAIN(ExchangeLanguagesTest)
#include "exchange_languages_test.moc"
