#include "windows/sms_joins.h"

#include <QSet>

#include <map>
#include <tuple>

#include "windows/card_record_store.h"

namespace pellucard {

QString JoinedMessage::label() const {
    return QStringLiteral("1-%1/%1").arg(rows.size());
}

QMap<int, JoinedMessage> findJoinedMessages(const RecordList& list, int used,
                                            const CardRecordStore& store, int addressColumn,
                                            int textColumn) {
    // sender, reference, part count -> part number -> rows holding it
    using Key = std::tuple<QString, int, int>;
    std::map<Key, std::map<int, QList<int>>> groups;
    for (int row = 1; row <= std::min(used, list.LastSlot()); ++row) {
        const CardRecordStore::Entry* entry = store.find(list.Tag(row));
        if (entry == nullptr || !entry->concatenation || entry->concatenation->partCount < 2)
            continue;
        const SmsConcatenation& part = *entry->concatenation;
        groups[{list.Text(row, addressColumn), part.reference, part.partCount}][part.partNumber]
            .append(row);
    }
    QMap<int, JoinedMessage> joined;
    for (const auto& [key, parts] : groups) {
        const int count = std::get<2>(key);
        bool complete = static_cast<int>(parts.size()) == count;
        JoinedMessage message;
        for (int number = 1; complete && number <= count; ++number) {
            const auto found = parts.find(number);
            complete = found != parts.end() && found->second.size() == 1;
            if (complete) {
                message.rows.append(found->second.first());
                message.text += list.Text(found->second.first(), textColumn);
            }
        }
        if (complete)
            joined.insert(message.rows.first(), message);
    }
    return joined;
}

void copyWithJoinedMessages(const RecordList& list, int& used,
                            const QMap<int, JoinedMessage>& joined, const QList<int>& textColumns,
                            RecordList& copy) {
    QSet<int> folded;
    for (const JoinedMessage& message : joined) {
        for (int i = 1; i < message.rows.size(); ++i)
            folded.insert(message.rows[i]);
    }
    copy.SetColumns(list.Columns());
    copy.SetRows(list.Rows());
    copy.SetRow(0, list.Row(0));
    int target = 0;
    const int last = std::min(used, list.LastSlot());
    for (int row = 1; row <= last; ++row) {
        if (folded.contains(row))
            continue;
        RecordRow record = list.Row(row);
        const auto message = joined.find(row);
        if (message != joined.end()) {
            for (int column : textColumns)
                record.cells[column] = message->text;
        }
        copy.SetRow(++target, record);
        copy.SetText(target, 0, QString::number(target));
    }
    for (int row = target + 1; row < copy.Rows(); ++row) {
        copy.SetRow(row, RecordRow{{}, 0});
        copy.SetText(row, 0, QString::number(row));
    }
    used = target;
}

}  // namespace pellucard
