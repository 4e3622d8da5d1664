#pragma once

#include <QList>
#include <QStringList>

#include <map>
#include <optional>

#include "engine/bytes.h"
#include "engine/sms_record.h"
#include "records/record_list.h"

namespace pellucard {

// The card records a read run put into a list, each under the row tag it gave the row, with the
// row's texts as read: a write sends a row that still shows them back as the very bytes that
// were read (engine/record_to_write.h).
//
// Tags are unique within the process; tag 0 marks a row that is new to the list (typed,
// pasted or copied into it), which the write run encodes from its texts.
// Tag of a SIM list slot whose card content the list never learnt (nothing was read there from
// the card now in the reader, and the user put nothing there): a write leaves it alone.
inline constexpr qint32 kUnknownSlotTag = -1;

class CardRecordStore {
public:
    struct Entry {
        Bytes raw;
        QStringList fields;  // the row's texts as the read run wrote them
        std::optional<SmsConcatenation> concatenation;
        int generation = 0;  // the card it was read from (Session::cardGeneration)
    };

    // Keeps a record and returns the tag for its row.
    qint32 remember(Bytes raw, QStringList fields,
                    std::optional<SmsConcatenation> concatenation = std::nullopt);
    const Entry* find(qint32 tag) const;

    void clear() { entries_.clear(); }
    // Records remembered from now on come from card `generation`.
    void setGeneration(int generation) { generation_ = generation; }

    // The texts of `columns` of a row, in order.
    static QStringList fieldsOf(const RecordList& list, int row, const QList<int>& columns);

private:
    std::map<qint32, Entry> entries_;
    int generation_ = 0;
};

}  // namespace pellucard
