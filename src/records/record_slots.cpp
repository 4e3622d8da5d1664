#include "records/record_slots.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

#include "records/record_marks.h"

namespace pellucard {

int FindLastUsedRow(const RecordList& list, int startRow, int fieldColumnCount) {
    if (fieldColumnCount == 0) {
        fieldColumnCount = list.Columns() - 2;
    }
    for (int row = std::min(startRow, list.LastSlot()); row >= 1; --row) {
        for (int column = 1; column <= fieldColumnCount; ++column) {
            if (!TrimBlanks(list.Text(row, column)).isEmpty()) {
                return row;
            }
        }
    }
    return 0;
}

int CountFilledRows(const RecordList& list, int used, int fieldColumnCount) {
    if (fieldColumnCount == 0) {
        fieldColumnCount = list.Columns() - 2;
    }
    int count = 0;
    for (int row = 1; row <= std::min(used, list.LastSlot()); ++row) {
        for (int column = 1; column <= fieldColumnCount; ++column) {
            if (!TrimBlanks(list.Text(row, column)).isEmpty()) {
                ++count;
                break;
            }
        }
    }
    return count;
}

void TrackLastUsedRow(const RecordList& list, int& used, const QString& newText,
                      int fieldColumnCount, int currentRow) {
    if (!TrimBlanks(newText).isEmpty()) {
        if (used < currentRow) {
            used = currentRow;
        }
    } else if (used == currentRow) {
        used = FindLastUsedRow(list, currentRow, fieldColumnCount);
    }
}

void PackRows(RecordList& list, int& used) {
    const int oldUsed = std::clamp(used, 0, list.LastSlot());
    RecordList::BulkUpdate update(list);
    int kept = 0;
    for (int row = 1; row <= oldUsed; ++row) {
        if (RowHasText(list, row, 1, list.Columns() - 1)) {
            ++kept;
            if (kept != row) {
                list.SetRow(kept, list.Row(row));
            }
        }
    }
    for (int row = kept + 1; row <= oldUsed; ++row) {
        list.SetRow(row, RecordRow{});
    }
    RenumberRows(list, list.LastSlot());
    PaintMarks(list, oldUsed, 1);
    used = kept;
}

void RenumberRows(RecordList& list, int count) {
    RecordList::BulkUpdate update(list);
    for (int row = 1; row <= std::min(count, list.LastSlot()); ++row) {
        list.SetText(row, 0, QString::number(row));
    }
}

void SortRows(RecordList& list, int& used, int& sortState, int sortColumn,
              const QCollator* collator) {
    const int lastRow = std::min(used, list.LastSlot());
    if (lastRow <= 1) {
        return;
    }
    const int key = std::max(sortColumn, 1);
    const bool ascending = sortState != 1;
    QList<RecordRow> rows;
    rows.reserve(lastRow);
    for (int row = 1; row <= lastRow; ++row) {
        rows.append(list.Row(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const RecordRow& a, const RecordRow& b) {
        const QString& left = a.cells.value(key);
        const QString& right = b.cells.value(key);
        const int order = collator != nullptr ? collator->compare(left, right)
                                              : left.compare(right, Qt::CaseSensitive);
        return ascending ? order < 0 : order > 0;
    });
    RecordList::BulkUpdate update(list);
    for (int row = 1; row <= lastRow; ++row) {
        list.SetRow(row, rows[row - 1]);
    }
    sortState = ascending ? 1 : 2;
    used = lastRow;
    PackRows(list, used);
    RenumberRows(list, used);
}

QCollator ListCollator() {
    QCollator collator{QLocale()};
    collator.setNumericMode(true);
    return collator;
}

void ResetList(RecordList& list, int slotCount) {
    RecordList::BulkUpdate update(list);
    for (int row = 1; row <= list.LastSlot(); ++row) {
        list.SetRow(row, RecordRow{});
    }
    list.SetRows(1 + std::max(slotCount, 0));
    RenumberRows(list, list.LastSlot());
}

}  // namespace pellucard
