#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include "catalogue/catalogue.h"
#include "print_pdf_text.h"
#include "records/record_list.h"
#include "shell/print_records_dialog.h"
#include "support/scripted_dialogs.h"

namespace pellucard {
namespace {

// Operates the font, page set-up, printer and preview dialogs in place of the user.
struct PrintDialogScript {
    std::optional<QFont> font;  // nullopt: the user cancels the font dialog
    bool acceptPage = true;
    bool print = true;
    QString printPath;    // the PDF file the printer dialog chooses; empty: none chosen
    QString previewPath;  // where the preview's pages go
    int printerCalls = 0;
    int previewCalls = 0;
    QPrinter::PrintRange previewRange = QPrinter::PageRange;
    QStringList unknown;  // class names of any other dialog run

    void operator()(QDialog& dialog) {
        if (auto* fonts = qobject_cast<QFontDialog*>(&dialog)) {
            if (!font)
                return fonts->reject();
            fonts->setCurrentFont(*font);
            fonts->accept();
        } else if (auto* page = qobject_cast<QPageSetupDialog*>(&dialog)) {
            if (!acceptPage)
                return page->reject();
            page->printer()->setPageOrientation(QPageLayout::Landscape);
            page->accept();
        } else if (auto* printer = qobject_cast<QPrintDialog*>(&dialog)) {
            ++printerCalls;
            // The table prints whole or by pages, never a selection.
            QVERIFY(!printer->testOption(QAbstractPrintDialog::PrintSelection));
            QVERIFY(printer->testOption(QAbstractPrintDialog::PrintPageRange));
            printer->printer()->setOutputFormat(QPrinter::PdfFormat);
            printer->printer()->setOutputFileName(printPath);
            // done(), not accept(): accept() would copy the dialog's own fields over the
            // printer set up here.
            printer->done(print ? QDialog::Accepted : QDialog::Rejected);
        } else if (auto* preview = qobject_cast<QPrintPreviewDialog*>(&dialog)) {
            ++previewCalls;
            previewRange = preview->printer()->printRange();
            QPrinter pdf(QPrinter::HighResolution);
            pdf.setOutputFormat(QPrinter::PdfFormat);
            pdf.setOutputFileName(previewPath);
            pdf.setPageLayout(preview->printer()->pageLayout());
            emit preview->paintRequested(&pdf);
            preview->reject();
        } else {
            unknown.append(QString::fromLatin1(dialog.metaObject()->className()));
        }
    }
};

// A phone book list of 27 columns with `used` entries, as the phone book window keeps it.
std::unique_ptr<RecordList> PhoneBook(int used) {
    auto list = std::make_unique<RecordList>(used + 4, 27);
    list->SetText(0, 1, QStringLiteral("Name"));
    list->SetText(0, 2, QStringLiteral("Phone"));
    for (int row = 1; row < list->Rows(); ++row) {
        list->SetText(row, 0, QString::number(row));
        if (row <= used) {
            list->SetText(row, 1, QStringLiteral("Person-%1").arg(row));
            list->SetText(row, 2, QStringLiteral("+3120555%1").arg(row, 4, 10, QChar('0')));
        }
    }
    return list;
}

template <typename T>
T* Child(QWidget& parent, const char* name) {
    return parent.findChild<T*>(QLatin1String(name));
}

}  // namespace

class PrinterFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        hook_ = PrintDialogScript{};
        dialogs_ = std::make_unique<ScriptedDialogs>();
        dialogs_->RunModalWith([this](QDialog& dialog) { hook_(dialog); });
        hook_.printPath = dir_.filePath(QStringLiteral("print.pdf"));
        hook_.previewPath = dir_.filePath(QStringLiteral("preview.pdf"));
        form_ = std::make_unique<PrintRecordsDialog>();
        list_ = PhoneBook(5);
        form_->setRecords(*list_, 5, 3, {40, 150, 120}, QStringLiteral("SIM Card Phone Book"));
    }
    void cleanup() {
        form_.reset();
        QVERIFY(hook_.unknown.isEmpty());
        dialogs_.reset();
    }

    // A used count beyond the list or below zero cannot reach outside it.
    void keepsTheUsedCountWithinTheList() {
        form_->setRecords(*list_, 500, 40);
        QCOMPARE(form_->recordCount(), list_->LastSlot());
        form_->setRecords(*list_, -3, 3);
        QCOMPARE(form_->recordCount(), 0);
        QVERIFY(Child<QLineEdit>(*form_, "lastRecordField")->text().isEmpty());
        QVERIFY(!Child<QPushButton>(*form_, "printButton")->isEnabled());
    }

    // Each keystroke that leaves no record number from 0 to the number of records empties
    // the field.
    void rangeFieldsKeepOnlyRecordNumbers_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        const auto row = [](const char* name, const char* typed, const char* kept) {
            QTest::newRow(name) << QString::fromLatin1(typed) << QString::fromLatin1(kept);
        };
        row("a record", "3", "3");
        row("beyond the last", "6", "");
        row("letters", "3a", "");
        row("a sign is dropped", "-1", "1");
    }
    void rangeFieldsKeepOnlyRecordNumbers() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        for (const char* name : {"firstRecordField", "lastRecordField"}) {
            auto* edit = Child<QLineEdit>(*form_, name);
            edit->clear();
            QTest::keyClicks(edit, typed);
            QCOMPARE(edit->text(), kept);
        }
    }

    void rangeAndColumnsShapeThePrintedGrid() {
        auto* start = Child<QLineEdit>(*form_, "firstRecordField");
        auto* end = Child<QLineEdit>(*form_, "lastRecordField");
        start->setText(QStringLiteral("4"));
        end->setText(QStringLiteral("2"));
        QCOMPARE(form_->chosenRows(), std::make_pair(2, 4));  // a backward range
        start->setText(QStringLiteral("0"));
        end->clear();
        QCOMPARE(form_->chosenRows(), std::make_pair(1, 5));  // 0 and empty: the ends

        start->setText(QStringLiteral("2"));
        end->setText(QStringLiteral("3"));
        Child<QListWidget>(*form_, "columnList")->item(0)->setCheckState(Qt::Unchecked);
        const PrintTable grid = form_->printTable();
        QCOMPARE(grid.headers, QStringList({QString(), QStringLiteral("Phone")}));
        QCOMPARE(grid.widths, QList<int>({40, 120}));
        QCOMPARE(grid.rows,
                 QList<QStringList>({{QStringLiteral("2"), QStringLiteral("+31205550002")},
                                     {QStringLiteral("3"), QStringLiteral("+31205550003")}}));

        // With no column chosen there is nothing to print.
        form_->clearColumns();
        QVERIFY(form_->chosenColumns().isEmpty());
        QVERIFY(!Child<QPushButton>(*form_, "printButton")->isEnabled());
        QVERIFY(!form_->print());
        form_->showPreview();
        QCOMPARE(hook_.printerCalls + hook_.previewCalls, 0);
        form_->chooseAllColumns();
        QCOMPARE(form_->chosenColumns(), QList<int>({1, 2}));
    }

    void asksForAFileWhenThePdfPrinterHasNone() {
        ScriptedDialogs& dialogs = *dialogs_;
        hook_.printPath.clear();
        const QString chosen = dir_.filePath(QStringLiteral("chosen.pdf"));
        dialogs.QueueFileName(chosen);
        QVERIFY(form_->print());
        QCOMPARE(dialogs.Calls().size(), 1);
        QCOMPARE(dialogs.Calls()[0].kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(PdfPageTexts(chosen).size(), 1);

        // Cancelling the file dialog prints nothing and leaves the dialog open.
        auto again = std::make_unique<PrintRecordsDialog>();
        again->setRecords(*list_, 5, 3);
        dialogs.QueueFileName(QString());
        QVERIFY(!again->print());
        QCOMPARE(again->result(), int(QDialog::Rejected));
    }

    void tellsWhenThePagesCannotBeWritten() {
        ScriptedDialogs& dialogs = *dialogs_;
        hook_.printPath = dir_.filePath(QStringLiteral("no/such/folder/out.pdf"));
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        QVERIFY(!form_->print());
        QCOMPARE(form_->result(), int(QDialog::Rejected));
        QCOMPARE(dialogs.MessageIds(), MessageIdList({MessageId::PrintFailed}));
        QVERIFY(dialogs.LastMessage().text.contains(QStringLiteral("out.pdf")));

        // The user declining the printer dialog is no failure.
        dialogs.Clear();
        hook_.print = false;
        QVERIFY(!form_->print());
        QVERIFY(dialogs.Calls().isEmpty());

        // Nor is a printer dialog that was never answered: nothing is printed.
        dialogs.RunModalWith(nullptr);
        QVERIFY(!form_->print());
        QCOMPARE(dialogs.Unexpected().size(), 1);
        QCOMPARE(form_->result(), int(QDialog::Rejected));
    }

    void fontPageSetUpAndPreviewRunThroughTheDialogSeam() {
        const QFont before = form_->printFont();
        form_->chooseFont();  // cancelled
        QCOMPARE(form_->printFont(), before);
        hook_.font = QFont(QStringLiteral("DejaVu Serif"), 14);
        form_->chooseFont();
        QCOMPARE(form_->printFont().family(), QStringLiteral("DejaVu Serif"));

        form_->setUpPrinter();
        QCOMPARE(form_->printer().pageLayout().orientation(), QPageLayout::Landscape);

        // The preview shows every page, whatever page range an earlier print chose.
        form_->printer().setPrintRange(QPrinter::PageRange);
        form_->printer().setFromTo(2, 2);
        form_->showPreview();
        QCOMPARE(hook_.previewCalls, 1);
        QCOMPARE(hook_.previewRange, QPrinter::AllPages);
        const QStringList pages = PdfPageTexts(hook_.previewPath);
        QCOMPARE(pages.size(), 1);
        QVERIFY(Squeezed(pages[0]).contains(QStringLiteral("5Person-5+31205550005")));
        QCOMPARE(form_->result(), int(QDialog::Rejected));  // the preview does not close it

        // A new dialog starts with the font and paper chosen last.
        PrintRecordsDialog next;
        QCOMPARE(next.printFont().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(next.printer().pageLayout().orientation(), QPageLayout::Landscape);
    }

private:
    QTemporaryDir dir_;
    PrintDialogScript hook_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<PrintRecordsDialog> form_;
    std::unique_ptr<RecordList> list_;
};

}  // namespace pellucard

QTEST_MAIN(pellucard::PrinterFormTest)
#include "print_records_dialog_test.moc"
