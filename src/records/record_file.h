#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include "records/record_list.h"

namespace pellucard {

// A file with more slots than this is not a record file of ours (the windows work with a
// few hundred slots); loading it would only exhaust memory.
inline constexpr int kMaxRecordFileSlots = 10000;

// What slots hold after their fields, by slot number. The layouts leave the rest of a slot to
// the program that writes it (other programs write zero bytes there and never read it); a
// window keeps there what the texts of a record cannot carry. A trailer longer than the room
// after the fields is cut.
using SlotTrailers = QMap<int, QByteArray>;

// Writes slots 1..usedCount of the list to `path` in the list's layout, empty slots as
// blank records so that every record keeps its slot; `trailers` follow the fields of their
// slots, zero bytes fill the rest. The new content replaces the file
// in one step once it is complete: a failed save leaves the old file as it was, tells the
// user (in `languageIndex`) and returns false.
bool SaveRecordFile(const RecordList& list, const QString& path, int usedCount, int languageIndex,
                    const SlotTrailers& trailers = {});

// Reads every record of the file at `path` into slots 1, 2, ... of the list, fields
// trimmed of blanks; the other slots are emptied and the list grows when the file holds
// more records than it has slots. `usedCount` becomes the number of records. A file that
// cannot be read or holds more than kMaxRecordFileSlots records is refused with a
// message; the list and the used count then stay as they were and the result is false.
// `trailers`, when given, receives the bytes after the fields of every slot that holds any
// besides zero bytes (a last slot cut short after its fields has none).
bool LoadRecordFile(RecordList& list, const QString& path, int& usedCount, int languageIndex,
                    SlotTrailers* trailers = nullptr);

}  // namespace pellucard
