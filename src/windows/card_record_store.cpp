#include "windows/card_record_store.h"

#include <atomic>

namespace pellucard {

namespace {
std::atomic<qint32> nextTag{1};
}

qint32 CardRecordStore::remember(Bytes raw, QStringList fields,
                                 std::optional<SmsConcatenation> concatenation) {
    const qint32 tag = nextTag++;
    entries_[tag] = Entry{std::move(raw), std::move(fields), concatenation, generation_};
    return tag;
}

const CardRecordStore::Entry* CardRecordStore::find(qint32 tag) const {
    if (tag == 0)
        return nullptr;
    const auto found = entries_.find(tag);
    return found == entries_.end() ? nullptr : &found->second;
}

QStringList CardRecordStore::fieldsOf(const RecordList& list, int row, const QList<int>& columns) {
    QStringList fields;
    for (const int column : columns)
        fields.append(list.Text(row, column));
    return fields;
}

}  // namespace pellucard
