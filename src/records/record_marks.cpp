#include "records/record_marks.h"

#include <algorithm>
#include <utility>

namespace pellucard {

bool RowHasText(const RecordList& list, int row, int firstColumn, int lastColumn) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (!list.Text(row, column).isEmpty()) {
            return true;
        }
    }
    return false;
}

void PaintMarks(RecordList& list, int lastRow, int firstRow) {
    if (list.Rows() < 2) {
        return;
    }
    list.Refresh(std::max(firstRow, 1), lastRow);
}

void CycleMarks(RecordList& list, int lastRow, int markColumn, const QString& markText,
                int& markState, int firstRow) {
    firstRow = std::max(firstRow, 1);
    lastRow = std::min(lastRow, list.LastSlot());
    RecordList::BulkUpdate update(list);
    for (int row = firstRow; row <= lastRow; ++row) {
        const bool hasData = RowHasText(list, row, 1, markColumn - 1);
        const bool marked = list.Text(row, markColumn) == markText;
        bool mark = false;
        if (markState == 2) {
            mark = hasData;
        } else if (markState != 100) {
            mark = hasData && !marked;
        }
        list.SetText(row, markColumn, mark ? markText : QString());
    }
    markState = (markState == 2 || markState == 100) ? 1 : markState + 1;
    PaintMarks(list, lastRow, firstRow);
}

void MarkRange(RecordList& list, int lastRow, int markColumn, const QString& markText, int firstRow,
               int blockStart, int blockEnd, int excludedRow) {
    if (list.Rows() < 2) {
        return;
    }
    if (blockStart > blockEnd) {
        std::swap(blockStart, blockEnd);
    }
    firstRow = std::max(firstRow, 1);
    lastRow = std::min(lastRow, list.LastSlot());
    RecordList::BulkUpdate update(list);
    for (int row = firstRow; row <= lastRow; ++row) {
        if (row == excludedRow) {
            continue;
        }
        const QString& mark = list.Text(row, markColumn);
        const bool inBlock = row >= blockStart && row <= blockEnd;
        if (inBlock && mark.isEmpty()) {
            list.SetText(row, markColumn, markText);
        } else if (!inBlock && mark == markText) {
            list.SetText(row, markColumn, QString());
        }
    }
}

}  // namespace pellucard
