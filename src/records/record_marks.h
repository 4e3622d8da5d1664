#pragma once

#include <QString>

#include "records/record_list.h"

namespace pellucard {

// Marking rows of a record list. A row is marked when its mark cell equals the mark text
// ("1" in every window). The item model colours marked rows from the mark cells itself.

// Asks the presenter to show rows firstRow..lastRow again with their current marks.
void PaintMarks(RecordList& list, int lastRow, int firstRow);

// The corner-cell click and Ctrl+A over rows firstRow..lastRow. `markState` selects the
// action and advances: 2 marks every row holding data (then 1); 100 unmarks every row
// (then 1); any other value inverts the marks of rows holding data (then + 1). Rows
// without data always end unmarked. From 0, repeated calls invert, invert back, mark all,
// unmark all, mark all, ...
void CycleMarks(RecordList& list, int lastRow, int markColumn, const QString& markText,
                int& markState, int firstRow);

// Extends a marking with Shift or a click on slot numbers: among rows firstRow..lastRow
// except `excludedRow`, unmarked rows inside blockStart..blockEnd become marked and
// marked rows outside it unmarked. The block may be given in either order.
void MarkRange(RecordList& list, int lastRow, int markColumn, const QString& markText, int firstRow,
               int blockStart, int blockEnd, int excludedRow);

// True when a cell of columns firstColumn..lastColumn of the row is not empty.
bool RowHasText(const RecordList& list, int row, int firstColumn, int lastColumn);

}  // namespace pellucard
