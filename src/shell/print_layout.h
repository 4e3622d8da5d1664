#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPageLayout;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace pellucard {

// A table of texts to print: a title, one header per column and the rows of cells.
// `widths` gives each column's share of the page width (the widths the list had on the
// screen); a missing or non-positive width lets the column's text decide its share.
struct PrintTable {
    QString title;
    QStringList headers;
    QList<QStringList> rows;
    QList<int> widths;
};

// Style one rules every cell and shades the header row; style two is an open list with a
// heavy rule under the header and light bands on every other row.
enum class PrintStyle { One, Two };

// Which pages to print and how often. Pages count from 1; 0 means the first or the last.
struct PageRun {
    int fromPage = 0;
    int toPage = 0;
    int copies = 1;
    bool collate = true;
};

// Lays a PrintTable out on pages: the title and the column headers on top of every page,
// each cell's text broken into lines that fit its column, a row taller than a page
// continued on the next, and "n / m" at the foot of every page. Measures are in the
// pixels of the paint device given to Paginate, so the same layout serves a printer, a
// PDF file and a picture.
class PrintLayout {
public:
    PrintLayout(PrintTable table, PrintStyle style, const QFont& font);

    // Breaks the table into pages whose printable area is `page` on `device`.
    void paginate(QPaintDevice& device, const QRectF& page);

    // At least 1 once paginated: an empty table still gives a page with its headers.
    int pageCount() const { return static_cast<int>(pages_.size()); }

    // The lines that the cell of row `row` (0-based), column `column` was broken into.
    QStringList cellLines(int row, int column) const;
    // The rows, in order, of which page `page` (0-based) shows at least one line.
    QList<int> rowsOnPage(int page) const;
    // The left edge and width of each column on the page.
    const QList<qreal>& columnLefts() const { return columnLeft_; }
    const QList<qreal>& columnWidths() const { return columnWidth_; }

    // Draws page `page` (0-based) with a painter open on the paginated device.
    void paintPage(QPainter& painter, int page) const;

    // Paginates for `device` and prints the pages of `run` on it. False when the device
    // cannot be painted on (a PDF file that cannot be written, a printer that went away).
    bool print(QPagedPaintDevice& device, const PageRun& run = {});

private:
    struct Cell {
        QStringList lines;
    };
    struct Slice {
        int row = 0;        // index into table_.rows
        int firstLine = 0;  // first line of the row's cells shown here
        int lineCount = 0;  // lines shown here, the row's tallest cell counted
        qreal top = 0;
        qreal height = 0;
    };
    struct Page {
        QList<Slice> slices;
    };

    void sizeColumns(QPaintDevice& device);
    QStringList wrap(const QString& text, const QFont& font, qreal width,
                     QPaintDevice& device) const;
    void paintHeader(QPainter& painter, qreal top) const;
    void paintSlice(QPainter& painter, const Slice& slice) const;
    void paintFooter(QPainter& painter, int page) const;
    qreal points(qreal points) const { return points * dpi_ / 72.0; }

    PrintTable table_;
    PrintStyle style_;
    QFont font_;
    QFont headerFont_;
    QFont titleFont_;
    QFont footerFont_;

    // Set by Paginate.
    QRectF page_;
    qreal dpi_ = 72;
    qreal lineHeight_ = 0;
    qreal headerLineHeight_ = 0;
    qreal padX_ = 0;
    qreal padY_ = 0;
    qreal titleHeight_ = 0;
    qreal headerHeight_ = 0;
    qreal footerHeight_ = 0;
    QString titleText_;
    QList<qreal> columnLeft_;
    QList<qreal> columnWidth_;
    QList<QStringList> headerLines_;
    QList<QList<Cell>> cells_;
    QList<int> rowLines_;
    QList<Page> pages_;
};

// The first page of `table` as it would be printed on paper of `pageLayout`, drawn at 72
// dots per inch (one dot a point): a picture of the style for the print dialog.
QImage firstPageImage(const PrintTable& table, PrintStyle style, const QFont& font,
                      const QPageLayout& pageLayout);

}  // namespace pellucard
