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

class PrintDialogs;

// The print dialog. A record window fills its record grid (`Grid2`: the title row, the
// slot-number column and the rows in use) and the main window shows it modally. The user
// picks the columns, a range of records, a style and a font, sets up the printer, looks
// at a preview and prints. The slot numbers are always printed as the first column.
class PrinterForm final : public QDialog {
    Q_OBJECT

public:
    explicit PrinterForm(QWidget* parent = nullptr);
    ~PrinterForm() override;

    // Fills `Grid2` with rows 0 to `usedCount` of columns 0 to `columns` - 1 of `list`.
    // `columnWidths` are the list's widths on the screen (empty: fit to the texts) and
    // `title` heads every printed page. Every column is chosen and the range covers
    // every record.
    void SetRecords(const RecordList& list, int usedCount, int columns,
                    const QList<int>& columnWidths = {}, const QString& title = {});
    const RecordList& Grid2() const { return *grid2_; }
    // Record rows in `Grid2` (its rows less the title row).
    int RecordCount() const { return grid2_->Rows() - 1; }

    // The chosen rows and columns as they will be printed (the grid that is printed).
    PrintTable Grid1() const;
    // The first and last record row of the print range; first > last when none is chosen.
    std::pair<int, int> ChosenRows() const;
    // The columns of `Grid2` that are printed after the slot numbers.
    QList<int> ChosenColumns() const;

    PrintStyle Style() const;
    QFont PrintFont() const { return font_; }
    void SetPrintFont(const QFont& font);
    QPrinter& Printer() { return printer_; }

    // The hook through which the font, page set-up, printer and preview dialogs open;
    // nullptr restores the platform's. The caller keeps ownership.
    void SetPrintDialogs(PrintDialogs* dialogs);

    // Captions every element in language `languageIndex`.
    void ChangeLanguage(int languageIndex);

    void CmdSAll_Click();
    void CmdCAll_Click();
    void CmdFontS_Click();
    void CmdPrintS_Click();
    void CmdPreview_Click();
    // Asks for the printer and prints; closes the dialog when the pages went out.
    bool CmdPrint_Click();
    void CmdCancel_Click();

    // Prints the chosen table on `printer` with the pages and copies chosen on it. Tells
    // the user and returns false when the printer cannot be painted on.
    bool PrintTo(QPrinter& printer);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildWidgets();
    void FillColumnList();
    void RangeEdited(QLineEdit* edit);
    void UpdateState();
    void UpdateStylePicture();
    PrintTable ChosenTable(int maxRows) const;
    void RememberChoices();
    PrintDialogs& Dialogs();

    std::unique_ptr<RecordList> grid2_;
    QList<int> widths_;
    QString title_;
    QFont font_;
    QPrinter printer_;
    std::unique_ptr<PrintDialogs> platformDialogs_;
    PrintDialogs* dialogs_ = nullptr;
    int languageIndex_ = 0;

    QGroupBox* fraColum_ = nullptr;
    QListWidget* lColum_ = nullptr;
    QPushButton* cmdSAll_ = nullptr;
    QPushButton* cmdCAll_ = nullptr;
    QLabel* lRange_ = nullptr;
    QLineEdit* tStartRec_ = nullptr;
    QLabel* lTo_ = nullptr;
    QLineEdit* tEndRec_ = nullptr;
    QLabel* lMax_ = nullptr;
    QGroupBox* fraStyle_ = nullptr;
    QRadioButton* oPrintStyle_[2] = {nullptr, nullptr};
    QLabel* picStyle_ = nullptr;
    QLabel* lFont_ = nullptr;
    QPushButton* cmdFontS_ = nullptr;
    QPushButton* cmdPrintS_ = nullptr;
    QPushButton* cmdPreview_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace pellucard
