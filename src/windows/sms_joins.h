#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

#include "engine/sms_record.h"
#include "records/record_list.h"

namespace pellucard {

class CardRecordStore;

// A message sent in parts (GSM 03.40 concatenation): the parts stay separate records on the
// card and in the list, and the window shows them as one message.
struct JoinedMessage {
    QList<int> rows;  // the rows of parts 1..n, in part order
    QString text;     // the parts' texts joined in that order
    // "1-3/3": the parts the row stands for, of how many.
    QString label() const;
};

// The complete concatenated messages among slots 1..used, keyed by the row of their first
// part. Parts are known by the record each row was read from (its row tag); a message counts
// only when every part from 1 to n lies in the list once, from the same sender, and no part
// was edited since it was read. Incomplete messages stay separate rows.
QMap<int, JoinedMessage> findJoinedMessages(const RecordList& list, int used,
                                            const CardRecordStore& store, int addressColumn,
                                            int textColumn);

// The mark that an SMS file keeps after the fields of a record that is a part of a
// concatenated message ("SMS part 90 2/3": reference, part number and part count), so that
// the message is found whole again when the file is opened. The texts of a record cannot
// carry it; other programs leave that room of the slot zero and never read it. The file keeps
// a text without the blanks at its ends, which matter where one part ends and the next begins
// ("own" + " place"): the mark counts them (" blanks 0 1").
struct SmsPartMark {
    SmsConcatenation part;
    int leadingBlanks = 0;
    int trailingBlanks = 0;
};
QByteArray partMark(const SmsConcatenation& part, const QString& text);
// The mark that `bytes` (a slot's room after its fields) hold; nothing when they hold no
// valid one.
std::optional<SmsPartMark> readPartMark(const QByteArray& bytes);

// A copy of slots 1..used in which each joined message is one record: the first part's row
// with the joined text in `textColumns`, the other parts left out. `used` becomes the number
// of slots the copy holds.
void copyWithJoinedMessages(const RecordList& list, int& used,
                            const QMap<int, JoinedMessage>& joined, const QList<int>& textColumns,
                            RecordList& copy);

}  // namespace pellucard
