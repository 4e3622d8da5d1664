#include "windows/export_dialog.h"

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
#include "windows/exchange_dialog_runner.h"
#include "windows/record_exchange.h"

namespace pellucard {
namespace {

constexpr int kColumnsMessage = 28600;    // "Select Colum Of Record "
constexpr int kSelectAllMessage = 28000;  // "Select All"
constexpr int kClearAllMessage = 900;     // "Clean All"
constexpr int kCancelMessage = 800;       // "Cancel"
const QString kFilterLabel = QStringLiteral("Export File |*");
const QString kExtension = QStringLiteral(".txt");

}  // namespace

Export::Export(const ExportRequest& request)
    : QDialog(request.parent),
      usedCount_(std::max(request.usedCount, 0)),
      delimiter_(request.delimiter),
      languageIndex_(request.languageIndex) {
    setObjectName(QStringLiteral("Export"));
    setWindowTitle(QStringLiteral("Export"));

    // The dialog's own copy: the window's list may change while the dialog is open.
    const RecordList& list = *request.list;
    const int columns = std::clamp(request.columnCount, 1, list.Columns());
    usedCount_ = std::min(usedCount_, list.LastSlot());
    grid_ = std::make_unique<RecordList>(usedCount_ + 1, columns);
    for (int row = 0; row <= usedCount_; ++row) {
        for (int column = 0; column < columns; ++column)
            grid_->SetText(row, column, list.Text(row, column));
    }

    frame_ = new QGroupBox(Message(kColumnsMessage, languageIndex_), this);
    frame_->setObjectName(QStringLiteral("FraColumn"));
    columnList_ = new QListWidget(frame_);
    columnList_->setObjectName(QStringLiteral("LColum"));
    for (int column = 1; column < columns; ++column) {
        const QString title = grid_->Text(0, column).simplified();
        if (title.isEmpty())
            continue;  // a hidden column of the window
        auto* item = new QListWidgetItem(title, columnList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
        item->setData(Qt::UserRole, column);
    }
    connect(columnList_, &QListWidget::itemChanged, this, [this] { UpdateState(); });

    const auto button = [this](const char* name, const QString& caption, void (Export::*slot)()) {
        auto* created = new QPushButton(caption, this);
        created->setObjectName(QLatin1String(name));
        created->setAutoDefault(false);
        connect(created, &QPushButton::clicked, this, slot);
        return created;
    };
    QPushButton* selectAll =
        button("CmdSAll", Message(kSelectAllMessage, languageIndex_), &Export::CmdSAll_Click);
    QPushButton* clearAll =
        button("CmdCAll", Message(kClearAllMessage, languageIndex_), &Export::CmdCAll_Click);
    comExport_ = button("ComExport", QStringLiteral("Export"), &Export::ComExport_Click);
    comExport_->setDefault(true);
    QPushButton* cancel =
        button("ComCancel", Message(kCancelMessage, languageIndex_), &Export::ComCancel_Click);

    auto* choice = new QHBoxLayout;
    choice->addWidget(selectAll);
    choice->addWidget(clearAll);
    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->addWidget(columnList_);
    frameLayout->addLayout(choice);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(comExport_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addLayout(buttons);
    UpdateState();
}

Export::~Export() = default;

QList<int> Export::OfferedColumns() const {
    QList<int> columns;
    for (int index = 0; index < columnList_->count(); ++index)
        columns.append(columnList_->item(index)->data(Qt::UserRole).toInt());
    return columns;
}

QList<int> Export::ChosenColumns() const {
    QList<int> columns;
    for (int index = 0; index < columnList_->count(); ++index) {
        const QListWidgetItem* item = columnList_->item(index);
        if (item->checkState() == Qt::Checked)
            columns.append(item->data(Qt::UserRole).toInt());
    }
    return columns;
}

void Export::CmdSAll_Click() {
    for (int index = 0; index < columnList_->count(); ++index)
        columnList_->item(index)->setCheckState(Qt::Checked);
}

void Export::CmdCAll_Click() {
    for (int index = 0; index < columnList_->count(); ++index)
        columnList_->item(index)->setCheckState(Qt::Unchecked);
}

void Export::UpdateState() {
    // A file of empty lines helps no one.
    comExport_->setEnabled(!ChosenColumns().isEmpty());
}

void Export::ComExport_Click() {
    const QList<int> columns = ChosenColumns();
    FileRequest request;
    request.nameFilter = NameFilterFor(kFilterLabel, kExtension);
    request.defaultSuffix = kExtension.mid(1);
    const QString path = CurrentDialogs().ChooseSaveFileName(request);
    QString templateName;
    if (!columns.isEmpty() && !path.isEmpty() &&
        CopyTemplateFile(templateName, QString(), path, languageIndex_)) {
        ExportText(*grid_, usedCount_, columns, delimiter_, path, languageIndex_);
    }
    accept();
}

void Export::ComCancel_Click() {
    reject();
}

void ShowExportDialog(const ExportRequest& request) {
    if (request.list == nullptr)
        return;
    Export dialog(request);
    RunExchangeDialog(dialog);
}

}  // namespace pellucard
