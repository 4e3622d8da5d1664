#pragma once

#include <QString>

class QCollator;

#include "records/record_list.h"

namespace pellucard {

// Slots of a record list: the used count, packing, numbering, sorting, resetting.
// The used count is the number of leading slots regarded as in use; the window keeps it.

// The last row from `startRow` down to 1 with a cell of columns 1..fieldColumnCount that
// is not blank; 0 when there is none. A field column count of 0 means C - 2.
int FindLastUsedRow(const RecordList& list, int startRow, int fieldColumnCount = 0);

// How many of slots 1..used hold text in a cell of columns 1..fieldColumnCount (0 means
// C - 2): the records a list holds, empty slots among them not counted.
int CountFilledRows(const RecordList& list, int used, int fieldColumnCount = 0);

// Keeps the used count right after the cell editor changed a cell of `currentRow` to
// `newText`: text beyond the used count extends it; emptying the last used row lets it
// shrink back to the last row that still holds data.
void TrackLastUsedRow(const RecordList& list, int& used, const QString& newText,
                      int fieldColumnCount, int currentRow);

// Moves the slots 1..used that hold any text (the mark counts) to the top in their order,
// empties the slots behind them and renumbers; the used count becomes their number.
void PackRows(RecordList& list, int& used);

// Writes the slot numbers 1..count into column 0.
void RenumberRows(RecordList& list, int count);

// Sorts slots 1..used by `sortColumn` (0 counts as 1), ascending unless the last sort of
// this list (sortState 1) was ascending; whole rows move with their tags, rows that compare
// equal keep their order. The comparison is the collator's, or by character codes, case
// counting, without one. Then packs (empty slots disappear) and renumbers. Does nothing
// unless more than one slot is in use.
void SortRows(RecordList& list, int& used, int& sortState, int sortColumn,
              const QCollator* collator = nullptr);

// The order a person expects of names and numbers in the user's language: letters with
// their accents where the language puts them, digits by their value ("9" before "10").
QCollator ListCollator();

// Gives the list `slotCount` empty numbered slots below its title row.
void ResetList(RecordList& list, int slotCount);

}  // namespace pellucard
