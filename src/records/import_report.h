#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace pellucard {

// What an import or a conversion did not take over exactly as it was given, entry by entry:
// where (the line of the file read, the slot written), which field, and the text before and
// after. The windows show it after an import; the command line tool refuses to write when it
// holds a loss (unless forced) and prints it either way.
struct ReportEntry {
    enum class Kind {
        // Losses: something the file held does not arrive as it was.
        Cut,                // `field`'s text `before` is cut to `after` to fit
        NoFreeSlot,         // the record `before` found no free slot and was left out
        TooLong,            // a value of `field` is longer than the field: record left out
        NotDialableRecord,  // `before` in `field` is no dialable number: record left out
        NotDialableNumber,  // `before` in `field` is no dialable number: number left out
        FurtherNumber,      // `field` held several numbers; `before` was left out
        UnclosedQuote,      // a quote that never closes: the line was left out
        QuoteInsideValue,   // a quote closes before its value ends; the value read as `after`
        ExtraValues,        // values `before` beyond the column titles were left out
        NotVCardLine,       // a line that is no vCard content line, left out
        NoVCardEnd,         // a vCard without END:VCARD; what it held was read
        OutsideVCard,       // a line outside BEGIN:VCARD and END:VCARD, left out
        BeginNotVCard,      // a BEGIN of something other than a vCard, left out
        UnknownCharset,     // a value in character set `field` that is not known, read as UTF-8
        // Notes: said so that nothing goes unnoticed, but no text the user wrote is lost.
        NotKept,            // `count` properties or parameters named `field` have no field
        ColumnNotImported,  // the column titled `field` links to no field; `count` values
        LabelShortened,     // a number's type label after the name `before`, written `after`
    };

    Kind kind = Kind::Cut;
    int line = 0;  // the line of the file (from 1) where it stands; 0 when not from a file
    int slot = 0;  // the slot written; 0 when nothing was written
    QString field;
    QString before;
    QString after;
    int count = 0;

    bool IsLoss() const { return kind < Kind::NotKept; }
};

struct ImportReport {
    QList<ReportEntry> entries;

    void Add(const ReportEntry& entry) { entries.append(entry); }
    void Append(const ImportReport& other) { entries += other.entries; }
    bool IsEmpty() const { return entries.isEmpty(); }
    bool HasLosses() const;
    int Count(ReportEntry::Kind kind) const;
    // The sum of `count` over the entries of `kind` (NotKept, ColumnNotImported).
    int Total(ReportEntry::Kind kind) const;
    // Orders the entries by line, then slot; entries without a line come last.
    void SortByPlace();
};

// One line per entry in language `languageIndex`, "Line 4, slot 7: Alias "..." is cut to
// "...".", in the order of the report.
QStringList ReportLines(const ImportReport& report, int languageIndex);
QString ReportLine(const ReportEntry& entry, int languageIndex);

// Counts names into NotKept entries, one per name in alphabetical order.
void AddNotKept(ImportReport& report, const QStringList& names);

}  // namespace pellucard
