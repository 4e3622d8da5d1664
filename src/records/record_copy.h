#pragma once

#include <QList>
#include <QString>

#include "records/record_list.h"

namespace pellucard {

struct CopyMarkedResult {
    // Source slots refused because the destination already holds the same record; the
    // user was told of each one.
    QList<int> duplicates;
    // Source slots not copied because the destination had no free slot left; they keep
    // their marks so that the user sees which they are.
    QList<int> notCopied;
};

// Copies the marked rows of source slots 1..sourceUsed, in order, into the destination
// slots after its used count, with their row tags. Every copied or refused row loses its
// mark. A row equal to a destination record (IsNewRecord) is refused with message
// SameRecordNumber + slot number + InDestinationList in `languageIndex`. A mark column of 0 means
// the source's last column, an empty mark text "s".
CopyMarkedResult CopyMarkedRows(RecordList& source, int sourceUsed, RecordList& destination,
                                int& destinationUsed, int markColumn, QString markText,
                                int languageIndex);

// True when no destination slot 1..destinationCount equals the source row in every column
// except column 0 and the mark column, compared without regard to letter case. A row
// without any text is never a duplicate: empty slots are not records.
bool IsNewRecord(const RecordList& destination, int destinationCount, const RecordList& source,
                 int sourceRow, int markColumn);

// The rule of CopyMarkedRows for rows a paste added: of slots first..used of `list`, those
// equal to a record before them (IsNewRecord) are taken out, the rows after them moving
// up, and the user is told of each with SameRecordNumber + its place among the pasted rows +
// InDestinationList. `used` follows. Returns the places of the rows taken out.
QList<int> DropPastedDuplicates(RecordList& list, int first, int& used, int markColumn,
                                int languageIndex);

// Replaces the destination's records (and titles) with the source's: columns
// 1..fieldColumnCount and row tags of rows 0..sourceUsed, marks emptied, the slots after
// them emptied up to the old destination used count. When the source holds as many
// records as the destination has slots or more, the destination's slots are filled and
// the rest left out. Returns how many source records did not fit. The mark column (by default
// the last) may stand among the field columns: it is emptied all the same.
int CopyList(RecordList& destination, int& destinationUsed, const RecordList& source,
             int sourceUsed, int fieldColumnCount, int markColumn = -1);

// Empties the marked slots among 1..used in place (cells, mark and row tag). The used
// count is the caller's to recompute (FindLastUsedRow). True when a row was cleared.
bool ClearMarkedRows(RecordList& list, int used, int markColumn, const QString& markText);

}  // namespace pellucard
