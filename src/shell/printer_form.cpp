#include "shell/printer_form.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "records/dialog_seam.h"
#include "shell/print_dialogs.h"

namespace pellucard {
namespace {

// The style picture shows the first page of what would be printed; these many rows are
// more than a page holds at any readable font size.
constexpr int kPictureRows = 80;
constexpr QSize kPictureSize(150, 200);

QString PrintFailedText(int languageIndex) {
    return Message(MessageId::PrintFailed, languageIndex);
}

// A range field holds a record number from 0 to the number of records, or nothing.
bool IsRangeText(const QString& text, int records) {
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
PageRun RunFor(const QPrinter& printer) {
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

LastChoice& Last() {
    static LastChoice last;
    return last;
}

QString FontDescription(const QFont& font) {
    return QStringLiteral("%1, %2").arg(font.family()).arg(font.pointSizeF());
}

}  // namespace

PrinterForm::PrinterForm(QWidget* parent)
    : QDialog(parent),
      grid2_(std::make_unique<RecordList>(1, 1)),
      printer_(QPrinter::HighResolution),
      platformDialogs_(std::make_unique<PlatformPrintDialogs>()) {
    setObjectName(QStringLiteral("PrinterForm"));
    setModal(true);
    font_ = QApplication::font();
    font_.setPointSizeF(10);
    printer_.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (Last().valid) {
        font_ = Last().font;
        if (!Last().printerName.isEmpty()) {
            printer_.setPrinterName(Last().printerName);
        }
        printer_.setPageLayout(Last().pageLayout);
    }
    BuildWidgets();
    ChangeLanguage(0);
    UpdateState();
}

PrinterForm::~PrinterForm() = default;

void PrinterForm::BuildWidgets() {
    const auto button = [this](const char* name, void (PrinterForm::*slot)()) {
        auto* created = new QPushButton(this);
        created->setObjectName(QLatin1String(name));
        created->setAutoDefault(false);
        connect(created, &QPushButton::clicked, this, slot);
        return created;
    };

    fraColum_ = new QGroupBox(this);
    fraColum_->setObjectName(QStringLiteral("FraColum"));
    lColum_ = new QListWidget(fraColum_);
    lColum_->setObjectName(QStringLiteral("LColum"));
    connect(lColum_, &QListWidget::itemChanged, this, [this] { UpdateState(); });
    cmdSAll_ = button("CmdSAll", &PrinterForm::CmdSAll_Click);
    cmdCAll_ = button("CmdCAll", &PrinterForm::CmdCAll_Click);
    auto* columnButtons = new QHBoxLayout;
    columnButtons->addWidget(cmdSAll_);
    columnButtons->addWidget(cmdCAll_);
    auto* columnLayout = new QVBoxLayout(fraColum_);
    columnLayout->addWidget(lColum_);
    columnLayout->addLayout(columnButtons);

    lRange_ = new QLabel(this);
    lRange_->setObjectName(QStringLiteral("LRange"));
    tStartRec_ = new QLineEdit(this);
    tStartRec_->setObjectName(QStringLiteral("TStartRec"));
    lTo_ = new QLabel(this);
    lTo_->setObjectName(QStringLiteral("LTo"));
    tEndRec_ = new QLineEdit(this);
    tEndRec_->setObjectName(QStringLiteral("TEndRec"));
    lMax_ = new QLabel(this);
    lMax_->setObjectName(QStringLiteral("LMax"));
    for (QLineEdit* edit : {tStartRec_, tEndRec_}) {
        edit->setMaximumWidth(80);
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { RangeEdited(edit); });
    }
    auto* rangeLayout = new QHBoxLayout;
    rangeLayout->addWidget(lRange_);
    rangeLayout->addWidget(tStartRec_);
    rangeLayout->addWidget(lTo_);
    rangeLayout->addWidget(tEndRec_);
    rangeLayout->addWidget(lMax_);
    rangeLayout->addStretch();

    fraStyle_ = new QGroupBox(this);
    fraStyle_->setObjectName(QStringLiteral("FraStyle"));
    auto* styleButtons = new QVBoxLayout;
    for (int index = 0; index < 2; ++index) {
        oPrintStyle_[index] = new QRadioButton(fraStyle_);
        oPrintStyle_[index]->setObjectName(QStringLiteral("OPrintStyle_%1").arg(index));
        connect(oPrintStyle_[index], &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                UpdateStylePicture();
            }
        });
        styleButtons->addWidget(oPrintStyle_[index]);
    }
    styleButtons->addStretch();
    picStyle_ = new QLabel(fraStyle_);
    picStyle_->setObjectName(QStringLiteral("PicStyle"));
    picStyle_->setFixedSize(kPictureSize + QSize(4, 4));
    picStyle_->setAlignment(Qt::AlignCenter);
    oPrintStyle_[0]->setChecked(true);
    auto* styleLayout = new QHBoxLayout(fraStyle_);
    styleLayout->addLayout(styleButtons);
    styleLayout->addWidget(picStyle_);

