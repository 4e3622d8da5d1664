#pragma once

#include <QChar>
#include <QDialog>
#include <QList>

#include <memory>

#include "records/record_list.h"

class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace pellucard {

struct ExportRequest;

// The export dialog: the active record window hands it a copy of its list (titles, slot
// numbers and the rows in use of the columns it exports); the user picks the columns, all of
// them chosen at first, and the text file to write them to.
class ExportDialog final : public QDialog {
    Q_OBJECT

public:
    explicit ExportDialog(const ExportRequest& request);
    ~ExportDialog() override;

    const RecordList& grid() const { return *grid_; }
    // The columns offered (those with a title), in order, and the ones chosen.
    QList<int> offeredColumns() const;
    QList<int> chosenColumns() const;

    // The file type: 0 delimited text, 1 vCard 3.0, 2 vCard 2.1, 3 vCard 4.0.
    void chooseFileType(int type);
    void chooseAllColumns();
    void clearColumns();
    // Asks for the file (and whether to replace it) and writes the chosen columns of every
    // row, as delimited text or one vCard per slot that holds something; the dialog closes
    // in every case.
    void exportRecords();
    void cancel();

private:
    void updateState();

    std::unique_ptr<RecordList> grid_;
    int usedCount_ = 0;
    QChar delimiter_;
    int languageIndex_ = 0;
    QGroupBox* frame_ = nullptr;
    QListWidget* columnList_ = nullptr;
    QComboBox* fileType_ = nullptr;
    QPushButton* comExport_ = nullptr;
};

// Fills the dialog from the request and shows it (RunExchangeDialog).
void showExportDialog(const ExportRequest& request);

}  // namespace pellucard
