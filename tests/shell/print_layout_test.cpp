#include <QFontMetricsF>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include <numeric>

#include "print_pdf_text.h"
#include "shell/print_layout.h"

namespace pellucard {
namespace {

QFont TestFont(qreal points = 10) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    return font;
}

// A phone book as the print dialog hands it over: slot numbers, names and numbers.
PrintTable PhoneTable(int rows) {
    PrintTable table;
    table.title = QStringLiteral("SIM Card Phone Book");
    table.headers = {QString(), QStringLiteral("Name"), QStringLiteral("Phone")};
    table.widths = {40, 150, 120};
    for (int row = 1; row <= rows; ++row) {
        table.rows.append({QString::number(row),
                           QStringLiteral("Name-%1").arg(row, 3, 10, QChar('0')),
                           QStringLiteral("+49301234%1").arg(row, 3, 10, QChar('0'))});
    }
    return table;
}

// The first of `parts` that does not occur in `text` exactly once and after the part
// before it; an empty string when all do.
QString NotOnceInOrder(const QString& text, const QStringList& parts) {
    qsizetype at = 0;
    for (const QString& part : parts) {
        const qsizetype found = text.indexOf(part, at);
        if (found < 0 || text.indexOf(part, found + 1) >= 0) {
            return part;
        }
        at = found + part.size();
    }
    return {};
}

void SetUpPdf(QPrinter& printer, const QString& path, QPageSize::PageSizeId size) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(size));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

}  // namespace

class PrintLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void wrapsEachCellToItsColumn() {
        PrintTable table;
        table.headers = {QStringLiteral("Slot"), QStringLiteral("Message")};
        table.widths = {1, 1};
        const QString words = QStringLiteral(
            "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron");
        const QString longWord(300, QLatin1Char('x'));
        table.rows = {
            {QStringLiteral("1"), words},
            {QStringLiteral("2"), longWord},
            {QStringLiteral("3"), QStringLiteral("line one\r\nline two\rline three\tend\x01")}};
        PrintLayout layout(table, PrintStyle::One, TestFont());
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdf(printer, dir_.filePath(QStringLiteral("wrap.pdf")), QPageSize::A6);
        layout.paginate(printer, QRectF(0, 0, printer.width(), printer.height()));

