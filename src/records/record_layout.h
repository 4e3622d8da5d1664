#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <span>

#include "records/record_list.h"

namespace pellucard {

// The byte layout of a record file: fixed-size slots, one per list slot, with no header.
// A slot starts with the record's fields back to back, each of a fixed width, field k
// stored from and loaded into list column k; the reserved bytes after the fields and the
// rest of the slot are zero.
struct RecordLayout {
    int slotLength;
    int fieldBytes;  // the bytes a record needs to be present: fields and reserved bytes
    std::span<const int> widths;
};

// Contact files (".SPB"): 4340-byte slots, 25 fields, 10 reserved zero bytes at 2160.
const RecordLayout& ContactRecordLayout();
// SMS files (".sms"): 1092-byte slots, 8 fields.
const RecordLayout& SmsRecordLayout();

// Nothing in a file tells its kind: the list decides. A list of more than 15 columns holds
// contacts, any other SMS records.
const RecordLayout& RecordLayoutFor(const RecordList& list);

// The slot of list row `row`.
QByteArray EncodeRecordSlot(const RecordLayout& layout, const RecordList& list, int row);

// Puts the fields of `record` (at least layout.fieldBytes long) into row `row`.
void DecodeRecordSlot(const RecordLayout& layout, QByteArrayView record, RecordList& list, int row);

}  // namespace pellucard
