#include <QFontMetricsF>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

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

}  // namespace

class PrintLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setPageSize(QPageSize(QPageSize::A6));
        printer_.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    }

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
        layout.paginate(printer_, page());

        const QFontMetricsF metrics(TestFont(), &printer_);
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

    // Every page carries the title, the column headers and its number; every record is
    // printed exactly once, in order, in both styles, Greek and accented names included. An
    // empty table still gives one page with its headers.
    void printsEveryRowOnceUnderRepeatedHeaders_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("rows");
        QTest::newRow("style one") << int(PrintStyle::One) << 70;
        QTest::newRow("style two") << int(PrintStyle::Two) << 70;
        QTest::newRow("empty") << int(PrintStyle::One) << 0;
    }
    void printsEveryRowOnceUnderRepeatedHeaders() {
        QFETCH(int, style);
        QFETCH(int, rows);
        PrintTable table = PhoneTable(rows);
        if (rows > 0) {
            table.rows[4][1] = QStringLiteral("Νίκος Παπαδόπουλος");
            table.rows[5][1] = QStringLiteral("Jürgen Müller-Lüdenscheidt");
        }
        PrintLayout layout(table, PrintStyle(style), TestFont());
        const QStringList pages = print(layout);
        QCOMPARE(pages.size(), layout.pageCount());
        QCOMPARE(layout.pageCount() >= 3, rows > 0);
        QString all;
        for (int page = 0; page < pages.size(); ++page) {
            const QString text = Squeezed(pages[page]);
            QVERIFY2(text.startsWith(QStringLiteral("SIMCardPhoneBookNamePhone")),
                     qPrintable(text));
            QVERIFY(text.endsWith(QStringLiteral("%1/%2").arg(page + 1).arg(pages.size())));
            all += text;
        }
        QStringList printed;
        for (const QStringList& row : table.rows) {
            printed.append(Squeezed(row.join(QString())));
        }
        QCOMPARE(NotOnceInOrder(all, printed), QString());
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
        const QString all = Squeezed(print(layout).join(QString()));
        QVERIFY(layout.pageCount() >= 3);
        QCOMPARE(layout.rowsOnPage(0), QList<int>({0, 1}));
        QCOMPARE(NotOnceInOrder(all, lines + QStringList{QStringLiteral("3after")}), QString());

        PrintTable huge;
        huge.headers = {QString()};
        huge.rows = {{QStringLiteral("xyzzy quux jib")}};
        PrintLayout giant(huge, PrintStyle::One, TestFont(150));
        // Words wider than the paper are broken anywhere; the page numbers aside, the
        // pages hold the text and nothing else.
        QString giantText = Squeezed(print(giant).join(QString()));
        QVERIFY(giant.pageCount() >= 2 && giant.pageCount() < 50);
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
        const QStringList pages = print(layout, PageRun{2, 3, 2, collate});
        QCOMPARE(pages.size(), expected.size());
        for (int i = 0; i < pages.size(); ++i) {
            QVERIFY(Squeezed(pages[i]).endsWith(
                QStringLiteral("%1/%2").arg(expected[i]).arg(layout.pageCount())));
        }
        // Pages beyond the end print the last page rather than nothing.
        QCOMPARE(print(layout, PageRun{50, 60}).size(), 1);
    }

private:
    QRectF page() const { return QRectF(0, 0, printer_.width(), printer_.height()); }

    // Prints `layout` to a PDF file and reads its pages back.
    QStringList print(PrintLayout& layout, const PageRun& run = {}) {
        const QString path = dir_.filePath(QStringLiteral("printed.pdf"));
        printer_.setOutputFileName(path);
        if (!layout.print(printer_, run)) {
            return {};
        }
        return PdfPageTexts(path);
    }

    QTemporaryDir dir_;
    QPrinter printer_{QPrinter::HighResolution};
};

}  // namespace pellucard

QTEST_MAIN(pellucard::PrintLayoutTest)
#include "print_layout_test.moc"