        const QFontMetricsF metrics(TestFont(), &printer);
        const qreal width = layout.columnWidths()[1];
        for (int row = 0; row < 2; ++row) {
            const QStringList lines = layout.cellLines(row, 1);
            QVERIFY2(lines.size() > 1, qPrintable(lines.join('|')));
            for (const QString& line : lines) {
                QVERIFY2(metrics.horizontalAdvance(line) <= width, qPrintable(line));
            }
        }
        // Words are broken at blanks and nothing is lost; a word wider than its column is
        // broken anywhere.
        QCOMPARE(layout.cellLines(0, 1).join(QLatin1Char(' ')), words);
        QCOMPARE(layout.cellLines(1, 1).join(QString()), longWord);
        // Line ends of any system start new lines; tabs and control characters print blank.
        QCOMPARE(layout.cellLines(2, 1),
                 QStringList({QStringLiteral("line one"), QStringLiteral("line two"),
                              QStringLiteral("line three end")}));
    }

    void sharesThePageWidthByTheListWidths() {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdf(printer, dir_.filePath(QStringLiteral("widths.pdf")), QPageSize::A4);
        const QRectF page(0, 0, printer.width(), printer.height());
        const auto total = [](const QList<qreal>& widths) {
            return std::accumulate(widths.begin(), widths.end(), qreal(0));
        };

        PrintTable table = PhoneTable(3);
        table.widths = {10, 30, 60};
        PrintLayout proportional(table, PrintStyle::One, TestFont());
        proportional.paginate(printer, page);
        const QList<qreal> widths = proportional.columnWidths();
        QCOMPARE(widths.size(), 3);
        QVERIFY(qAbs(total(widths) - page.width()) < 1);
        QVERIFY(qAbs(widths[1] / widths[0] - 3) < 0.01);
        QVERIFY(qAbs(widths[2] / widths[0] - 6) < 0.01);
        QCOMPARE(proportional.columnLefts()[1], widths[0]);

        // A sliver of a column still gets room for a few characters.
        table.widths = {1, 2000, 2000};
        PrintLayout sliver(table, PrintStyle::One, TestFont());
        sliver.paginate(printer, page);
        QVERIFY(sliver.columnWidths()[0] >
                QFontMetricsF(TestFont(), &printer).averageCharWidth() * 3);
        QVERIFY(qAbs(total(sliver.columnWidths()) - page.width()) < 1);

        // Without widths the texts decide, and too many columns share the page equally.
        table.widths.clear();
        table.rows[0][2] = QStringLiteral("a much longer text than any name in the list");
        PrintLayout fitted(table, PrintStyle::Two, TestFont());
        fitted.paginate(printer, page);
        QVERIFY(fitted.columnWidths()[2] > fitted.columnWidths()[1]);
        PrintTable wide;
        for (int column = 0; column < 60; ++column) {
            wide.headers.append(QStringLiteral("Column %1").arg(column));
        }
        PrintLayout crowded(wide, PrintStyle::One, TestFont());
        crowded.paginate(printer, page);
        QCOMPARE(crowded.columnWidths().size(), 60);
        QVERIFY(qAbs(crowded.columnWidths().front() - crowded.columnWidths().back()) < 0.01);
        QVERIFY(qAbs(total(crowded.columnWidths()) - page.width()) < 1);
    }

    // Every page carries the title, the column headers and its number; every record is
    // printed exactly once, in order, in both styles, Greek and accented names included.
    void printsEveryRowOnceUnderRepeatedHeaders_data() {
        QTest::addColumn<int>("style");
        QTest::newRow("style one") << int(PrintStyle::One);
        QTest::newRow("style two") << int(PrintStyle::Two);
    }
    void printsEveryRowOnceUnderRepeatedHeaders() {
        QFETCH(int, style);
        PrintTable table = PhoneTable(70);
        table.rows[4][1] = QStringLiteral("Νίκος Παπαδόπουλος");
        table.rows[5][1] = QStringLiteral("Jürgen Müller-Lüdenscheidt");
        PrintLayout layout(table, PrintStyle(style), TestFont());
        QPrinter printer(QPrinter::HighResolution);
        const QString path = dir_.filePath(QStringLiteral("rows%1.pdf").arg(style));
        SetUpPdf(printer, path, QPageSize::A6);
        QVERIFY(layout.print(printer));
        QVERIFY(layout.pageCount() >= 3);

        const QStringList pages = PdfPageTexts(path);
        QCOMPARE(pages.size(), layout.pageCount());
        QString all;
        for (int page = 0; page < pages.size(); ++page) {
            const QString text = Squeezed(pages[page]);
            QVERIFY2(text.startsWith(QStringLiteral("SIMCardPhoneBookNamePhone")),
                     qPrintable(text));
            QVERIFY(text.endsWith(QStringLiteral("%1/%2").arg(page + 1).arg(pages.size())));
            all += text;
        }
        QStringList rows;
        for (const QStringList& row : table.rows) {
            rows.append(Squeezed(row.join(QString())));
        }
        QCOMPARE(NotOnceInOrder(all, rows), QString());
    }

    void pdftotextReadsThePages() {
        PrintLayout layout(PhoneTable(70), PrintStyle::One, TestFont());
        QPrinter printer(QPrinter::HighResolution);
        const QString path = dir_.filePath(QStringLiteral("poppler.pdf"));
        SetUpPdf(printer, path, QPageSize::A6);
        QVERIFY(layout.print(printer));
        const QString text = PdfToText(path);
        if (text.isNull()) {
            QSKIP("pdftotext (Debian package poppler-utils) is not installed");
        }
        const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), layout.pageCount());
        QVERIFY(pages[0].contains(QStringLiteral("SIM Card Phone Book")));
        QVERIFY(pages.last().contains(QStringLiteral("Name-070")));
        QVERIFY(pages.last().contains(QStringLiteral("+49301234070")));
        for (int page = 0; page < pages.size(); ++page) {
            QVERIFY(pages[page].contains(QStringLiteral("Phone")));
            // The blanks around the slash are too narrow for pdftotext to keep.
            QVERIFY(Squeezed(pages[page])
                        .contains(QStringLiteral("%1/%2").arg(page + 1).arg(pages.size())));
        }
    }

    // A record too tall for a page goes on over the next pages; even a font too large for
    // the paper ends, with every line printed.
    void continuesRowsTallerThanAPage() {
        QStringList lines;
        for (int line = 1; line <= 120; ++line) {
            lines.append(QStringLiteral("L%1").arg(line, 3, 10, QChar('0')));
        }
        PrintTable table;
        table.headers = {QStringLiteral("Slot"), QStringLiteral("Message")};
        table.rows = {{QStringLiteral("1"), QStringLiteral("short")},
                      {QStringLiteral("2"), lines.join(QLatin1Char('\n'))},
                      {QStringLiteral("3"), QStringLiteral("after")}};
        PrintLayout layout(table, PrintStyle::Two, TestFont());
        QPrinter printer(QPrinter::HighResolution);
        const QString path = dir_.filePath(QStringLiteral("tall.pdf"));
        SetUpPdf(printer, path, QPageSize::A6);
        QVERIFY(layout.print(printer));
        QVERIFY(layout.pageCount() >= 3);
        QCOMPARE(layout.rowsOnPage(0), QList<int>({0, 1}));
        QCOMPARE(layout.rowsOnPage(1), QList<int>({1}));
        const QString all = Squeezed(PdfPageTexts(path).join(QString()));
        QCOMPARE(NotOnceInOrder(all, lines + QStringList{QStringLiteral("3after")}), QString());

        PrintTable huge;
        huge.headers = {QString()};
        huge.rows = {{QStringLiteral("xyzzy quux jib")}};
        PrintLayout giant(huge, PrintStyle::One, TestFont(150));
        const QString giantPath = dir_.filePath(QStringLiteral("giant.pdf"));
        SetUpPdf(printer, giantPath, QPageSize::A6);
        QVERIFY(giant.print(printer));
        QVERIFY(giant.pageCount() >= 2 && giant.pageCount() < 50);
        // Words wider than the paper are broken anywhere; the page numbers aside, the
        // pages hold the text and nothing else.
        QString giantText = Squeezed(PdfPageTexts(giantPath).join(QString()));
        giantText.remove(QRegularExpression(QStringLiteral("[0-9/]")));
        QCOMPARE(giantText, QStringLiteral("xyzzyquuxjib"));
    }

    void printsChosenPagesAndCopies_data() {
        QTest::addColumn<bool>("collate");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("collated") << true << QList<int>({2, 3, 2, 3});
        QTest::newRow("uncollated") << false << QList<int>({2, 2, 3, 3});
    }
    void printsChosenPagesAndCopies() {
        QFETCH(bool, collate);
        QFETCH(QList<int>, expected);
        PrintLayout layout(PhoneTable(80), PrintStyle::One, TestFont());
        QPrinter printer(QPrinter::HighResolution);
        const QString path = dir_.filePath(QStringLiteral("run.pdf"));
        SetUpPdf(printer, path, QPageSize::A6);
        QVERIFY(layout.print(printer, PageRun{2, 3, 2, collate}));
        const QStringList pages = PdfPageTexts(path);
        QCOMPARE(pages.size(), expected.size());
        for (int i = 0; i < pages.size(); ++i) {
            QVERIFY(Squeezed(pages[i]).endsWith(
                QStringLiteral("%1/%2").arg(expected[i]).arg(layout.pageCount())));
        }

        // Pages beyond the end print the last page rather than nothing.
        QVERIFY(layout.print(printer, PageRun{50, 60}));
        QCOMPARE(PdfPageTexts(path).size(), 1);
    }

    void reportsAFileThatCannotBeWritten() {
        PrintLayout layout(PhoneTable(3), PrintStyle::One, TestFont());
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdf(printer, dir_.filePath(QStringLiteral("missing/folder/out.pdf")), QPageSize::A4);
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        QVERIFY(!layout.print(printer));
    }

    void printsAnEmptyTableOnOnePage() {
        PrintLayout layout(PhoneTable(0), PrintStyle::One, TestFont());
        QPrinter printer(QPrinter::HighResolution);
        const QString path = dir_.filePath(QStringLiteral("empty.pdf"));
        SetUpPdf(printer, path, QPageSize::A6);
        QVERIFY(layout.print(printer));
        QCOMPARE(layout.pageCount(), 1);
        QCOMPARE(Squeezed(PdfPageTexts(path).value(0)),
                 QStringLiteral("SIMCardPhoneBookNamePhone1/1"));
    }

private:
    QTemporaryDir dir_;
};

}  // namespace pellucard

QTEST_MAIN(pellucard::PrintLayoutTest)
#include "print_layout_test.moc"
