#include "shell/print_records_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "records/dialog_seam.h"

namespace pellucard {
namespace {

// The style picture shows the first page of what would be printed; these many rows are
// more than a page holds at any readable font size.
constexpr int kPictureRows = 80;
constexpr QSize kPictureSize(150, 200);

QString printFailedText(int languageIndex) {
    return Message(MessageId::PrintFailed, languageIndex);
}

// A range field holds a record number from 0 to the number of records, or nothing.
bool isRangeText(const QString& text, int records) {
    if (text.isEmpty()) {
        return true;
    }
    if (text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.isDigit(); })) {
        return false;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 && value <= records;
}

// The pages and copies chosen on `printer`. A driver that makes the copies itself gets
// each page once.
PageRun runFor(const QPrinter& printer) {
    PageRun run;
    if (printer.printRange() == QPrinter::PageRange) {
        run.fromPage = printer.fromPage();
        run.toPage = printer.toPage();
    }
    if (!printer.supportsMultipleCopies()) {
        run.copies = printer.copyCount();
        run.collate = printer.collateCopies();
    }
    return run;
}

// What the user chose last in a print dialog: a dialog opened later starts with it. It
// lasts while the program runs; the program keeps no settings of its own.
struct LastChoice {
    bool valid = false;
    QFont font;
    QPageLayout pageLayout;
    QString printerName;
};

LastChoice& last() {
    static LastChoice last;
    return last;
}

QString fontDescription(const QFont& font) {
    return QStringLiteral("%1, %2").arg(font.family()).arg(font.pointSizeF());
}

}  // namespace

PrintRecordsDialog::PrintRecordsDialog(QWidget* parent)
    : QDialog(parent),
      grid2_(std::make_unique<RecordList>(1, 1)),
      printer_(QPrinter::HighResolution) {
    setObjectName(QStringLiteral("printRecordsDialog"));
    setModal(true);
    font_ = QApplication::font();
    font_.setPointSizeF(10);
    printer_.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (last().valid) {
        font_ = last().font;
        if (!last().printerName.isEmpty()) {
            printer_.setPrinterName(last().printerName);
        }
        printer_.setPageLayout(last().pageLayout);
    }
    buildWidgets();
    changeLanguage(0);
    updateState();
}

PrintRecordsDialog::~PrintRecordsDialog() = default;

