#include "shell/print_layout.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pellucard {
namespace {

// The longest run of rows measured when a column's share comes from its text; enough to
// judge a column without measuring every cell of a long list twice.
constexpr int kMeasuredRows = 400;
// Screen pixels per inch: the unit of the widths that the lists hand over.
constexpr qreal kScreenDpi = 96;

const QColor kHeaderShade(224, 224, 224);
const QColor kBandShade(240, 240, 240);
const QColor kRowRule(160, 160, 160);

// Cell texts come from files and the card: line ends of any system, tabs and other
// control characters. Lines are kept, everything else that would not print becomes a blank.
QStringList paragraphs(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (QChar& ch : text) {
        if (ch != QLatin1Char('\n') && (ch.category() == QChar::Other_Control)) {
            ch = QLatin1Char(' ');
        }
    }
    return text.split(QLatin1Char('\n'));
}

QFont printableFont(QFont font) {
    // A font sized in pixels would come out a few hundredths of an inch high on a
    // printer; printing needs a size in points.
    if (font.pointSizeF() <= 0) {
        font.setPointSizeF(10);
    }
    return font;
}

}  // namespace

PrintLayout::PrintLayout(PrintTable table, PrintStyle style, const QFont& font)
    : table_(std::move(table)), style_(style), font_(printableFont(font)) {
    headerFont_ = font_;
    headerFont_.setBold(true);
    titleFont_ = headerFont_;
    titleFont_.setPointSizeF(font_.pointSizeF() * 1.4);
    footerFont_ = font_;
    footerFont_.setPointSizeF(std::max(6.0, font_.pointSizeF() * 0.85));
}

