#pragma once

#include <QChar>
#include <QDialog>
#include <QList>
#include <QString>

#include "records/text_import.h"
#include "windows/record_exchange.h"

class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace pellucard {

// The import dialog: shows a delimited text file (its field names and records) and the
// mapping list that links each text field to a record field of the active window's list.
// Fields whose names equal a record field's title are linked and ticked from the start;
// "Change Mapping" links the current entry to another field (FieldMappingDialog). ImportDialog
// appends the records after the list's used rows.
class ImportDialog final : public QDialog {
    Q_OBJECT

public:
    explicit ImportDialog(const ImportRequest& request);
    ~ImportDialog() override;

    // Asks for the text file and reads it into the preview and the mapping list. False when
    // the user cancelled or the file could not be read (the user was told why). A vCard file
    // (phone book and personal records) is imported at once, each property to its field.
    bool chooseFile();
    bool wasVCard() const { return vCard_; }

    QTableView* previewGrid() const { return preview_; }
    QTreeWidget* mappingList() const { return mappingList_; }
    const TextTable& table() const { return table_; }
    const QList<MappingEntry>& mapping() const { return mapping_; }
    const QString& filePath() const { return path_; }
    // Records were written into the list.
    bool imported() const { return imported_; }

    // Links the current entry of the mapping list through the field-mapping dialog.
    void editMapping();
    // Appends the records, tells when some did not fit, and closes; with nothing linked, or
    // no number for the phone book unless the user wants names alone, it stays open.
    void importRecords();
    void cancel();

private:
    // Text files (.csv, .tsv, .txt), vCards (but for the SMS list) and all files, in the
    // dialog's language.
    QString fileFilter() const;
    bool chooseFile(QString& chosen);
    // Something is linked and ticked, and a phone book import has its number or the user
    // wants the names alone; otherwise the user was told why the dialog stays open.
    bool readyToImport();
    bool importVCards();
    void fillMappingList();
    void showEntry(int entry);

    ImportRequest request_;
    QList<ImportField> fields_;
    TextTable table_;
    QList<MappingEntry> mapping_;
    QString path_;
    bool imported_ = false;
    bool vCard_ = false;
    bool filling_ = false;
    QTableView* preview_ = nullptr;
    QTreeWidget* mappingList_ = nullptr;
};

// Opens the dialog for the request's list (it asks for the file first) and returns true when
// records were imported.
bool showImportDialog(const ImportRequest& request);

}  // namespace pellucard