    cmdFontS_ = button("CmdFontS", &PrinterForm::CmdFontS_Click);
    lFont_ = new QLabel(this);
    lFont_->setObjectName(QStringLiteral("LFont"));
    cmdPrintS_ = button("CmdPrintS", &PrinterForm::CmdPrintS_Click);
    cmdPreview_ = button("CmdPreview", &PrinterForm::CmdPreview_Click);
    cmdPrint_ = new QPushButton(this);
    cmdPrint_->setObjectName(QStringLiteral("CmdPrint"));
    cmdPrint_->setDefault(true);
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { CmdPrint_Click(); });
    cmdCancel_ = button("CmdCancel", &PrinterForm::CmdCancel_Click);
    auto* commands = new QVBoxLayout;
    commands->addWidget(cmdFontS_);
    commands->addWidget(lFont_);
    commands->addWidget(cmdPrintS_);
    commands->addWidget(cmdPreview_);
    commands->addStretch();
    commands->addWidget(cmdPrint_);
    commands->addWidget(cmdCancel_);

    auto* middle = new QVBoxLayout;
    middle->addLayout(rangeLayout);
    middle->addWidget(fraStyle_);
    auto* top = new QHBoxLayout(this);
    top->addWidget(fraColum_, 1);
    top->addLayout(middle);
    top->addLayout(commands);
    lFont_->setText(FontDescription(font_));
}

void PrinterForm::ChangeLanguage(int languageIndex) {
    languageIndex_ = languageIndex;
    setWindowTitle(Message(MessageId::PrintSetting, languageIndex));
    fraColum_->setTitle(Message(MessageId::SelectRecordColumns, languageIndex));
    cmdSAll_->setText(Message(MessageId::SelectAll, languageIndex));
    cmdCAll_->setText(Message(MessageId::CleanAll, languageIndex));
    lRange_->setText(Message(MessageId::PrintRangeLabel, languageIndex));
    lTo_->setText(Message(MessageId::To, languageIndex));
    lMax_->setText(Message(MessageId::Max, languageIndex) + QLatin1Char(' ') +
                   QString::number(RecordCount()));
    fraStyle_->setTitle(Message(MessageId::PrintStyle, languageIndex));
    oPrintStyle_[0]->setText(Message(MessageId::StyleOne, languageIndex));
    oPrintStyle_[1]->setText(Message(MessageId::StyleTwo, languageIndex));
    cmdFontS_->setText(Message(MessageId::FontSetting, languageIndex));
    cmdPrintS_->setText(Message(MessageId::PrinterSetting, languageIndex));
    cmdPreview_->setText(Message(MessageId::PrintPreview, languageIndex));
    cmdPrint_->setText(Message(MessageId::Print, languageIndex));
    cmdCancel_->setText(Message(MessageId::Cancel, languageIndex));
}

void PrinterForm::SetRecords(const RecordList& list, int usedCount, int columns,
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

    FillColumnList();
    const QSignalBlocker startBlocker(tStartRec_);
    const QSignalBlocker endBlocker(tEndRec_);
    tStartRec_->setText(RecordCount() > 0 ? QStringLiteral("1") : QString());
    tEndRec_->setText(RecordCount() > 0 ? QString::number(RecordCount()) : QString());
    ChangeLanguage(languageIndex_);
    UpdateState();
}

