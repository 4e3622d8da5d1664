#pragma once

#include <QString>

#include "records/record_list.h"

namespace pellucard {

// A file with more slots than this is not a record file of ours (the windows work with a
// few hundred slots); loading it would only exhaust memory.
inline constexpr int kMaxRecordFileSlots = 10000;

// Writes slots 1..usedCount of the list to `path` in the list's layout, empty slots as
// blank records so that every record keeps its slot. The new content replaces the file
// in one step once it is complete: a failed save leaves the old file as it was, tells the
// user (in `languageIndex`) and returns false.
bool SaveRecordFile(const RecordList& list, const QString& path, int usedCount, int languageIndex);

// Reads every record of the file at `path` into slots 1, 2, ... of the list, fields
// trimmed of blanks; the other slots are emptied and the list grows when the file holds
// more records than it has slots. `usedCount` becomes the number of records. A file that
// cannot be read or holds more than kMaxRecordFileSlots records is refused with a
// message; the list and the used count then stay as they were and the result is false.
bool LoadRecordFile(RecordList& list, const QString& path, int& usedCount, int languageIndex);

}  // namespace pellucard
