#include "records/import_report.h"

#include <QMap>

#include <algorithm>
#include <climits>

#include "catalogue/catalogue.h"

namespace pellucard {
namespace {

using Kind = ReportEntry::Kind;

QString Place(const ReportEntry& entry, int languageIndex) {
    if (entry.line > 0 && entry.slot > 0)
        return Message(MessageId::ReportLineSlotAt, languageIndex).arg(entry.line).arg(entry.slot);
    if (entry.line > 0)
        return Message(MessageId::ReportLineAt, languageIndex).arg(entry.line);
    if (entry.slot > 0)
        return Message(MessageId::ReportSlotAt, languageIndex).arg(entry.slot);
    return {};
}

QString Text(MessageId id, int languageIndex) {
    return Message(id, languageIndex);
}

QString Body(const ReportEntry& e, int language) {
    switch (e.kind) {
        case Kind::Cut:
            return Text(MessageId::ReportCut, language).arg(e.field, e.before, e.after);
        case Kind::NoFreeSlot:
            return Text(MessageId::ReportNoFreeSlot, language).arg(e.before);
        case Kind::TooLong:
            return Text(MessageId::ReportTooLong, language).arg(e.field);
        case Kind::NotDialableRecord:
            return Text(MessageId::ReportNotDialableRecord, language).arg(e.before, e.field);
        case Kind::NotDialableNumber:
            return Text(MessageId::ReportNotDialableNumber, language).arg(e.before, e.field);
        case Kind::FurtherNumber:
            return Text(MessageId::ReportFurtherNumber, language).arg(e.field, e.before);
        case Kind::UnclosedQuote:
            return Text(MessageId::ReportUnclosedQuote, language);
        case Kind::QuoteInsideValue:
            return Text(MessageId::ReportQuoteInsideValue, language).arg(e.after);
        case Kind::ExtraValues:
            return Text(MessageId::ReportExtraValues, language).arg(e.before);
        case Kind::NotVCardLine:
            return Text(MessageId::ReportNotVCardLine, language);
        case Kind::NoVCardEnd:
            return Text(MessageId::ReportNoVCardEnd, language);
        case Kind::OutsideVCard:
            return Text(MessageId::ReportOutsideVCard, language);
        case Kind::BeginNotVCard:
            return Text(MessageId::ReportBeginNotVCard, language);
        case Kind::UnknownCharset:
            return Text(MessageId::ReportUnknownCharset, language).arg(e.field);
        case Kind::NotKept:
            return Text(MessageId::ReportNotKept, language).arg(e.field, QString::number(e.count));
        case Kind::ColumnNotImported:
            return Text(MessageId::ReportColumnNotImported, language)
                .arg(e.field, QString::number(e.count));
        case Kind::LabelShortened:
            return Text(MessageId::ReportLabelShortened, language).arg(e.before, e.after);
    }
    return {};
}

}  // namespace

bool ImportReport::HasLosses() const {
    return std::any_of(entries.begin(), entries.end(),
                       [](const ReportEntry& entry) { return entry.IsLoss(); });
}

int ImportReport::Count(ReportEntry::Kind kind) const {
    return int(std::count_if(entries.begin(), entries.end(),
                             [kind](const ReportEntry& entry) { return entry.kind == kind; }));
}

int ImportReport::Total(ReportEntry::Kind kind) const {
    int total = 0;
    for (const ReportEntry& entry : entries)
        total += entry.kind == kind ? entry.count : 0;
    return total;
}

void ImportReport::SortByPlace() {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ReportEntry& a, const ReportEntry& b) {
                         const int lineA = a.line > 0 ? a.line : INT_MAX;
                         const int lineB = b.line > 0 ? b.line : INT_MAX;
                         if (lineA != lineB)
                             return lineA < lineB;
                         const int slotA = a.slot > 0 ? a.slot : INT_MAX;
                         const int slotB = b.slot > 0 ? b.slot : INT_MAX;
                         return slotA < slotB;
                     });
}

QString ReportLine(const ReportEntry& entry, int languageIndex) {
    // A field without a name leaves no gap.
    return Place(entry, languageIndex) + Body(entry, languageIndex).trimmed();
}

QStringList ReportLines(const ImportReport& report, int languageIndex) {
    QStringList lines;
    for (const ReportEntry& entry : report.entries)
        lines.append(ReportLine(entry, languageIndex));
    return lines;
}

void AddNotKept(ImportReport& report, const QStringList& names) {
    QMap<QString, int> counts;
    for (const QString& name : names)
        ++counts[name];
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        ReportEntry entry;
        entry.kind = ReportEntry::Kind::NotKept;
        entry.field = it.key();
        entry.count = it.value();
        report.Add(entry);
    }
}

}  // namespace pellucard
