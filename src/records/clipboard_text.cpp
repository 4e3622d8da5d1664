#include "records/clipboard_text.h"

#include <QStringList>

#include <algorithm>

namespace pellucard {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");

bool IsMarked(const RecordList& list, int row, int markColumn, const QString& markText) {
    return list.Text(row, markColumn) == markText;
}

// The lines of a text, at CR LF or a lone LF; the empty piece after a final line end is
// no line.
QStringList LinesOf(const QString& text) {
    QString normal = text;
    normal.replace(kLineEnd, QStringLiteral("\n"));
    QStringList lines = normal.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

}  // namespace

QString ClipboardFieldText(const RecordList& list, int firstRow, int lastRow, int markColumn,
                           const QString& markText, int fieldCount) {
    QString text;
    for (int row = std::max(firstRow, 1); row <= lastRow && row < list.Rows(); ++row) {
        if (!IsMarked(list, row, markColumn, markText)) {
            continue;
        }
        for (int column = 1; column <= fieldCount; ++column) {
            text += list.Text(0, column) + u':' + kLineEnd + list.Text(row, column) + kLineEnd;
        }
    }
    return text;
}

QString ClipboardTableText(const RecordList& list, int firstRow, int lastRow, int markColumn,
                           const QString& markText, int fieldCount) {
    auto lineOf = [&](int row) {
        QStringList cells;
        for (int column = 1; column <= fieldCount; ++column) {
            cells.append(list.Text(row, column));
        }
        return cells.join(u'\t') + kLineEnd;
    };
    QString text = lineOf(0);
    for (int row = std::max(firstRow, 1); row <= lastRow && row < list.Rows(); ++row) {
        if (IsMarked(list, row, markColumn, markText)) {
            text += lineOf(row);
        }
    }
    return text;
}

QList<QMap<int, QString>> ParseFieldText(const QString& text, const QList<TitledField>& fields) {
    QList<QMap<int, QString>> records;
    const QStringList lines = LinesOf(text);
    if (lines.size() < 2) {
        return records;
    }
    QMap<int, QString> record;
    int column = 0;          // the field whose value the next lines hold; 0 before the first
    bool firstLine = false;  // the next line is the first of that value
    for (const QString& line : lines) {
        const auto title = std::find_if(fields.begin(), fields.end(), [&](const TitledField& f) {
            return !f.title.isEmpty() && line.size() == f.title.size() + 1 && line.endsWith(u':') &&
                   line.startsWith(f.title, Qt::CaseInsensitive);
        });
        if (title != fields.end()) {
            if (record.contains(title->column)) {
                records.append(record);
                record.clear();
            }
            column = title->column;
            record.insert(column, QString());
            firstLine = true;
        } else if (column != 0) {
            QString& value = record[column];
            value += firstLine ? line : kLineEnd + line;
            firstLine = false;
        }
    }
    if (!record.isEmpty()) {
        records.append(record);
    }
    return records;
}

int PasteFieldText(RecordList& list, int& usedCount, const QString& text,
                   const QList<TitledField>& fields) {
    const QList<QMap<int, QString>> records = ParseFieldText(text, fields);
    RecordList::BulkUpdate update(list);
    int pasted = 0;
    for (const QMap<int, QString>& record : records) {
        if (usedCount >= list.LastSlot()) {
            break;
        }
        ++usedCount;
        for (auto it = record.begin(); it != record.end(); ++it) {
            list.SetText(usedCount, it.key(), it.value());
        }
        ++pasted;
    }
    return pasted;
}

}  // namespace pellucard
