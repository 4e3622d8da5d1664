#pragma once

#include <QDialog>
#include <QFont>
#include <QList>
#include <QPrinter>
#include <QString>

#include <memory>
#include <utility>

#include "records/record_list.h"
#include "shell/print_layout.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace pellucard {

// The print dialog. A record window fills its record grid (`records`: the title row, the
// slot-number column and the rows in use) and the main window shows it modally. The user
// picks the columns, a range of records, a style and a font, sets up the printer, looks
// at a preview and prints. The slot numbers are always printed as the first column.
class PrintRecordsDialog final : public QDialog {
    Q_OBJECT

public:
    explicit PrintRecordsDialog(QWidget* parent = nullptr);
    ~PrintRecordsDialog() override;

    // Fills `records` with rows 0 to `usedCount` of columns 0 to `columns` - 1 of `list`.
    // `columnWidths` are the list's widths on the screen (empty: fit to the texts) and
    // `title` heads every printed page. Every column is chosen and the range covers
    // every record.
    void setRecords(const RecordList& list, int usedCount, int columns,
                    const QList<int>& columnWidths = {}, const QString& title = {});
    const RecordList& records() const { return *grid2_; }
    // Record rows in `records` (its rows less the title row).
    int recordCount() const { return grid2_->Rows() - 1; }

    // The chosen rows and columns as they will be printed (the grid that is printed).
    PrintTable printTable() const;
    // The first and last record row of the print range; first > last when none is chosen.
    std::pair<int, int> chosenRows() const;
    // The columns of `records` that are printed after the slot numbers.
    QList<int> chosenColumns() const;

    PrintStyle printStyle() const;
    QFont printFont() const { return font_; }
    void setPrintFont(const QFont& font);
    QPrinter& printer() { return printer_; }

    // Captions every element in language `languageIndex`.
    void changeLanguage(int languageIndex);

    void chooseAllColumns();
    void clearColumns();
    void chooseFont();
    void setUpPrinter();
    void showPreview();
    // Asks for the printer and prints; closes the dialog when the pages went out.
    bool print();
    void cancel();

    // Prints the chosen table on `printer` with the pages and copies chosen on it. Tells
    // the user and returns false when the printer cannot be painted on.
    bool printTo(QPrinter& printer);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void fillColumnList();
    void rangeEdited(QLineEdit* edit);
    void updateState();
    void updateStylePicture();
    PrintTable chosenTable(int maxRows) const;
    void rememberChoices();

    std::unique_ptr<RecordList> grid2_;
    QList<int> widths_;
    QString title_;
    QFont font_;
    QPrinter printer_;
    int languageIndex_ = 0;

    QGroupBox* columnFrame_ = nullptr;
    QListWidget* columnList_ = nullptr;
    QPushButton* chooseAllButton_ = nullptr;
    QPushButton* clearAllButton_ = nullptr;
    QLabel* rangeLabel_ = nullptr;
    QLineEdit* firstRecordField_ = nullptr;
    QLabel* toLabel_ = nullptr;
    QLineEdit* lastRecordField_ = nullptr;
    QLabel* maxLabel_ = nullptr;
    QGroupBox* styleFrame_ = nullptr;
    QRadioButton* styleOptions_[2] = {nullptr, nullptr};
    QLabel* stylePicture_ = nullptr;
    QLabel* fontLabel_ = nullptr;
    QPushButton* fontButton_ = nullptr;
    QPushButton* printerSetupButton_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace pellucard
