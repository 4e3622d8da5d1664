// The SMS window's file: the parts of messages sent in parts kept beside the records.
#include "windows/sms_window.h"

#include "windows/record_columns.h"

namespace pellucard {

SlotTrailers SmsWindow::documentTrailers() {
    SlotTrailers trailers;
    const RecordList& records = recordList(kComputerList);
    for (int row = 1; row <= std::min(used_[kComputerList], records.LastSlot()); ++row) {
        const CardRecordStore::Entry* entry = store_.find(records.Tag(row));
        if (entry != nullptr && entry->concatenation)
            trailers.insert(row,
                            PartMark(*entry->concatenation, records.Text(row, sms_column::kText)));
    }
    return trailers;
}

void SmsWindow::trailersOpened(const SlotTrailers& trailers) {
    RecordList& records = recordList(kComputerList);
    for (auto mark = trailers.begin(); mark != trailers.end(); ++mark) {
        const std::optional<SmsPartMark> part = ReadPartMark(mark.value());
        const int row = mark.key();
        if (!part || row > records.LastSlot())
            continue;
        const QString text = records.Text(row, sms_column::kText);
        if (part->leadingBlanks + part->trailingBlanks > 0 && !text.isEmpty())
            records.SetText(
                row, sms_column::kText,
                QString(part->leadingBlanks, u' ') + text + QString(part->trailingBlanks, u' '));
        // No bytes of the card: a row that goes to a card is made from its texts.
        records.SetTag(row, store_.remember({}, {}, part->part));
    }
}

}  // namespace pellucard
