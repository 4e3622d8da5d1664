#pragma once

#include <QChar>
#include <QList>
#include <QString>

#include "records/record_list.h"

namespace pellucard {

// The text of an export: for rows 0 (the titles) to `lastRow` of the list, one line of
// the cells of `columns`, in the order given, with the delimiter between them and CR LF
// after each line. An empty slot gives a line of delimiters only.
QString ExportTextContent(const RecordList& list, int lastRow, const QList<int>& columns,
                          QChar delimiter);

// Writes that text to `path` (EncodeTextFile chooses the character set), replacing the
// file only once all of it was written. A failure is reported to the user in
// `languageIndex` and gives false; the file then stays as it was.
bool ExportText(const RecordList& list, int lastRow, const QList<int>& columns, QChar delimiter,
                const QString& path, int languageIndex);

}  // namespace pellucard
