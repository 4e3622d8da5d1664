#include "windows/export_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "records/dialog_seam.h"
#include "records/record_documents.h"
#include "records/text_export.h"
#include "records/usim_fields.h"
#include "records/vcard_records.h"
#include "windows/record_exchange.h"

namespace pellucard {
namespace {

const QString kExtension = QStringLiteral(".txt");
const QString kVCardFilterLabel = QStringLiteral("vCard |*");
const QString kVCardExtension = QStringLiteral(".vcf");

// The file types of the export, in the order of the FileType choice. Their names are the
// formats' own and read the same in every language.
enum FileType { kDelimitedText, kVCard30, kVCard21, kVCard40 };

}  // namespace

ExportDialog::ExportDialog(const ExportRequest& request)
    : QDialog(request.parent),
      usedCount_(std::max(request.usedCount, 0)),
      delimiter_(request.delimiter),
      languageIndex_(request.languageIndex) {
    setObjectName(QStringLiteral("exportDialog"));
    setWindowTitle(Message(MessageId::Export, languageIndex_));

    // The dialog's own copy: the window's list may change while the dialog is open.
    const RecordList& list = *request.list;
    // A USIM phone book offers its own columns after the name and number.
    const int columns = HasUsimColumns(list)
                            ? std::clamp(request.columnCount, usim_column::kCount, list.Columns())
                            : std::clamp(request.columnCount, 1, list.Columns());
    usedCount_ = std::min(usedCount_, list.LastSlot());
    grid_ = std::make_unique<RecordList>(usedCount_ + 1, columns);
    for (int row = 0; row <= usedCount_; ++row) {
        for (int column = 0; column < columns; ++column)
            grid_->SetText(row, column, list.Text(row, column));
    }

    frame_ = new QGroupBox(Message(MessageId::SelectRecordColumns, languageIndex_), this);
    frame_->setObjectName(QStringLiteral("columnFrame"));
    columnList_ = new QListWidget(frame_);
    columnList_->setObjectName(QStringLiteral("columnList"));
    for (int column = 1; column < columns; ++column) {
        const QString title = grid_->Text(0, column).simplified();
        if (title.isEmpty())
            continue;  // a hidden column of the window
        auto* item = new QListWidgetItem(title, columnList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
        item->setData(Qt::UserRole, column);
    }
    connect(columnList_, &QListWidget::itemChanged, this, [this] { updateState(); });

    const auto button = [this](const char* name, const QString& caption,
                               void (ExportDialog::*slot)()) {
        auto* created = new QPushButton(caption, this);
        created->setObjectName(QLatin1String(name));
        created->setAutoDefault(false);
        connect(created, &QPushButton::clicked, this, slot);
        return created;
    };
    QPushButton* selectAll =
        button("chooseAllButton", Message(MessageId::SelectAll, languageIndex_),
               &ExportDialog::chooseAllColumns);
    QPushButton* clearAll = button("clearAllButton", Message(MessageId::CleanAll, languageIndex_),
                                   &ExportDialog::clearColumns);
    fileType_ = new QComboBox(this);
    fileType_->setObjectName(QStringLiteral("FileType"));
    fileType_->addItems({QStringLiteral(".txt"), QStringLiteral("vCard 3.0 (.vcf)"),
                         QStringLiteral("vCard 2.1 (.vcf)"), QStringLiteral("vCard 4.0 (.vcf)")});

    comExport_ = button("exportButton", Message(MessageId::Export, languageIndex_),
                        &ExportDialog::exportRecords);
    comExport_->setDefault(true);
    QPushButton* cancel =
        button("cancelButton", Message(MessageId::Cancel, languageIndex_), &ExportDialog::cancel);

    auto* choice = new QHBoxLayout;
    choice->addWidget(selectAll);
    choice->addWidget(clearAll);
    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->addWidget(columnList_);
    frameLayout->addLayout(choice);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fileType_);
    buttons->addStretch();
    buttons->addWidget(comExport_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addLayout(buttons);
    updateState();
}

ExportDialog::~ExportDialog() = default;

QList<int> ExportDialog::offeredColumns() const {
    QList<int> columns;
    for (int index = 0; index < columnList_->count(); ++index)
        columns.append(columnList_->item(index)->data(Qt::UserRole).toInt());
    return columns;
}

QList<int> ExportDialog::chosenColumns() const {
    QList<int> columns;
    for (int index = 0; index < columnList_->count(); ++index) {
        const QListWidgetItem* item = columnList_->item(index);
        if (item->checkState() == Qt::Checked)
            columns.append(item->data(Qt::UserRole).toInt());
    }
    return columns;
}

void ExportDialog::chooseAllColumns() {
    for (int index = 0; index < columnList_->count(); ++index)
        columnList_->item(index)->setCheckState(Qt::Checked);
}

void ExportDialog::clearColumns() {
    for (int index = 0; index < columnList_->count(); ++index)
        columnList_->item(index)->setCheckState(Qt::Unchecked);
}

void ExportDialog::updateState() {
    // A file of empty lines helps no one.
    comExport_->setEnabled(!chosenColumns().isEmpty());
}

void ExportDialog::chooseFileType(int type) {
    fileType_->setCurrentIndex(type);
}

void ExportDialog::exportRecords() {
    const QList<int> columns = chosenColumns();
    const int type = fileType_->currentIndex();
    const bool vCard = type != kDelimitedText;
    FileRequest request;
    request.title = Message(MessageId::SaveAs, languageIndex_);
    request.nameFilter =
        vCard ? NameFilterFor(kVCardFilterLabel, kVCardExtension)
              : NameFilterFor(Message(MessageId::ExportFileFilter, languageIndex_), kExtension);
    request.defaultSuffix = (vCard ? kVCardExtension : kExtension).mid(1);
    const QString path = CurrentDialogs().ChooseSaveFileName(request);
    QString templateName;
    if (columns.isEmpty() || path.isEmpty() ||
        !CopyTemplateFile(templateName, QString(), path, languageIndex_)) {
        accept();
        return;
    }
    if (!vCard) {
        ExportText(*grid_, usedCount_, columns, delimiter_, path, languageIndex_);
        accept();
        return;
    }
    // The columns left out of the choice stay out of the cards too.
    RecordList chosen(grid_->Rows(), std::max(grid_->Columns(), 27));
    for (int row = 0; row <= usedCount_; ++row) {
        for (const int column : columns)
            chosen.SetText(row, column, grid_->Text(row, column));
    }
    // The phone book offers its name and number (and a USIM phone book its own columns); the
    // personal records all their fields.
    const VCardListKind kind = grid_->Columns() > 3 && !HasUsimColumns(*grid_)
                                   ? VCardListKind::Person
                                   : VCardListKind::PhoneBook;
    const VCardVersion version = type == kVCard21   ? VCardVersion::V21
                                 : type == kVCard40 ? VCardVersion::V40
                                                    : VCardVersion::V30;
    ExportVCards(chosen, usedCount_, kind, version, path, languageIndex_);
    accept();
}

void ExportDialog::cancel() {
    reject();
}

void showExportDialog(const ExportRequest& request) {
    if (request.list == nullptr)
        return;
    ExportDialog dialog(request);
    RunModal(dialog);
}

}  // namespace pellucard
