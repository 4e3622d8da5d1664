#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include "engine/sms_record.h"
#include "records/record_list.h"
#include "records/sms_part_mark.h"

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

// A copy of slots 1..used in which each joined message is one record: the first part's row
// with the joined text in `textColumns`, the other parts left out. `used` becomes the number
// of slots the copy holds.
void copyWithJoinedMessages(const RecordList& list, int& used,
                            const QMap<int, JoinedMessage>& joined, const QList<int>& textColumns,
                            RecordList& copy);

}  // namespace pellucard
