#pragma once

// What must hold for the readers of the user's files and pasted text on any input: record
// files, delimited text files and the field form of the clipboard. Shared by the libFuzzer
// targets and by the corpus replay test; each check returns nullptr or what went wrong.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "records/clipboard_text.h"
#include "records/delimited_text.h"
#include "records/record_file.h"
#include "records/record_list.h"
#include "records/record_slots.h"
#include "records/text_import.h"
#include "scratch_file.h"
#include "silent_dialogs.h"

namespace pellucard::fuzz {

// Contact lists have 27 columns (25 fields, the mark, the hidden text), SMS lists 10.
inline constexpr int kContactColumns = 27;
inline constexpr int kSmsColumns = 10;

inline std::unique_ptr<RecordList> SlotList(int columns, int slotCount) {
    auto list = std::make_unique<RecordList>(slotCount + 1, columns);
    for (int column = 1; column < columns; ++column)
        list->SetText(0, column, QStringLiteral("Field %1").arg(column));
    RenumberRows(*list, slotCount);
    return list;
}

inline bool SameCells(const RecordList& a, const RecordList& b, int lastRow, int lastColumn) {
    for (int row = 0; row <= lastRow; ++row) {
        for (int column = 0; column <= lastColumn; ++column) {
            if (a.Text(row, column) != b.Text(row, column))
                return false;
        }
    }
    return true;
}

// Input: byte 0 chooses the list (even: contacts, ".SPB"; odd: SMS, ".sms"), the rest is the
// file. A refused file leaves the list as it was; a loaded one saves and loads back to the same
// cells.
inline const char* CheckRecordFile(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return nullptr;
    SilentDialogs dialogs;
    const bool contacts = data[0] % 2 == 0;
    const int columns = contacts ? kContactColumns : kSmsColumns;
    const QString path = WriteScratchFile(
        contacts ? QStringLiteral("in.SPB") : QStringLiteral("in.sms"),
        QByteArray(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1)));
    if (path.isEmpty())
        return nullptr;
    auto list = SlotList(columns, 3);
    list->SetText(2, 1, QStringLiteral("kept"));
    int used = 2;
    if (!LoadRecordFile(*list, path, used, 0)) {
        if (used != 2 || list->Text(2, 1) != QStringLiteral("kept") || list->Rows() != 4)
            return "a refused file changed the list";
        if (dialogs.messages == 0)
            return "a refused file was not reported";
        return nullptr;
    }
    if (used < 0 || used > list->LastSlot())
        return "used count outside the list";
    if (used > kMaxRecordFileSlots)
        return "more records than a record file may hold";
    const QString copy =
        ScratchPath(contacts ? QStringLiteral("copy.SPB") : QStringLiteral("copy.sms"));
    if (!SaveRecordFile(*list, copy, used, 0))
        return nullptr;  // the scratch folder is full: nothing to learn
    auto again = SlotList(columns, 1);
    int usedAgain = 0;
    if (!LoadRecordFile(*again, copy, usedAgain, 0))
        return "a saved file does not load";
    if (usedAgain != used)
        return "a saved file loads another number of records";
    if (!SameCells(*list, *again, used, columns - 1))
        return "a saved file loads other texts";
    return nullptr;
}