void PrintRecordsDialog::buildWidgets() {
    const auto button = [this](const char* name, void (PrintRecordsDialog::*slot)()) {
        auto* created = new QPushButton(this);
        created->setObjectName(QLatin1String(name));
        created->setAutoDefault(false);
        connect(created, &QPushButton::clicked, this, slot);
        return created;
    };

    columnFrame_ = new QGroupBox(this);
    columnFrame_->setObjectName(QStringLiteral("columnFrame"));
    columnList_ = new QListWidget(columnFrame_);
    columnList_->setObjectName(QStringLiteral("columnList"));
    connect(columnList_, &QListWidget::itemChanged, this, [this] { updateState(); });
    chooseAllButton_ = button("chooseAllButton", &PrintRecordsDialog::chooseAllColumns);
    clearAllButton_ = button("clearAllButton", &PrintRecordsDialog::clearColumns);
    auto* columnButtons = new QHBoxLayout;
    columnButtons->addWidget(chooseAllButton_);
    columnButtons->addWidget(clearAllButton_);
    auto* columnLayout = new QVBoxLayout(columnFrame_);
    columnLayout->addWidget(columnList_);
    columnLayout->addLayout(columnButtons);

    rangeLabel_ = new QLabel(this);
    rangeLabel_->setObjectName(QStringLiteral("rangeLabel"));
    firstRecordField_ = new QLineEdit(this);
    firstRecordField_->setObjectName(QStringLiteral("firstRecordField"));
    toLabel_ = new QLabel(this);
    toLabel_->setObjectName(QStringLiteral("toLabel"));
    lastRecordField_ = new QLineEdit(this);
    lastRecordField_->setObjectName(QStringLiteral("lastRecordField"));
    maxLabel_ = new QLabel(this);
    maxLabel_->setObjectName(QStringLiteral("maxLabel"));
    for (QLineEdit* edit : {firstRecordField_, lastRecordField_}) {
        edit->setMaximumWidth(80);
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { rangeEdited(edit); });
    }
    auto* rangeLayout = new QHBoxLayout;
    rangeLayout->addWidget(rangeLabel_);
    rangeLayout->addWidget(firstRecordField_);
    rangeLayout->addWidget(toLabel_);
    rangeLayout->addWidget(lastRecordField_);
    rangeLayout->addWidget(maxLabel_);
    rangeLayout->addStretch();

    styleFrame_ = new QGroupBox(this);
    styleFrame_->setObjectName(QStringLiteral("styleFrame"));
    auto* styleButtons = new QVBoxLayout;
    for (int index = 0; index < 2; ++index) {
        styleOptions_[index] = new QRadioButton(styleFrame_);
        styleOptions_[index]->setObjectName(QStringLiteral("styleOption_%1").arg(index));
        connect(styleOptions_[index], &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                updateStylePicture();
            }
        });
        styleButtons->addWidget(styleOptions_[index]);
    }
    styleButtons->addStretch();
    stylePicture_ = new QLabel(styleFrame_);
    stylePicture_->setObjectName(QStringLiteral("stylePicture"));
    stylePicture_->setFixedSize(kPictureSize + QSize(4, 4));
    stylePicture_->setAlignment(Qt::AlignCenter);
    styleOptions_[0]->setChecked(true);
    auto* styleLayout = new QHBoxLayout(styleFrame_);
    styleLayout->addLayout(styleButtons);
    styleLayout->addWidget(stylePicture_);

    fontButton_ = button("fontButton", &PrintRecordsDialog::chooseFont);
    fontLabel_ = new QLabel(this);
    fontLabel_->setObjectName(QStringLiteral("fontLabel"));
    printerSetupButton_ = button("printerSetupButton", &PrintRecordsDialog::setUpPrinter);
    previewButton_ = button("previewButton", &PrintRecordsDialog::showPreview);
    printButton_ = new QPushButton(this);
    printButton_->setObjectName(QStringLiteral("printButton"));
    printButton_->setDefault(true);
    connect(printButton_, &QPushButton::clicked, this, [this] { print(); });
    cancelButton_ = button("cancelButton", &PrintRecordsDialog::cancel);
    auto* commands = new QVBoxLayout;
    commands->addWidget(fontButton_);
    commands->addWidget(fontLabel_);
    commands->addWidget(printerSetupButton_);
    commands->addWidget(previewButton_);
    commands->addStretch();
    commands->addWidget(printButton_);
    commands->addWidget(cancelButton_);

    auto* middle = new QVBoxLayout;
    middle->addLayout(rangeLayout);
    middle->addWidget(styleFrame_);
    auto* top = new QHBoxLayout(this);
    top->addWidget(columnFrame_, 1);
    top->addLayout(middle);
    top->addLayout(commands);
    fontLabel_->setText(fontDescription(font_));
}

void PrintRecordsDialog::changeLanguage(int languageIndex) {
    languageIndex_ = languageIndex;
    setWindowTitle(Message(MessageId::PrintSetting, languageIndex));
    columnFrame_->setTitle(Message(MessageId::SelectRecordColumns, languageIndex));
    chooseAllButton_->setText(Message(MessageId::SelectAll, languageIndex));
    clearAllButton_->setText(Message(MessageId::CleanAll, languageIndex));
    rangeLabel_->setText(Message(MessageId::PrintRangeLabel, languageIndex));
    toLabel_->setText(Message(MessageId::To, languageIndex));
    maxLabel_->setText(Message(MessageId::Max, languageIndex) + QLatin1Char(' ') +
                       QString::number(recordCount()));
    styleFrame_->setTitle(Message(MessageId::PrintStyle, languageIndex));
    styleOptions_[0]->setText(Message(MessageId::StyleOne, languageIndex));
    styleOptions_[1]->setText(Message(MessageId::StyleTwo, languageIndex));
    fontButton_->setText(Message(MessageId::FontSetting, languageIndex));
    printerSetupButton_->setText(Message(MessageId::PrinterSetting, languageIndex));
    previewButton_->setText(Message(MessageId::PrintPreview, languageIndex));
    printButton_->setText(Message(MessageId::Print, languageIndex));
    cancelButton_->setText(Message(MessageId::Cancel, languageIndex));
}

