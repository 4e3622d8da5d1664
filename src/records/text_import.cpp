#include "records/text_import.h"

#include <QFile>

#include <algorithm>
#include <optional>

#include "catalogue/catalogue.h"
#include "records/delimited_text.h"
#include "records/dialable_number.h"
#include "records/dialog_seam.h"
#include "records/field_text.h"
#include "records/record_layout.h"
#include "records/record_messages.h"

namespace pellucard {
namespace {

// Values beyond the field names that a report shows; the rest of a long line is only counted.
constexpr qsizetype kExtraValuesShown = 8;

ReportEntry LineEntry(ReportEntry::Kind kind, int line) {
    ReportEntry entry;
    entry.kind = kind;
    entry.line = line;
    return entry;
}

}  // namespace

TextTable ParseTextTable(const QString& text, QChar delimiter) {
    TextTable table;
    table.delimiter = delimiter;
    DelimitedLineReader reader(text, delimiter);
    // The first line names the fields; empty lines before it name none.
    while (!reader.AtEnd() && table.header.isEmpty()) {
        reader.NextLine(table.header, kMaxTextFields + 1);
    }
    const qsizetype fields = table.header.size();
    if (fields == 0 || fields > kMaxTextFields) {
        return table;
    }

    QStringList line;
    while (!reader.AtEnd()) {
        const qsizetype count = reader.NextLine(line, fields + kExtraValuesShown);
        const int number = reader.LineNumber();
        if (count == 0)
            continue;  // an empty line
        using Damage = DelimitedLineReader::Damage;
        if (reader.LineDamage() == Damage::UnclosedQuote) {
            table.report.Add(LineEntry(ReportEntry::Kind::UnclosedQuote, number));
            continue;
        }
        if (reader.LineDamage() == Damage::QuoteInsideValue) {
            ReportEntry entry = LineEntry(ReportEntry::Kind::QuoteInsideValue, number);
            entry.field = table.header.value(reader.DamagedValue());
            entry.after = line.value(reader.DamagedValue());
            table.report.Add(entry);
        }
        if (count > fields) {
            const QStringList extra = line.mid(fields);
            const bool anyText = count > line.size() ||
                                 std::any_of(extra.begin(), extra.end(),
                                             [](const QString& value) { return !value.isEmpty(); });
            if (anyText) {  // trailing delimiters lose nothing
                ReportEntry entry = LineEntry(ReportEntry::Kind::ExtraValues, number);
                entry.before = extra.join(delimiter) +
                               (count > line.size() ? QStringLiteral("...") : QString());
                table.report.Add(entry);
            }
        }
        if (table.records.size() < kMaxTextRecords) {
            line.resize(fields);  // a short line's missing values are empty
            table.records.append(line);
            table.recordLines.append(number);
        } else {
            ++table.recordsNotKept;
        }
    }
    return table;
}

bool ReadTextFile(TextTable& table, const QString& path, QChar delimiter, int languageIndex,
                  bool detect) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowFileError(MessageId::FileNotRead, path, file.errorString(), languageIndex);
        return false;
    }
    if (file.size() > kMaxTextFileBytes) {
        ShowFileError(MessageId::TextFileTooLarge, path, QString(), languageIndex);
        return false;
    }
    // Reading reserves as many bytes as it is asked for: ask for what the file holds (and one
    // more, to notice a file that grew past the limit meanwhile), not for the limit.
    const qint64 expected = file.isSequential() ? kMaxTextFileBytes : file.size();
    const QByteArray bytes = file.read(std::min(expected, kMaxTextFileBytes) + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxTextFileBytes) {
        ShowFileError(
            bytes.size() > kMaxTextFileBytes ? MessageId::TextFileTooLarge : MessageId::FileNotRead,
            path, file.errorString(), languageIndex);
        return false;
    }
    const QString text = DecodeTextFile(bytes);
    TextTable read = ParseTextTable(text, detect ? DetectDelimiter(text, delimiter) : delimiter);
    if (read.header.isEmpty()) {
        ShowFileError(MessageId::NoFieldNames, path, QString(), languageIndex);
        return false;
    }
    if (read.header.size() > kMaxTextFields) {
        ShowFileError(MessageId::TextFileTooLarge, path, QString(), languageIndex);
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
            ImportField field;
            field.column = column;
            field.title = title;
            fields.append(field);
        }
    }
    return fields;
}

QList<ImportField> ImportFieldsOf(ListKind kind, const RecordList& list,
                                  const QList<int>& columns) {
    QList<ImportField> fields = ImportFieldsOf(list, columns);
    for (ImportField& field : fields) {
        const ColumnNames names = NamesOfColumn(kind, field.column);
        field.titles = names.titles;
        field.others = names.others;
        field.takesNameParts = names.takesNameParts;
        field.movesTo = names.movesTo;
    }
    return fields;
}