QStringList PrintLayout::wrap(const QString& text, const QFont& font, qreal width,
                              QPaintDevice& device) const {
    QStringList lines;
    if (text.isEmpty()) {
        return lines;
    }
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : paragraphs(text)) {
        if (paragraph.trimmed().isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font, &device);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max<qreal>(width, 1));
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (!part.isEmpty() && part.back().isSpace()) {
                part.chop(1);
            }
            lines.append(part);
        }
        layout.endLayout();
    }
    while (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

void PrintLayout::sizeColumns(QPaintDevice& device) {
    int columns = std::max<int>(table_.headers.size(), table_.widths.size());
    for (const QStringList& row : table_.rows) {
        columns = std::max<int>(columns, row.size());
    }
    columnLeft_.clear();
    columnWidth_.clear();
    if (columns == 0) {
        return;
    }

    // Each column's preferred width in screen pixels: the list's own width, or else the
    // width of its longest line, capped so that one long text cannot starve the others.
    const QFontMetricsF metrics(font_, &device);
    const QFontMetricsF headerMetrics(headerFont_, &device);
    const qreal toScreen = kScreenDpi / dpi_;
    QList<qreal> preferred;
    for (int column = 0; column < columns; ++column) {
        const int given = column < table_.widths.size() ? table_.widths[column] : 0;
        if (given > 0) {
            preferred.append(given);
            continue;
        }
        qreal widest = headerMetrics.horizontalAdvance(table_.headers.value(column));
        const int measured = std::min<int>(table_.rows.size(), kMeasuredRows);
        for (int row = 0; row < measured; ++row) {
            for (const QString& line : paragraphs(table_.rows[row].value(column))) {
                widest = std::max(widest, metrics.horizontalAdvance(line));
            }
        }
        widest = std::min(widest + 2 * padX_, page_.width() / 2);
        preferred.append(std::max<qreal>(widest * toScreen, 1));
    }

    // Share the page width in proportion, but give every column room for a few
    // characters; when even that does not fit, the columns share the width equally.
    const qreal total = page_.width();
    const qreal minimum = 3 * metrics.averageCharWidth() + 2 * padX_;
    QList<qreal> widths(columns, total / columns);
    if (minimum * columns < total) {
        QList<bool> fixed(columns, false);
        for (bool changed = true; changed;) {
            changed = false;
            qreal freeWidth = total;
            qreal freeShare = 0;
            for (int column = 0; column < columns; ++column) {
                if (fixed[column]) {
                    freeWidth -= minimum;
                } else {
                    freeShare += preferred[column];
                }
            }
            for (int column = 0; column < columns; ++column) {
                if (fixed[column]) {
                    widths[column] = minimum;
                    continue;
                }
                widths[column] = freeWidth * preferred[column] / freeShare;
                if (widths[column] < minimum) {
                    fixed[column] = true;
                    changed = true;
                }
            }
        }
    }
    qreal left = page_.left();
    for (qreal width : widths) {
        columnLeft_.append(left);
        columnWidth_.append(width);
        left += width;
    }
}

void PrintLayout::paginate(QPaintDevice& device, const QRectF& page) {
    page_ = page;
    dpi_ = device.logicalDpiY() > 0 ? device.logicalDpiY() : 72;
    const QFontMetricsF metrics(font_, &device);
    const QFontMetricsF headerMetrics(headerFont_, &device);
    const QFontMetricsF titleMetrics(titleFont_, &device);
    const QFontMetricsF footerMetrics(footerFont_, &device);
    lineHeight_ = metrics.lineSpacing();
    headerLineHeight_ = headerMetrics.lineSpacing();
    padX_ = points(3);
    padY_ = points(1.5);

    titleText_ = titleMetrics.elidedText(table_.title.simplified(), Qt::ElideRight, page.width());
    titleHeight_ = titleText_.isEmpty() ? 0 : titleMetrics.lineSpacing() + points(6);
    footerHeight_ = footerMetrics.lineSpacing() + points(6);

    sizeColumns(device);
    const int columns = static_cast<int>(columnWidth_.size());

    headerLines_.clear();
    int headerLines = 1;
    for (int column = 0; column < columns; ++column) {
        headerLines_.append(wrap(table_.headers.value(column), headerFont_,
                                 columnWidth_[column] - 2 * padX_, device));
        headerLines = std::max<int>(headerLines, headerLines_.back().size());
    }
    headerHeight_ = headerLines * headerLineHeight_ + 2 * padY_;

    cells_.clear();
    rowLines_.clear();
    for (const QStringList& row : table_.rows) {
        QList<Cell> cells;
        int lines = 1;
        for (int column = 0; column < columns; ++column) {
            cells.append(
                Cell{wrap(row.value(column), font_, columnWidth_[column] - 2 * padX_, device)});
            lines = std::max<int>(lines, cells.back().lines.size());
        }
        cells_.append(cells);
        rowLines_.append(lines);
    }

    // Rows go onto the page whole when they fit. A row that does not fit on what is left
    // of a page starts the next one, unless it is taller than a whole page: such a row
    // fills the rest of the page and goes on over the next. At least one line goes onto
    // every page, so even a font too large for the paper ends after a finite number of
    // pages.
    const qreal bodyTop = page.top() + titleHeight_ + headerHeight_;
    const qreal bodyBottom = page.bottom() - footerHeight_;
    const auto linesThatFit = [&](qreal top) {
        return static_cast<int>(std::floor((bodyBottom - top - 2 * padY_) / lineHeight_ + 1e-6));
    };
    const int pageLines = linesThatFit(bodyTop);
    pages_.clear();
    Page current;
    qreal y = bodyTop;
    const auto place = [&](int row, int firstLine, int count) {
        const qreal height = count * lineHeight_ + 2 * padY_;
        current.slices.append(Slice{row, firstLine, count, y, height});
        y += height;
    };
    const auto nextPage = [&] {
        pages_.append(current);
        current = Page{};
        y = bodyTop;
    };
    for (int row = 0; row < rowLines_.size(); ++row) {
        int firstLine = 0;
        while (firstLine < rowLines_[row]) {
            const int remaining = rowLines_[row] - firstLine;
            const int fit = linesThatFit(y);
            if (fit >= remaining) {
                place(row, firstLine, remaining);
                break;
            }
            if (!current.slices.isEmpty() && (remaining <= pageLines || fit < 1)) {
                nextPage();
                continue;
            }
            const int count = std::max(1, fit);
            place(row, firstLine, count);
            firstLine += count;
            nextPage();
        }
    }
    if (!current.slices.isEmpty() || pages_.isEmpty()) {
        pages_.append(current);
    }
}

QStringList PrintLayout::cellLines(int row, int column) const {
    if (row < 0 || row >= cells_.size() || column < 0 || column >= cells_[row].size()) {
        return {};
    }
    return cells_[row][column].lines;
}

QList<int> PrintLayout::rowsOnPage(int page) const {
    QList<int> rows;
    if (page < 0 || page >= pages_.size()) {
        return rows;
    }
    for (const Slice& slice : pages_[page].slices) {
        rows.append(slice.row);
    }
    return rows;
}

void PrintLayout::paintHeader(QPainter& painter, qreal top) const {
    if (columnWidth_.isEmpty()) {
        return;
    }
    const qreal left = columnLeft_.front();
    const qreal right = columnLeft_.back() + columnWidth_.back();
    const QRectF band(left, top, right - left, headerHeight_);
    if (style_ == PrintStyle::One) {
        painter.fillRect(band, kHeaderShade);
        painter.setPen(QPen(Qt::black, points(0.5)));
        for (int column = 0; column < columnWidth_.size(); ++column) {
            painter.drawRect(QRectF(columnLeft_[column], top, columnWidth_[column], headerHeight_));
        }
    } else {
        painter.setPen(QPen(Qt::black, points(1.5)));
        painter.drawLine(band.bottomLeft(), band.bottomRight());
    }
    painter.setFont(headerFont_);
    painter.setPen(Qt::black);
    const qreal ascent = QFontMetricsF(headerFont_, painter.device()).ascent();
    for (int column = 0; column < headerLines_.size(); ++column) {
        const QStringList& lines = headerLines_[column];
        for (int line = 0; line < lines.size(); ++line) {
            painter.drawText(QPointF(columnLeft_[column] + padX_,
                                     top + padY_ + line * headerLineHeight_ + ascent),
                             lines[line]);
        }
    }
}

void PrintLayout::paintSlice(QPainter& painter, const Slice& slice) const {
    const qreal left = columnLeft_.front();
    const qreal right = columnLeft_.back() + columnWidth_.back();
    const QRectF band(left, slice.top, right - left, slice.height);
    if (style_ == PrintStyle::One) {
        painter.setPen(QPen(Qt::black, points(0.5)));
        for (int column = 0; column < columnWidth_.size(); ++column) {
            painter.drawRect(
                QRectF(columnLeft_[column], slice.top, columnWidth_[column], slice.height));
        }
    } else {
        if (slice.row % 2 == 1) {
            painter.fillRect(band, kBandShade);
        }
        painter.setPen(QPen(kRowRule, points(0.25)));
        painter.drawLine(band.bottomLeft(), band.bottomRight());
    }
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const qreal ascent = QFontMetricsF(font_, painter.device()).ascent();
    const QList<Cell>& cells = cells_[slice.row];
    for (int column = 0; column < cells.size(); ++column) {
        const QStringList& lines = cells[column].lines;
        const int last = std::min<int>(lines.size(), slice.firstLine + slice.lineCount);
        for (int line = slice.firstLine; line < last; ++line) {
            const qreal baseline =
                slice.top + padY_ + (line - slice.firstLine) * lineHeight_ + ascent;
            painter.drawText(QPointF(columnLeft_[column] + padX_, baseline), lines[line]);
        }
    }
}

void PrintLayout::paintFooter(QPainter& painter, int page) const {
    painter.setFont(footerFont_);
    painter.setPen(Qt::black);
    const QRectF foot(page_.left(), page_.bottom() - footerHeight_, page_.width(), footerHeight_);
    painter.drawText(foot, Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("%1 / %2").arg(page + 1).arg(pageCount()));
}

void PrintLayout::paintPage(QPainter& painter, int page) const {
    if (page < 0 || page >= pages_.size()) {
        return;
    }
    painter.save();
    if (!titleText_.isEmpty()) {
        painter.setFont(titleFont_);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(page_.left(), page_.top(), page_.width(), titleHeight_),
                         Qt::AlignLeft | Qt::AlignTop, titleText_);
    }
    paintHeader(painter, page_.top() + titleHeight_);
    if (!columnWidth_.isEmpty()) {
        for (const Slice& slice : pages_[page].slices) {
            paintSlice(painter, slice);
        }
    }
    paintFooter(painter, page);
    painter.restore();
}

