#include "records/record_list.h"

#include <algorithm>

namespace pellucard {
namespace {

const QString kEmpty;

RecordRow EmptyRow(int columns) {
    return RecordRow{QStringList(columns, QString()), 0};
}

}  // namespace

RecordList::BulkUpdate::BulkUpdate(RecordList& list) : list_(list) {
    ++list_.bulkDepth_;
}

RecordList::BulkUpdate::~BulkUpdate() {
    if (--list_.bulkDepth_ == 0) {
        list_.Flush();
    }
}

RecordList::RecordList(int rows, int columns) : columns_(std::max(columns, 0)) {
    rows_.fill(EmptyRow(columns_), std::max(rows, 0));
}

bool RecordList::Contains(int row, int column) const {
    return row >= 0 && row < Rows() && column >= 0 && column < columns_;
}

const QString& RecordList::Text(int row, int column) const {
    return Contains(row, column) ? rows_[row].cells[column] : kEmpty;
}

void RecordList::SetText(int row, int column, const QString& text) {
    if (!Contains(row, column) || rows_[row].cells[column] == text) {
        return;
    }
    rows_[row].cells[column] = text;
    Touch(row, row, column, column);
}

qint32 RecordList::Tag(int row) const {
    return row >= 0 && row < Rows() ? rows_[row].tag : 0;
}

void RecordList::SetTag(int row, qint32 tag) {
    if (row < 0 || row >= Rows() || rows_[row].tag == tag) {
        return;
    }
    rows_[row].tag = tag;
    Touch(row, row, 0, columns_ - 1);
}

RecordRow RecordList::Row(int row) const {
    return row >= 0 && row < Rows() ? rows_[row] : EmptyRow(columns_);
}

void RecordList::SetRow(int row, RecordRow value) {
    if (row < 0 || row >= Rows()) {
        return;
    }
    value.cells.resize(columns_);
    if (rows_[row].cells == value.cells && rows_[row].tag == value.tag) {
        return;
    }
    rows_[row] = std::move(value);
    Touch(row, row, 0, columns_ - 1);
}

void RecordList::SetRows(int rows) {
    rows = std::max(rows, 0);
    const int old = Rows();
    if (rows == old) {
        return;
    }
    if (listener_ != nullptr) {
        listener_->RowCountAboutToChange(old, rows);
    }
    rows_.resize(rows, EmptyRow(columns_));
    if (listener_ != nullptr) {
        listener_->RowCountChanged(old, rows);
    }
}

void RecordList::Restore(const QList<RecordRow>& rows) {
    BulkUpdate bulk(*this);
    SetRows(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        SetRow(row, rows[row]);
    }
}

void RecordList::SetColumns(int columns) {
    columns = std::max(columns, 0);
    const int old = columns_;
    if (columns == old) {
        return;
    }
    if (listener_ != nullptr) {
        listener_->ColumnCountAboutToChange(old, columns);
    }
    columns_ = columns;
    for (RecordRow& row : rows_) {
        row.cells.resize(columns_);
    }
    if (listener_ != nullptr) {
        listener_->ColumnCountChanged(old, columns);
    }
}

void RecordList::Refresh(int firstRow, int lastRow) {
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, Rows() - 1);
    if (firstRow <= lastRow) {
        Touch(firstRow, lastRow, 0, columns_ - 1);
    }
}

void RecordList::Touch(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    if (dirtyFirstRow_ > dirtyLastRow_) {
        dirtyFirstRow_ = firstRow;
        dirtyLastRow_ = lastRow;
        dirtyFirstColumn_ = firstColumn;
        dirtyLastColumn_ = lastColumn;
    } else {
        dirtyFirstRow_ = std::min(dirtyFirstRow_, firstRow);
        dirtyLastRow_ = std::max(dirtyLastRow_, lastRow);
        dirtyFirstColumn_ = std::min(dirtyFirstColumn_, firstColumn);
        dirtyLastColumn_ = std::max(dirtyLastColumn_, lastColumn);
    }
    if (bulkDepth_ == 0) {
        Flush();
    }
}

void RecordList::Flush() {
    // Rows or columns removed during a bulk update are no longer there to report.
    const int lastRow = std::min(dirtyLastRow_, Rows() - 1);
    const int lastColumn = std::min(dirtyLastColumn_, columns_ - 1);
    if (listener_ != nullptr && dirtyFirstRow_ <= lastRow && dirtyFirstColumn_ <= lastColumn) {
        listener_->CellsChanged(dirtyFirstRow_, lastRow, dirtyFirstColumn_, lastColumn);
    }
    dirtyFirstRow_ = 0;
    dirtyLastRow_ = -1;
}

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') {
        ++first;
    }
    while (last > first && text[last - 1] == u' ') {
        --last;
    }
    return text.mid(first, last - first);
}

}  // namespace pellucard