void PrinterForm::FillColumnList() {
    const QSignalBlocker blocker(lColum_);
    lColum_->clear();
    for (int column = 1; column < grid2_->Columns(); ++column) {
        QString text = grid2_->Text(0, column).simplified();
        if (text.isEmpty()) {
            text = QString::number(column);
        }
        auto* item = new QListWidgetItem(text, lColum_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
        item->setData(Qt::UserRole, column);
    }
}

QList<int> PrinterForm::ChosenColumns() const {
    QList<int> columns;
    for (int index = 0; index < lColum_->count(); ++index) {
        const QListWidgetItem* item = lColum_->item(index);
        if (item->checkState() == Qt::Checked) {
            columns.append(item->data(Qt::UserRole).toInt());
        }
    }
    return columns;
}

std::pair<int, int> PrinterForm::ChosenRows() const {
    const int records = RecordCount();
    if (records <= 0) {
        return {1, 0};
    }
    // An empty field stands for the first or the last record, record 0 for the first;
    // a range given backwards covers the same records.
    const QString startText = tStartRec_->text();
    const QString endText = tEndRec_->text();
    int first = startText.isEmpty() ? 1 : std::clamp(startText.toInt(), 1, records);
    int last = endText.isEmpty() ? records : std::clamp(endText.toInt(), 1, records);
    if (first > last) {
        std::swap(first, last);
    }
    return {first, last};
}

PrintTable PrinterForm::ChosenTable(int maxRows) const {
    PrintTable table;
    table.title = title_;
    const QList<int> columns = QList<int>{0} + ChosenColumns();
    for (int column : columns) {
        table.headers.append(grid2_->Text(0, column));
        table.widths.append(widths_.value(column, 0));
    }
    const auto [first, last] = ChosenRows();
    for (int row = first; row <= last && table.rows.size() < maxRows; ++row) {
        QStringList cells;
        for (int column : columns) {
            cells.append(grid2_->Text(row, column));
        }
        table.rows.append(cells);
    }
    return table;
}

PrintTable PrinterForm::Grid1() const {
    return ChosenTable(RecordCount());
}

PrintStyle PrinterForm::Style() const {
    return oPrintStyle_[1]->isChecked() ? PrintStyle::Two : PrintStyle::One;
}

void PrinterForm::SetPrintFont(const QFont& font) {
    font_ = font;
    if (font_.pointSizeF() <= 0) {
        font_.setPointSizeF(10);
    }
    lFont_->setText(FontDescription(font_));
    UpdateStylePicture();
}

void PrinterForm::SetPrintDialogs(PrintDialogs* dialogs) {
    dialogs_ = dialogs;
}

void PrinterForm::RememberChoices() {
    Last() = LastChoice{
        true, font_, printer_.pageLayout(),
        printer_.outputFormat() == QPrinter::NativeFormat ? printer_.printerName() : QString()};
}

PrintDialogs& PrinterForm::Dialogs() {
    return dialogs_ != nullptr ? *dialogs_ : *platformDialogs_;
}

void PrinterForm::RangeEdited(QLineEdit* edit) {
    if (!IsRangeText(edit->text(), RecordCount())) {
        const QSignalBlocker blocker(edit);
        edit->clear();
    }
    UpdateState();
}

void PrinterForm::UpdateState() {
    const auto [first, last] = ChosenRows();
    const bool printable = !ChosenColumns().isEmpty() && first <= last;
    cmdPreview_->setEnabled(printable);
    cmdPrint_->setEnabled(printable);
    UpdateStylePicture();
}

void PrinterForm::UpdateStylePicture() {
    const QImage page =
        FirstPageImage(ChosenTable(kPictureRows), Style(), font_, printer_.pageLayout());
    QPixmap picture = QPixmap::fromImage(
        page.scaled(kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QPainter painter(&picture);
    painter.setPen(Qt::gray);
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    painter.end();
    picStyle_->setPixmap(picture);
}

void PrinterForm::CmdSAll_Click() {
    {
        const QSignalBlocker blocker(lColum_);
        for (int index = 0; index < lColum_->count(); ++index) {
            lColum_->item(index)->setCheckState(Qt::Checked);
        }
    }
    UpdateState();
}

void PrinterForm::CmdCAll_Click() {
    {
        const QSignalBlocker blocker(lColum_);
        for (int index = 0; index < lColum_->count(); ++index) {
            lColum_->item(index)->setCheckState(Qt::Unchecked);
        }
    }
    UpdateState();
}

void PrinterForm::CmdFontS_Click() {
    QFont font = font_;
    if (Dialogs().ChooseFont(this, font)) {
        SetPrintFont(font);
        RememberChoices();
    }
}

void PrinterForm::CmdPrintS_Click() {
    if (Dialogs().SetUpPage(this, printer_)) {
        RememberChoices();
        UpdateStylePicture();
    }
}

void PrinterForm::CmdPreview_Click() {
    if (!cmdPreview_->isEnabled()) {
        return;
    }
    const PrintTable table = Grid1();
    const PrintStyle style = Style();
    const QFont font = font_;
    // The preview shows every page; pages chosen for an earlier print do not carry over.
    printer_.setPrintRange(QPrinter::AllPages);
    Dialogs().Preview(this, printer_, [&](QPrinter& target) {
        PrintLayout layout(table, style, font);
        layout.Print(target, RunFor(target));
    });
    UpdateStylePicture();
}

bool PrinterForm::CmdPrint_Click() {
    if (!cmdPrint_->isEnabled()) {
        return false;
    }
    if (!Dialogs().ChoosePrinter(this, printer_)) {
        return false;
    }
    RememberChoices();
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
    if (!PrintTo(printer_)) {
        return false;
    }
    accept();
    return true;
}

bool PrinterForm::PrintTo(QPrinter& printer) {
    // The job's name in the printer queue and the title of a PDF file.
    printer.setDocName(title_.isEmpty() ? windowTitle() : title_);
    PrintLayout layout(Grid1(), Style(), font_);
    if (layout.Print(printer, RunFor(printer))) {
        return true;
    }
    MessageRequest request;
    request.messageId = MessageId::PrintFailed;
    request.text =
        PrintFailedText(languageIndex_) + (printer.outputFormat() == QPrinter::PdfFormat
                                               ? QDir::toNativeSeparators(printer.outputFileName())
                                               : printer.printerName());
    request.titleId = MessageId::Print;
    request.title = Message(MessageId::Print, languageIndex_);
    request.icon = DialogIcon::Critical;
    ShowMessage(request);
    return false;
}

void PrinterForm::CmdCancel_Click() {
    reject();
}

void PrinterForm::showEvent(QShowEvent* event) {
    oPrintStyle_[0]->setChecked(true);
    UpdateStylePicture();
    QDialog::showEvent(event);
}

}  // namespace pellucard
