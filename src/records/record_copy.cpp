#include "records/record_copy.h"

#include <algorithm>

#include "catalogue/catalogue.h"
#include "records/dialog_seam.h"
#include "records/record_slots.h"

namespace pellucard {
namespace {

void TellSameRecord(int slot, int languageIndex) {
    MessageRequest request = CatalogueMessage(MessageId::SameRecordNumber, languageIndex);
    // The catalogue's text ends with its word for "number": the slot follows after a blank.
    if (!request.text.endsWith(u' '))
        request.text += u' ';
    request.text += QString::number(slot) + Message(MessageId::InDestinationList, languageIndex);
    ShowMessage(request);
}

bool RowIsEmpty(const RecordList& list, int row, int markColumn) {
    for (int column = 1; column < list.Columns(); ++column) {
        if (column != markColumn && !list.Text(row, column).isEmpty())
            return false;
    }
    return true;
}

}  // namespace

CopyMarkedResult CopyMarkedRows(RecordList& source, int sourceUsed, RecordList& destination,
                                int& destinationUsed, int markColumn, QString markText,
                                int languageIndex) {
    CopyMarkedResult result;
    if (source.Rows() < 2 || destination.Rows() < 2) {
        return result;
    }
    if (markColumn == 0) {
        markColumn = source.Columns() - 1;
    }
    if (markText.isEmpty()) {
        markText = QStringLiteral("s");
    }
    RecordList::BulkUpdate sourceUpdate(source);
    RecordList::BulkUpdate destinationUpdate(destination);
    const int lastSourceRow = std::min(sourceUsed, source.LastSlot());
    for (int row = 1; row <= lastSourceRow; ++row) {
        if (source.Text(row, markColumn) != markText) {
            continue;
        }
        if (destinationUsed >= destination.LastSlot()) {
            result.notCopied.append(row);
            continue;
        }
        source.SetText(row, markColumn, QString());
        const int slot = std::max(destinationUsed, 0) + 1;
        if (!IsNewRecord(destination, slot - 1, source, row, markColumn)) {
            result.duplicates.append(row);
            TellSameRecord(row, languageIndex);
            continue;
        }
        // Every field, wherever the mark column stands among them (its mark was taken off).
        for (int column = 1; column < std::min(source.Columns(), destination.Columns()); ++column) {
            if (column != markColumn)
                destination.SetText(slot, column, source.Text(row, column));
        }
        destination.SetTag(slot, source.Tag(row));
        destinationUsed = slot;
    }
    return result;
}

bool IsNewRecord(const RecordList& destination, int destinationCount, const RecordList& source,
                 int sourceRow, int markColumn) {
    if (RowIsEmpty(source, sourceRow, markColumn))
        return true;
    const int lastRow = std::min(destinationCount, destination.LastSlot());
    for (int row = 1; row <= lastRow; ++row) {
        bool same = true;
        for (int column = 1; column < destination.Columns() && same; ++column) {
            same = column == markColumn ||
                   destination.Text(row, column)
                           .compare(source.Text(sourceRow, column), Qt::CaseInsensitive) == 0;
        }
        if (same) {
            return false;
        }
    }
    return true;
}

QList<int> DropPastedDuplicates(RecordList& list, int first, int& used, int markColumn,
                                int languageIndex) {
    QList<int> dropped;
    if (markColumn == 0)
        markColumn = list.Columns() - 1;
    RecordList::BulkUpdate update(list);
    int kept = first - 1;
    const int last = std::min(used, list.LastSlot());
    for (int row = first; row <= last; ++row) {
        if (!IsNewRecord(list, kept, list, row, markColumn)) {
            dropped.append(row - first + 1);
            TellSameRecord(row - first + 1, languageIndex);
            continue;
        }
        ++kept;
        if (kept != row) {
            for (int column = 1; column < list.Columns(); ++column)
                list.SetText(kept, column, list.Text(row, column));
            list.SetTag(kept, list.Tag(row));
        }
    }
    for (int row = kept + 1; row <= last; ++row) {
        for (int column = 1; column < list.Columns(); ++column)
            list.SetText(row, column, QString());
        list.SetTag(row, 0);
    }
    used = kept;
    return dropped;
}

int CopyList(RecordList& destination, int& destinationUsed, const RecordList& source,
             int sourceUsed, int fieldColumnCount, int markColumn) {
    if (source.Rows() < 2 || destination.Rows() < 2) {
        return 0;
    }
    sourceUsed = std::clamp(sourceUsed, 0, source.LastSlot());
    if (markColumn < 0)
        markColumn = destination.Columns() - 1;
    const int lastCopied = std::min(sourceUsed, destination.LastSlot());
    RecordList::BulkUpdate update(destination);
    for (int row = 0; row <= lastCopied; ++row) {
        for (int column = 1; column <= fieldColumnCount; ++column) {
            destination.SetText(row, column, source.Text(row, column));
        }
        destination.SetTag(row, source.Tag(row));
        destination.SetText(row, markColumn, QString());
    }
    for (int row = lastCopied + 1; row <= std::min(destinationUsed, destination.LastSlot());
         ++row) {
        for (int column = 1; column < destination.Columns(); ++column) {
            destination.SetText(row, column, QString());
        }
    }
    destinationUsed = lastCopied;
    RenumberRows(destination, destination.LastSlot());
    return sourceUsed - lastCopied;
}

bool ClearMarkedRows(RecordList& list, int used, int markColumn, const QString& markText) {
    bool cleared = false;
    RecordList::BulkUpdate update(list);
    for (int row = 1; row <= std::min(used, list.LastSlot()); ++row) {
        if (list.Text(row, markColumn) != markText) {
            continue;
        }
        for (int column = 1; column < list.Columns(); ++column) {
            list.SetText(row, column, QString());
        }
        list.SetTag(row, 0);
        cleared = true;
    }
    return cleared;
}

}  // namespace pellucard
