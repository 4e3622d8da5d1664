#include "records/record_file.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

#include <algorithm>

#include "records/record_layout.h"
#include "records/record_messages.h"
#include "records/record_slots.h"
#include "records/save_file.h"

namespace pellucard {
namespace {

bool Fail(MessageId messageId, const QString& path, const QString& reason, int languageIndex) {
    ShowFileError(messageId, path, reason, languageIndex);
    return false;
}

// The number of records in a file of `size` bytes: record i is present when the file
// holds its field bytes in full, whatever follows them.
qint64 RecordsIn(qint64 size, const RecordLayout& layout) {
    return size < layout.fieldBytes ? 0 : (size - layout.fieldBytes) / layout.slotLength + 1;
}

}  // namespace

bool SaveRecordFile(const RecordList& list, const QString& path, int usedCount, int languageIndex,
                    const SlotTrailers& trailers) {
    const RecordLayout& layout = RecordLayoutFor(list);
    const int records = std::clamp(usedCount, 0, list.LastSlot());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Fail(MessageId::FileNotSaved, path, file.errorString(), languageIndex);
    }
    for (int row = 1; row <= records; ++row) {
        QByteArray slot = EncodeRecordSlot(layout, list, row);
        const auto trailer = trailers.find(row);
        if (trailer != trailers.end()) {
            const QByteArray room = trailer->left(slot.size() - layout.fieldBytes);
            slot.replace(layout.fieldBytes, room.size(), room);
        }
        if (!WriteWhole(file, slot)) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return Fail(MessageId::FileNotSaved, path, reason, languageIndex);
        }
    }
    if (!CommitWhenComplete(file)) {
        return Fail(MessageId::FileNotSaved, path, file.errorString(), languageIndex);
    }
    return true;
}

bool LoadRecordFile(RecordList& list, const QString& path, int& usedCount, int languageIndex,
                    SlotTrailers* trailers) {
    const RecordLayout& layout = RecordLayoutFor(list);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Fail(MessageId::FileNotRead, path, file.errorString(), languageIndex);
    }
    const qint64 records = RecordsIn(file.size(), layout);
    if (records > kMaxRecordFileSlots) {
        return Fail(MessageId::FileTooLarge, path, QString(), languageIndex);
    }
    // Read everything first, so that a read error leaves the list untouched.
    QList<QByteArray> fields;
    fields.reserve(records);
    SlotTrailers found;
    for (qint64 record = 0; record < records; ++record) {
        QByteArray bytes;
        if (file.seek(record * layout.slotLength)) {
            bytes = file.read(trailers != nullptr ? layout.slotLength : layout.fieldBytes);
        }
        if (bytes.size() < layout.fieldBytes) {
            return Fail(MessageId::FileNotRead, path, file.errorString(), languageIndex);
        }
        const QByteArray trailer = bytes.mid(layout.fieldBytes);
        if (trailer.count('\0') != trailer.size()) {
            found.insert(int(record) + 1, trailer);
        }
        bytes.truncate(layout.fieldBytes);
        fields.append(bytes);
    }

    RecordList::BulkUpdate update(list);
    ResetList(list, std::max<int>(list.LastSlot(), int(records)));
    for (int record = 0; record < int(records); ++record) {
        DecodeRecordSlot(layout, fields[record], list, record + 1);
    }
    usedCount = int(records);
    if (trailers != nullptr) {
        *trailers = found;
    }
    return true;
}

}  // namespace pellucard
