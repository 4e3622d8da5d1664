#pragma once

#include <QList>
#include <QString>

#include <functional>

#include "records/text_import.h"
#include "records/vcard_records.h"

class QWidget;

namespace pellucard {

class RecordList;

// The hooks through which the text export and import dialogs reach the active record window.
// The dialogs install them when they exist; until then the File menu's export and import do
// nothing in the record windows.

struct ExportRequest {
    const RecordList* list = nullptr;  // title row, slot numbers and the rows to export
    int usedCount = 0;
    int columnCount = 0;  // columns 0 .. columnCount - 1 are offered
    QList<int> columnWidths;
    QChar delimiter = QLatin1Char(',');
    QWidget* parent = nullptr;
    int languageIndex = 0;  // of the dialog's captions and messages
};

struct ImportRequest {
    RecordList* list = nullptr;  // the list to append to
    int* usedCount = nullptr;    // its used count, updated by the import
    int fieldColumnCount = 0;
    QString kindName;  // "Personal Record", "Phone Record", "SMS Record"
    // The phone book list's name field, for vCards that give longer names; empty: any length.
    NameFit nameFit;
    QChar delimiter = QLatin1Char(',');
    QWidget* parent = nullptr;
    int languageIndex = 0;  // of the dialog's captions and messages
    ImportChecks checks;    // what the list's fields take, as typing does
};

using ExportHook = std::function<void(const ExportRequest&)>;
// Returns true when records were imported.
using ImportHook = std::function<bool(const ImportRequest&)>;

void setRecordExportHook(ExportHook hook);
void setRecordImportHook(ImportHook hook);
const ExportHook& recordExportHook();
const ImportHook& recordImportHook();

}  // namespace pellucard