namespace {

bool Contains(const QStringList& names, const QString& name, Qt::CaseSensitivity sensitivity) {
    for (const QString& candidate : names) {
        if (candidate.compare(name, sensitivity) == 0)
            return true;
    }
    return false;
}

// The passes of the matching, best first: titles as written, other names as written, then
// both with letter case aside.
bool NamesField(int pass, const QString& name, const ImportField& field) {
    const QStringList titles = field.titles.isEmpty() ? QStringList{field.title} : field.titles;
    const Qt::CaseSensitivity sensitivity = pass < 2 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return Contains(pass % 2 == 0 ? titles : field.others, name, sensitivity);
}

constexpr int kMatchPasses = 4;

}  // namespace

QList<MappingEntry> BuildMappingList(const QStringList& header, const QList<ImportField>& fields) {
    QList<MappingEntry> mapping;
    for (const QString& name : header) {
        MappingEntry entry;
        entry.fieldName = name;
        mapping.append(entry);
    }
    QList<int> taken;
    const auto link = [&](MappingEntry& entry, const ImportField& field, bool part) {
        entry.linkTitle = field.title;
        entry.column = field.column;
        entry.ticked = true;
        entry.namePart = part;
        taken.append(field.column);
    };
    for (int pass = 0; pass < kMatchPasses; ++pass) {
        for (MappingEntry& entry : mapping) {
            if (entry.column > 0)
                continue;
            const QString name = entry.fieldName.trimmed();
            for (const ImportField& field : fields) {
                if (!taken.contains(field.column) && NamesField(pass, name, field)) {
                    link(entry, field, false);
                    break;
                }
            }
        }
    }
    // The parts of a name, in the file's order, fill the field that takes them.
    for (const ImportField& field : fields) {
        if (!field.takesNameParts || taken.contains(field.column))
            continue;
        for (MappingEntry& entry : mapping) {
            if (entry.column == 0 && IsNamePart(entry.fieldName))
                link(entry, field, true);
        }
    }
    for (const ImportField& from : fields) {
        const auto to = std::find_if(fields.begin(), fields.end(), [&](const ImportField& field) {
            return from.movesTo > 0 && field.column == from.movesTo;
        });
        if (to == fields.end() || taken.contains(to->column))
            continue;
        for (MappingEntry& entry : mapping) {
            if (entry.column == from.column) {
                entry.linkTitle = to->title;
                entry.column = to->column;
                taken.append(to->column);
            }
        }
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
    mapping[entry].namePart = false;
}

namespace {

// Google Contacts writes several values of one kind into one cell with this between them.
const QString kValueSeparator = QStringLiteral(" ::: ");

// A value of a record as its field takes it, or the problem that leaves the record out.
// Dialling numbers are read as a SIM dials them; of several numbers in one cell the first is
// taken and the others are reported in `further`.
std::optional<ReportEntry> PrepareValue(QString& value, QList<ReportEntry>& further,
                                        const RecordList& list, const ImportChecks& checks,
                                        const RecordLayout* layout, int column,
                                        const QString& field, int line) {
    ReportEntry problem;
    problem.line = line;
    problem.field = field;
    if (checks.numberColumns.contains(column) && !value.trimmed().isEmpty()) {
        const QStringList numbers = value.split(kValueSeparator);
        for (qsizetype k = 1; k < numbers.size(); ++k) {
            ReportEntry entry = problem;
            entry.kind = ReportEntry::Kind::FurtherNumber;
            entry.before = numbers[k].trimmed();
            further.append(entry);
        }
        const DialableNumber read = ReadDialableNumber(numbers.first());
        if (!read.Dialable()) {
            problem.kind = ReportEntry::Kind::NotDialableRecord;
            problem.before = numbers.first().trimmed();
            return problem;
        }
        for (const QString& parameter : read.dropped) {
            ReportEntry entry = problem;
            entry.kind = ReportEntry::Kind::NotKept;
            entry.field = QStringLiteral("tel:;") + parameter;
            entry.count = 1;
            further.append(entry);
        }
        value = read.number;
    }
    if (layout != nullptr && column >= 1 && column <= int(layout->widths.size()) &&
        column < list.Columns()) {
        const QString text = TrimBlanks(value);
        if (DecodeFieldText(EncodeFieldText(text, layout->widths[column - 1])) != text) {
            problem.kind = ReportEntry::Kind::TooLong;
            return problem;
        }
    }
    return std::nullopt;
}

}  // namespace

namespace {

// A record field and the text fields that fill it: one, or the parts of a name.
struct Target {
    int column = 0;
    QString title;
    QList<qsizetype> entries;
};

QList<Target> TargetsOf(const QList<MappingEntry>& mapping, const RecordList& list) {
    QList<Target> targets;
    for (qsizetype k = 0; k < mapping.size(); ++k) {
        const MappingEntry& entry = mapping[k];
        if (!entry.ticked || entry.column <= 0 || entry.linkTitle.trimmed().isEmpty() ||
            entry.column >= list.Columns())
            continue;
        const auto same = std::find_if(targets.begin(), targets.end(),
                                       [&](const Target& t) { return t.column == entry.column; });
        if (same != targets.end() && entry.namePart)
            same->entries.append(k);
        else if (same == targets.end())
            targets.append({entry.column, entry.linkTitle, {k}});
    }
    return targets;
}

// The value of a target in a record: its text field's, or the parts of a name joined by
// blanks.
QString TargetValue(const Target& target, const QStringList& values) {
    if (target.entries.size() == 1)
        return values.value(target.entries.first());
    QStringList parts;
    for (const qsizetype k : target.entries) {
        const QString part = values.value(k).trimmed();
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts.join(u' ');
}

// The text fields that name no field but hold values, each with the number of its values. A
// field the user unticked is left out as asked.
void ReportColumnsNotImported(ImportReport& report, const TextTable& table,
                              const QList<MappingEntry>& mapping) {
    for (qsizetype k = 0; k < table.header.size(); ++k) {
        if (mapping.value(k).column > 0)
            continue;
        int values = 0;
        for (const QStringList& record : table.records)
            values += record.value(k).trimmed().isEmpty() ? 0 : 1;
        if (values == 0)
            continue;  // an empty column loses nothing
        ReportEntry entry;
        entry.kind = ReportEntry::Kind::ColumnNotImported;
        entry.field = table.header[k];
        entry.count = values;
        report.Add(entry);
    }
}

}  // namespace

ImportResult ImportRows(RecordList& list, int& usedCount, const TextTable& table,
                        const QList<MappingEntry>& mapping, const QMap<int, int>& mirrored,
                        const ImportChecks& checks) {
    ImportResult result;
    const QList<Target> targets = TargetsOf(mapping, list);
    if (targets.isEmpty()) {
        return result;
    }
    result.report = table.report;
    const RecordLayout* layout = checks.fieldWidths ? &RecordLayoutFor(list) : nullptr;
    const int firstRow = std::clamp(usedCount, 0, list.LastSlot()) + 1;
    int row = firstRow;
    RecordList::BulkUpdate update(list);
    QStringList values;
    for (qsizetype record = 0; record < table.records.size(); ++record) {
        const int line = int(table.recordLines.value(record));
        std::optional<ReportEntry> problem;
        QList<ReportEntry> further;
        values.clear();
        for (const Target& target : targets) {
            values.append(TargetValue(target, table.records[record]));
            problem = PrepareValue(values.last(), further, list, checks, layout, target.column,
                                   target.title, line);
            if (problem) {
                break;
            }
        }
        if (problem) {
            result.report.Add(*problem);
            continue;
        }
        if (row > list.LastSlot()) {
            ++result.leftOut;
            continue;
        }
        for (qsizetype t = 0; t < targets.size(); ++t) {
            const int column = targets[t].column;
            list.SetText(row, column, values[t]);
            if (const auto mirror = mirrored.find(column); mirror != mirrored.end()) {
                list.SetText(row, *mirror, values[t]);
            }
        }
        for (ReportEntry& entry : further) {
            entry.slot = row;
            result.report.Add(entry);
        }
        ++row;
        ++result.imported;
    }
    result.leftOut += table.recordsNotKept;
    ReportColumnsNotImported(result.report, table, mapping);
    result.report.SortByPlace();
    if (result.imported > 0) {
        usedCount = row - 1;
    }
    return result;
}

void ShowImportShortfall(const ImportResult& result, int languageIndex) {
    if (result.leftOut <= 0 && result.report.IsEmpty()) {
        return;
    }
    MessageRequest request = CatalogueMessage(MessageId::RecordsImported, languageIndex);
    request.text += QString::number(result.imported);
    if (result.leftOut > 0) {
        request.text += u'\n' + Message(MessageId::RecordsLeftOut, languageIndex) +
                        QString::number(result.leftOut);
    }
    for (const QString& line : ReportLines(result.report, languageIndex)) {
        request.text += u'\n' + line;
    }
    request.icon = result.report.HasLosses() ? DialogIcon::Warning : DialogIcon::Information;
    ShowMessage(request);
}

}  // namespace pellucard