bool PrintLayout::print(QPagedPaintDevice& device, const PageRun& run) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    paginate(device, QRectF(0, 0, device.width(), device.height()));

    const int count = pageCount();
    int from = run.fromPage > 0 ? std::min(run.fromPage, count) : 1;
    int to = run.toPage > 0 ? std::min(run.toPage, count) : count;
    if (from > to) {
        std::swap(from, to);
    }
    const int copies = std::max(1, run.copies);
    QList<int> sequence;
    if (run.collate) {
        for (int copy = 0; copy < copies; ++copy) {
            for (int page = from; page <= to; ++page) {
                sequence.append(page - 1);
            }
        }
    } else {
        for (int page = from; page <= to; ++page) {
            for (int copy = 0; copy < copies; ++copy) {
                sequence.append(page - 1);
            }
        }
    }
    for (int i = 0; i < sequence.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        paintPage(painter, sequence[i]);
    }
    return painter.end();
}

QImage firstPageImage(const PrintTable& table, PrintStyle style, const QFont& font,
                      const QPageLayout& pageLayout) {
    const QRectF full = pageLayout.fullRect(QPageLayout::Point);
    const QRectF paint = pageLayout.paintRect(QPageLayout::Point);
    QImage image(full.size().toSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    constexpr int kDotsPerMeter = 2835;  // 72 per inch
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    PrintLayout layout(table, style, font);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(paint.topLeft());
    layout.paginate(image, QRectF(QPointF(0, 0), paint.size()));
    layout.paintPage(painter, 0);
    painter.end();
    return image;
}

}  // namespace pellucard
