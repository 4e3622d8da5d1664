#include "records/text_import.h"

#include <QFile>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "records/delimited_text.h"
#include "records/dialog_seam.h"
#include "records/record_messages.h"

namespace pellucard {
namespace {

inline constexpr int kImportedMessage = 31100;  // "Records imported: "
inline constexpr int kLeftOutMessage = 31200;   // "Records left out, ..."

// Appends the values of the next line to a record being collected: the last value so far
// and the first of the line run together, as the two lines did before a line break split
// them. Only the first `keep` values are kept; returns the record's number of values.
qsizetype JoinLine(QStringList& record, qsizetype count, const QStringList& line,
                   qsizetype lineCount, qsizetype keep) {
    if (lineCount == 0) {
        return count;
    }
    if (count == 0) {
        record = line;
        return lineCount;
    }
    if (count <= record.size()) {  // the record's last value is kept: it goes on
        record.last() += line.first();
    }
    for (qsizetype next = 1; next < line.size() && record.size() < keep; ++next) {
        record.append(line[next]);
    }
    return count + lineCount - 1;
}

}  // namespace

TextTable ParseTextTable(const QString& text, QChar delimiter) {
    TextTable table;
    DelimitedLineReader reader(text, delimiter);
    // The first line names the fields; empty lines before it name none.
    while (!reader.AtEnd() && table.header.isEmpty()) {
        reader.NextLine(table.header, kMaxTextFields + 1);
    }
    const qsizetype fields = table.header.size();
    if (fields == 0 || fields > kMaxTextFields) {
        return table;
    }

    QStringList record;
    QStringList line;
    qsizetype count = 0;
    auto keepRecord = [&] {
        if (table.records.size() < kMaxTextRecords) {
            record.resize(fields);
            table.records.append(record);
        } else {
            ++table.recordsNotKept;
        }
        record.clear();
        count = 0;
    };
    while (!reader.AtEnd()) {
        const qsizetype lineCount = reader.NextLine(line, fields);
        count = JoinLine(record, count, line, lineCount, fields);
        if (count >= fields) {
            keepRecord();
        }
    }
    if (count > 0) {
        keepRecord();
    }
    return table;
}

bool ReadTextFile(TextTable& table, const QString& path, QChar delimiter, int languageIndex) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowFileError(kFileNotReadMessage, path, file.errorString(), languageIndex);
        return false;
    }
    if (file.size() > kMaxTextFileBytes) {
        ShowFileError(kTextFileTooLargeMessage, path, QString(), languageIndex);
        return false;
    }
    // Reading reserves as many bytes as it is asked for: ask for what the file holds (and one
    // more, to notice a file that grew past the limit meanwhile), not for the limit.
    const qint64 expected = file.isSequential() ? kMaxTextFileBytes : file.size();
    const QByteArray bytes = file.read(std::min(expected, kMaxTextFileBytes) + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxTextFileBytes) {
        ShowFileError(
            bytes.size() > kMaxTextFileBytes ? kTextFileTooLargeMessage : kFileNotReadMessage, path,
            file.errorString(), languageIndex);
        return false;
    }
    TextTable read = ParseTextTable(DecodeTextFile(bytes), delimiter);
    if (read.header.isEmpty()) {
        ShowFileError(kNoFieldNamesMessage, path, QString(), languageIndex);
        return false;
    }
    if (read.header.size() > kMaxTextFields) {
        ShowFileError(kTextFileTooLargeMessage, path, QString(), languageIndex);
        return false;
    }
    table = std::move(read);
    return true;
}

QList<ImportField> ImportFieldsOf(const RecordList& list, const QList<int>& columns) {
    QList<ImportField> fields;
    for (const int column : columns) {
        const QString& title = list.Text(0, column);
        if (!title.trimmed().isEmpty()) {
            fields.append({column, title});
        }
    }
    return fields;
}

QList<MappingEntry> BuildMappingList(const QStringList& header, const QList<ImportField>& fields) {
    QList<MappingEntry> mapping;
    QList<int> linked;
    for (const QString& name : header) {
        MappingEntry entry;
        entry.fieldName = name;
        for (const ImportField& field : fields) {
            if (field.title.compare(name, Qt::CaseInsensitive) == 0 &&
                !linked.contains(field.column)) {
                entry.linkTitle = field.title;
                entry.column = field.column;
                entry.ticked = true;
                linked.append(field.column);
                break;
            }
        }
        mapping.append(entry);
    }
    return mapping;
}

void LinkMappingEntry(QList<MappingEntry>& mapping, int entry, const ImportField& field) {
    if (entry < 0 || entry >= mapping.size()) {
        return;
    }
    for (MappingEntry& other : mapping) {
        if (other.column == field.column ||
            (!other.linkTitle.isEmpty() &&
             other.linkTitle.compare(field.title, Qt::CaseInsensitive) == 0)) {
            other.linkTitle.clear();
            other.column = 0;
        }
    }
    mapping[entry].linkTitle = field.title;
    mapping[entry].column = field.column;
}

ImportResult ImportRows(RecordList& list, int& usedCount, const TextTable& table,
                        const QList<MappingEntry>& mapping, const QMap<int, int>& mirrored) {
    ImportResult result;
    const int firstRow = std::clamp(usedCount, 0, list.LastSlot()) + 1;
    const int records = int(table.records.size()) + table.recordsNotKept;
    bool anyLinked = false;
    RecordList::BulkUpdate update(list);
    for (qsizetype k = 0; k < mapping.size(); ++k) {
        const MappingEntry& entry = mapping[k];
        if (!entry.ticked || entry.column <= 0 || entry.linkTitle.trimmed().isEmpty() ||
            entry.column >= list.Columns()) {
            continue;
        }
        anyLinked = true;
        for (int row = firstRow; row <= list.LastSlot(); ++row) {
            const qsizetype record = row - firstRow;
            if (record >= table.records.size()) {
                break;
            }
            const QString value = table.records[record].value(k);
            list.SetText(row, entry.column, value);
            if (const auto mirror = mirrored.find(entry.column); mirror != mirrored.end()) {
                list.SetText(row, *mirror, value);
            }
        }
    }
    if (!anyLinked) {
        return result;
    }
    result.imported = std::min(records, list.LastSlot() - firstRow + 1);
    result.imported = std::min<int>(result.imported, table.records.size());
    result.leftOut = records - result.imported;
    if (result.imported > 0) {
        usedCount = firstRow + result.imported - 1;
    }
    return result;
}

void ShowImportShortfall(const ImportResult& result, int languageIndex) {
    if (result.leftOut <= 0) {
        return;
    }
    MessageRequest request = CatalogueMessage(kImportedMessage, languageIndex);
    request.text += QString::number(result.imported) + u'\n' +
                    Message(kLeftOutMessage, languageIndex) + QString::number(result.leftOut);
    request.icon = DialogIcon::Information;
    ShowMessage(request);
}

}  // namespace pellucard
