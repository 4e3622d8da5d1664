#pragma once

// A record list's rows and columns as lists of texts, so that a test compares a whole row or
// column at once; and a file written whole.

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include "records/record_list.h"
#include "support/qt_printers.h"

namespace pellucard::testing {

// Columns first..last of row `row`.
inline QStringList RowCells(const RecordList& list, int row, int first, int last) {
    return list.Row(row).cells.mid(first, last - first + 1);
}

// Column `column` of rows first..last.
inline QStringList ColumnCells(const RecordList& list, int column, int first, int last) {
    QStringList cells;
    for (int row = first; row <= last; ++row)
        cells.append(list.Text(row, column));
    return cells;
}

// "a|b|c" as {"a", "b", "c"}: a row of texts written on one line.
inline QStringList Cells(const QString& joined) {
    return joined.split(u'|');
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace pellucard::testing