// Input: byte 0 chooses the delimiter (even: comma, odd: tab), the rest is the file, in any
// character set. Every record read holds one value per field name, within the limits, and an
// import into a list fills only free slots and counts every record.
inline const char* CheckTextImport(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return nullptr;
    SilentDialogs dialogs;
    const QChar delimiter = data[0] % 2 == 0 ? kCommaDelimiter : kTabDelimiter;
    const QString path = WriteScratchFile(
        QStringLiteral("in.txt"),
        QByteArray(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1)));
    if (path.isEmpty())
        return nullptr;
    TextTable table;
    table.header = {QStringLiteral("untouched")};
    if (!ReadTextFile(table, path, delimiter, 0)) {
        if (table.header != QStringList{QStringLiteral("untouched")} || !table.records.isEmpty())
            return "a refused file changed the table";
        if (dialogs.messages == 0)
            return "a refused file was not reported";
        return nullptr;
    }
    if (table.header.isEmpty() || table.header.size() > kMaxTextFields)
        return "field names outside the limits";
    if (table.records.size() > kMaxTextRecords)
        return "more records kept than the limit";
    if (table.recordsNotKept > 0 && table.records.size() != kMaxTextRecords)
        return "records dropped before the limit";
    for (const QStringList& record : table.records) {
        if (record.size() != table.header.size())
            return "a record without one value per field name";
    }

    // Import into an SMS-sized list whose titles are the first field names.
    auto list = SlotList(kSmsColumns, 5);
    for (int column = 1; column < kSmsColumns && column <= table.header.size(); ++column)
        list->SetText(0, column, table.header[column - 1]);
    list->SetText(1, 1, QStringLiteral("kept"));
    QList<int> columns;
    for (int column = 1; column < kSmsColumns; ++column)
        columns.append(column);
    const QList<MappingEntry> mapping =
        BuildMappingList(table.header, ImportFieldsOf(*list, columns));
    int used = 1;
    const ImportResult result = ImportRows(*list, used, table, mapping);
    if (list->Text(1, 1) != QStringLiteral("kept"))
        return "an import wrote over a used slot";
    if (used < 1 || used > list->LastSlot())
        return "used count outside the list";
    if (result.imported < 0 || result.leftOut < 0 || used != 1 + result.imported)
        return "import counts do not add up";
    const bool anyLinked = std::any_of(mapping.begin(), mapping.end(), [](const MappingEntry& e) {
        return e.ticked && e.column > 0 && !e.linkTitle.trimmed().isEmpty();
    });
    if (anyLinked &&
        result.imported + result.leftOut != int(table.records.size()) + table.recordsNotKept)
        return "an imported record was not counted";
    return nullptr;
}

// Input: UTF-8 text pasted into a personal record list. Pasting fills only free slots, and
// what the list then copies to the clipboard pastes back to the same cells.
inline const char* CheckPasteFields(const std::uint8_t* data, std::size_t size) {
    constexpr int kFields = 25;
    constexpr int kMarkColumn = 26;
    const QString mark = QStringLiteral("1");
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto list = SlotList(kContactColumns, 6);
    list->SetText(0, 3, QStringLiteral("Name"));
    list->SetText(0, 4, QStringLiteral("name2"));  // a title that begins another
    list->SetText(1, 1, QStringLiteral("kept"));
    QList<TitledField> fields;
    for (int column = 1; column <= kFields; ++column)
        fields.append({list->Text(0, column), column});
    int used = 1;
    const int pasted = PasteFieldText(*list, used, text, fields);
    if (list->Text(1, 1) != QStringLiteral("kept"))
        return "a paste wrote over a used slot";
    if (pasted < 0 || used != 1 + pasted || used > list->LastSlot())
        return "paste counts do not add up";
    if (pasted == 0)
        return nullptr;

    for (int row = 2; row <= used; ++row)
        list->SetText(row, kMarkColumn, mark);
    const QString copied = ClipboardFieldText(*list, 2, used, kMarkColumn, mark, kFields);
    auto again = SlotList(kContactColumns, 6);
    again->SetText(0, 3, QStringLiteral("Name"));
    again->SetText(0, 4, QStringLiteral("name2"));
    again->SetText(1, 1, QStringLiteral("kept"));
    int usedAgain = 1;
    if (PasteFieldText(*again, usedAgain, copied, fields) != pasted)
        return "copied records paste back as another number";
    if (!SameCells(*list, *again, used, kFields))
        return "copied records paste back with other texts";
    return nullptr;
}

}  // namespace pellucard::fuzz
