#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include "records/record_list.h"

namespace pellucard {

// The texts that the record windows put on the clipboard for their marked rows, and the
// reading of the field form back when it is pasted. Lines end with CR LF.

// For each marked row of firstRow..lastRow and each column 1..fieldCount: a line with the
// column's title and ":", then a line with the cell's text. Records follow each other
// directly.
QString ClipboardFieldText(const RecordList& list, int firstRow, int lastRow, int markColumn,
                           const QString& markText, int fieldCount);

// A line of the titles of columns 1..fieldCount separated by tabs, then one such line per
// marked row of firstRow..lastRow with its cells.
QString ClipboardTableText(const RecordList& list, int firstRow, int lastRow, int markColumn,
                           const QString& markText, int fieldCount);

// A field of the field form: the title that introduces it and the column it fills.
struct TitledField {
    QString title;
    int column = 0;
};

// The records of a text in the field form. A line equal to a field's title and ":" (letter
// case aside) starts that field; the lines up to the next title line are its value, joined
// by CR LF. A title of a field that the current record already has starts the next record.
// Lines before the first title line, and a text of a single line, give nothing.
QList<QMap<int, QString>> ParseFieldText(const QString& text, const QList<TitledField>& fields);

// Puts the records of a field-form text into the slots after `usedCount`, which follows
// them, while the list has slots. Returns how many records were pasted.
int PasteFieldText(RecordList& list, int& usedCount, const QString& text,
                   const QList<TitledField>& fields);

}  // namespace pellucard
