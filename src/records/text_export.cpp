#include "records/text_export.h"

#include <QSaveFile>

#include "records/delimited_text.h"
#include "records/record_messages.h"
#include "records/save_file.h"

namespace pellucard {

QString ExportTextContent(const RecordList& list, int lastRow, const QList<int>& columns,
                          QChar delimiter) {
    QString text;
    QStringList values;
    for (int row = 0; row <= lastRow && row < list.Rows(); ++row) {
        values.clear();
        for (const int column : columns) {
            values.append(list.Text(row, column));
        }
        text += JoinDelimitedLine(values, delimiter) + QStringLiteral("\r\n");
    }
    return text;
}

bool ExportText(const RecordList& list, int lastRow, const QList<int>& columns, QChar delimiter,
                const QString& path, int languageIndex) {
    const QByteArray bytes = EncodeTextFile(ExportTextContent(list, lastRow, columns, delimiter));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !WriteWhole(file, bytes) ||
        !CommitWhenComplete(file)) {
        ShowFileError(MessageId::FileNotSaved, path, file.errorString(), languageIndex);
        return false;
    }
    return true;
}

}  // namespace pellucard
