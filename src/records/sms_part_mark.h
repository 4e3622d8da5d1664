#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "engine/sms_record.h"

namespace pellucard {

// The mark that an SMS file keeps after the fields of a record that is a part of a
// concatenated message ("SMS part 90 2/3": reference, part number and part count), so that
// the message is found whole again when the file is opened. The texts of a record cannot
// carry it; other programs leave that room of the slot zero and never read it. The file keeps
// a text without the blanks at its ends, which matter where one part ends and the next begins
// ("own" + " place"): the mark counts them (" blanks 0 1"). The windows and the command line
// tool write and read the same marks.
struct SmsPartMark {
    SmsConcatenation part;
    int leadingBlanks = 0;
    int trailingBlanks = 0;
};

// The mark of a part whose text (as typed, blanks included) is `text`.
QByteArray PartMark(const SmsConcatenation& part, const QString& text);

// The mark that `bytes` (a slot's room after its fields) hold; nothing when they hold no
// valid one.
std::optional<SmsPartMark> ReadPartMark(const QByteArray& bytes);

}  // namespace pellucard