void PrintRecordsDialog::setRecords(const RecordList& list, int usedCount, int columns,
                                    const QList<int>& columnWidths, const QString& title) {
    const int rows = std::clamp(usedCount, 0, std::max(0, list.LastSlot())) + 1;
    const int width = std::clamp(columns, 1, std::max(1, list.Columns()));
    grid2_ = std::make_unique<RecordList>(rows, width);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < width; ++column) {
            grid2_->SetText(row, column, list.Text(row, column));
        }
    }
    widths_ = columnWidths.mid(0, width);
    title_ = title;

    fillColumnList();
    const QSignalBlocker startBlocker(firstRecordField_);
    const QSignalBlocker endBlocker(lastRecordField_);
    firstRecordField_->setText(recordCount() > 0 ? QStringLiteral("1") : QString());
    lastRecordField_->setText(recordCount() > 0 ? QString::number(recordCount()) : QString());
    changeLanguage(languageIndex_);
    updateState();
}

void PrintRecordsDialog::fillColumnList() {
    const QSignalBlocker blocker(columnList_);
    columnList_->clear();
    for (int column = 1; column < grid2_->Columns(); ++column) {
        QString text = grid2_->Text(0, column).simplified();
        if (text.isEmpty()) {
            text = QString::number(column);
        }
        auto* item = new QListWidgetItem(text, columnList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
        item->setData(Qt::UserRole, column);
    }
}

QList<int> PrintRecordsDialog::chosenColumns() const {
    QList<int> columns;
    for (int index = 0; index < columnList_->count(); ++index) {
        const QListWidgetItem* item = columnList_->item(index);
        if (item->checkState() == Qt::Checked) {
            columns.append(item->data(Qt::UserRole).toInt());
        }
    }
    return columns;
}

std::pair<int, int> PrintRecordsDialog::chosenRows() const {
    const int records = recordCount();
    if (records <= 0) {
        return {1, 0};
    }
    // An empty field stands for the first or the last record, record 0 for the first;
    // a range given backwards covers the same records.
    const QString startText = firstRecordField_->text();
    const QString endText = lastRecordField_->text();
    int first = startText.isEmpty() ? 1 : std::clamp(startText.toInt(), 1, records);
    int last = endText.isEmpty() ? records : std::clamp(endText.toInt(), 1, records);
    if (first > last) {
        std::swap(first, last);
    }
    return {first, last};
}

PrintTable PrintRecordsDialog::chosenTable(int maxRows) const {
    PrintTable table;
    table.title = title_;
    const QList<int> columns = QList<int>{0} + chosenColumns();
    for (int column : columns) {
        table.headers.append(grid2_->Text(0, column));
        table.widths.append(widths_.value(column, 0));
    }
    const auto [first, last] = chosenRows();
    for (int row = first; row <= last && table.rows.size() < maxRows; ++row) {
        QStringList cells;
        for (int column : columns) {
            cells.append(grid2_->Text(row, column));
        }
        table.rows.append(cells);
    }
    return table;
}

PrintTable PrintRecordsDialog::printTable() const {
    return chosenTable(recordCount());
}

PrintStyle PrintRecordsDialog::printStyle() const {
    return styleOptions_[1]->isChecked() ? PrintStyle::Two : PrintStyle::One;
}

void PrintRecordsDialog::setPrintFont(const QFont& font) {
    font_ = font;
    if (font_.pointSizeF() <= 0) {
        font_.setPointSizeF(10);
    }
    fontLabel_->setText(fontDescription(font_));
    updateStylePicture();
}

void PrintRecordsDialog::rangeEdited(QLineEdit* edit) {
    if (!isRangeText(edit->text(), recordCount())) {
        const QSignalBlocker blocker(edit);
        edit->clear();
    }
    updateState();
}

void PrintRecordsDialog::updateState() {
    const auto [first, last] = chosenRows();
    const bool printable = !chosenColumns().isEmpty() && first <= last;
    previewButton_->setEnabled(printable);
    printButton_->setEnabled(printable);
    updateStylePicture();
}

void PrintRecordsDialog::updateStylePicture() {
    const QImage page =
        firstPageImage(chosenTable(kPictureRows), printStyle(), font_, printer_.pageLayout());
    QPixmap picture = QPixmap::fromImage(
        page.scaled(kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QPainter painter(&picture);
    painter.setPen(Qt::gray);
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    painter.end();
    stylePicture_->setPixmap(picture);
}

void PrintRecordsDialog::chooseAllColumns() {
    {
        const QSignalBlocker blocker(columnList_);
        for (int index = 0; index < columnList_->count(); ++index) {
            columnList_->item(index)->setCheckState(Qt::Checked);
        }
    }
    updateState();
}

void PrintRecordsDialog::clearColumns() {
    {
        const QSignalBlocker blocker(columnList_);
        for (int index = 0; index < columnList_->count(); ++index) {
            columnList_->item(index)->setCheckState(Qt::Unchecked);
        }
    }
    updateState();
}

void PrintRecordsDialog::rememberChoices() {
    last() = LastChoice{
        true, font_, printer_.pageLayout(),
        printer_.outputFormat() == QPrinter::NativeFormat ? printer_.printerName() : QString()};
}

// The font, page set-up, printer and preview dialogs are Qt's own, run through the dialog
// seam like every modal dialog; what the user chose is read from them afterwards.
void PrintRecordsDialog::chooseFont() {
    QFontDialog dialog(font_, this);
    RunModal(dialog);
    if (dialog.result() != QDialog::Accepted) {
        return;
    }
    setPrintFont(dialog.selectedFont());
    rememberChoices();
}

void PrintRecordsDialog::setUpPrinter() {
    QPageSetupDialog dialog(&printer_, this);
    RunModal(dialog);
    if (dialog.result() != QDialog::Accepted) {
        return;
    }
    rememberChoices();
    updateStylePicture();
}

void PrintRecordsDialog::showPreview() {
    if (!previewButton_->isEnabled()) {
        return;
    }
    const PrintTable table = printTable();
    const PrintStyle style = printStyle();
    const QFont font = font_;
    // The preview shows every page; pages chosen for an earlier print do not carry over.
    printer_.setPrintRange(QPrinter::AllPages);
    // Printing from the preview paints again, on the printer the preview was given.
    QPrintPreviewDialog dialog(&printer_, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* target) {
        PrintLayout layout(table, style, font);
        layout.print(*target, runFor(*target));
    });
    RunModal(dialog);
    updateStylePicture();
}

bool PrintRecordsDialog::print() {
    if (!printButton_->isEnabled()) {
        return false;
    }
    QPrintDialog dialog(&printer_, this);
    // The table is printed whole or by pages; there is no selection or current page.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    RunModal(dialog);
    if (dialog.result() != QDialog::Accepted) {
        return false;
    }
    rememberChoices();
    if (printer_.outputFormat() == QPrinter::PdfFormat && printer_.outputFileName().isEmpty()) {
        FileRequest request;
        request.title = Message(MessageId::Print, languageIndex_);
        request.nameFilter = QStringLiteral("PDF (*.pdf)");
        request.defaultSuffix = QStringLiteral("pdf");
        const QString path = CurrentDialogs().ChooseSaveFileName(request);
        if (path.isEmpty()) {
            return false;
        }
        printer_.setOutputFileName(path);
    }
    if (!printTo(printer_)) {
        return false;
    }
    accept();
    return true;
}

bool PrintRecordsDialog::printTo(QPrinter& printer) {
    // The job's name in the printer queue and the title of a PDF file.
    printer.setDocName(title_.isEmpty() ? windowTitle() : title_);
    PrintLayout layout(printTable(), printStyle(), font_);
    if (layout.print(printer, runFor(printer))) {
        return true;
    }
    MessageRequest request;
    request.messageId = MessageId::PrintFailed;
    request.text =
        printFailedText(languageIndex_) + (printer.outputFormat() == QPrinter::PdfFormat
                                               ? QDir::toNativeSeparators(printer.outputFileName())
                                               : printer.printerName());
    request.titleId = MessageId::Print;
    request.title = Message(MessageId::Print, languageIndex_);
    request.icon = DialogIcon::Critical;
    ShowMessage(request);
    return false;
}

void PrintRecordsDialog::cancel() {
    reject();
}

void PrintRecordsDialog::showEvent(QShowEvent* event) {
    styleOptions_[0]->setChecked(true);
    updateStylePicture();
    QDialog::showEvent(event);
}

}  // namespace pellucard
