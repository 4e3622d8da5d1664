#pragma once

#include <QChar>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "records/column_names.h"
#include "records/import_report.h"
#include "records/record_list.h"

namespace pellucard {

// Limits that keep a damaged or foreign file from exhausting the memory. A record list has
// at most kMaxRecordFileSlots slots, so records beyond kMaxTextRecords could never be
// imported; they are only counted.
inline constexpr qint64 kMaxTextFileBytes = 16 * 1024 * 1024;
inline constexpr int kMaxTextFields = 256;
inline constexpr int kMaxTextRecords = 10000;

// A delimited text file as the import shows it: the field names of its first line and its
// records, each holding exactly one value per field name.
struct TextTable {
    QChar delimiter = u',';  // the delimiter the file was read with
    QStringList header;
    QList<QStringList> records;
    QList<int> recordLines;  // the file's line where each record begins
    int recordsNotKept = 0;  // records beyond kMaxTextRecords
    ImportReport report;     // damaged lines and values left out
};

// The table of a file's text, read as spreadsheets read it: each line is one record (a quoted
// value may hold line breaks), a short line's missing values are empty, empty lines make no
// record. What does not arrive as written is listed in `report` with its line: values beyond
// the field names (left out), a quote that closes inside a value (the value read on its own
// line as the tolerant readers read it, the record kept), a quote that does not close (the
// line left out). No line is ever joined to another.
TextTable ParseTextTable(const QString& text, QChar delimiter);

// Reads the file at `path` (DecodeTextFile tells its character set) into `table`, with the
// delimiter that its first line shows (DetectDelimiter, `delimiter` preferred) or, when
// `detect` is false, with `delimiter`. A file that cannot be read, is too large or names no
// fields in its first line is reported to the user in `languageIndex` and gives false;
// `table` then stays as it was.
bool ReadTextFile(TextTable& table, const QString& path, QChar delimiter, int languageIndex,
                  bool detect = true);

// A record field that an import can fill: a column of the list with its title, and the
// names by which a text file's first line may title it (ColumnNames).
struct ImportField {
    int column = 0;
    QString title;       // as the list shows it, in the language in force
    QStringList titles;  // its titles in every language; empty: `title` alone
    QStringList others;  // JSON keys and contact exports' titles of the same field
    bool takesNameParts = false;
    int movesTo = 0;
};

// The fields of `columns` whose titles (row 0) are not blank, in the order given, known by
// their titles only.
QList<ImportField> ImportFieldsOf(const RecordList& list, const QList<int>& columns);
// The same with every name the columns of a list of `kind` go by.
QList<ImportField> ImportFieldsOf(ListKind kind, const RecordList& list, const QList<int>& columns);

// One text field of the file and the record field it is linked to.
struct MappingEntry {
    QString fieldName;
    QString linkTitle;  // empty when not linked
    int column = 0;     // the linked list column; 0 when not linked
    bool ticked = false;
    bool namePart = false;  // one of the parts of a name that fill the column together
};

// One entry per field name, in the file's order, each linked and ticked when its name names a
// record field, best match first: a field's title in any language as written, then a JSON key
// or a contact export's title as written, then either with letter case aside. Each record
// field is linked to one text field only, except that the parts of a person's name ("First
// Name", "Last Name") together fill the field that takes them. When nothing fills the field
// that another one moves to (ColumnNames::movesTo), its links move there.
QList<MappingEntry> BuildMappingList(const QStringList& header, const QList<ImportField>& fields);

// Links entry `entry` to `field`, taking that field's link away from every other entry.
// The entry's tick stays as it was.
void LinkMappingEntry(QList<MappingEntry>& mapping, int entry, const ImportField& field);

struct ImportResult {
    int imported = 0;     // records written into slots
    int leftOut = 0;      // records for which the list had no free slot
    ImportReport report;  // lines and records left out for their content
};

// What a value must be to be imported into a column: the rules typing follows, so that an
// import never gives a field what typing would refuse.
struct ImportChecks {
    // Dialling numbers, read as ReadDialableNumber does: visual separators go, a number that
    // cannot be dialled leaves its record out.
    QList<int> numberColumns;
    bool fieldWidths = false;  // values fit the record file's field (record_layout.h)
};

// Writes the values of the ticked, linked text fields of each record into the slots after
// `usedCount`, in file order, while the list has slots; `usedCount` becomes the last slot
// written. A value written into a column of `mirrored` is written into the column it maps
// to as well (the SMS list keeps a message's text twice). A record with a value that
// `checks` refuse is left out and listed, never cut. Numbers are written as a SIM dials them;
// of several numbers in one cell (" ::: " between them) the first is written and the others
// are listed. When no entry is ticked and linked nothing is written and nothing counts as
// left out.
ImportResult ImportRows(RecordList& list, int& usedCount, const TextTable& table,
                        const QList<MappingEntry>& mapping, const QMap<int, int>& mirrored = {},
                        const ImportChecks& checks = {});

// Tells the user how many records were imported, how many were left out for want of a free
// slot, and, line by line, which were left out for their content (a box whose text can be
// copied); says nothing when every record was imported.
void ShowImportShortfall(const ImportResult& result, int languageIndex);

}  // namespace pellucard
