#include "windows/import_dialog.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "records/dialog_seam.h"
#include "records/file_history.h"
#include "records/record_documents.h"
#include "records/usim_fields.h"
#include "records/vcard_records.h"
#include "windows/field_mapping_dialog.h"
#include "windows/record_exchange.h"

namespace pellucard {
namespace {

// The files an import reads, as their extensions name them.
const QStringList kTextExtensions = {QStringLiteral("csv"), QStringLiteral("tsv"),
                                     QStringLiteral("txt")};
const QStringList kVCardExtensions = {QStringLiteral("vcf"), QStringLiteral("vcard")};
const QString kVCardLabel = QStringLiteral("vCard");
const QString kSmsKind = QStringLiteral("SMS Record");
const QString kPhoneKind = QStringLiteral("Phone Record");
const QString kPersonKind = QStringLiteral("Personal Record");

// The records of the text file as a read-only table; a file may hold thousands of them.
class TextTableModel final : public QAbstractTableModel {
public:
    TextTableModel(const TextTable& table, QObject* parent)
        : QAbstractTableModel(parent), table_(table) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(table_.records.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(table_.header.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return table_.records[index.row()].value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal)
            return table_.header.value(section);
        return section + 1;
    }

private:
    const TextTable& table_;
};

// "Import text (*.csv *.CSV ...)" from a catalogue label "Import text |*" and extensions.
QString nameFilter(const QString& label, const QStringList& extensions) {
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension << QStringLiteral("*.") + extension.toUpper();
    const QString description = label.section(u'|', 0, 0).trimmed();
    return description + QStringLiteral(" (") +
           (patterns.isEmpty() ? QStringLiteral("*") : patterns.join(u' ')) + u')';
}

// The kind of record as the dialog shows it; the kind name itself stays the key.
QString kindCaption(const QString& kindName, int languageIndex) {
    if (kindName == kSmsKind)
        return Message(MessageId::SmsRecord, languageIndex);
    if (kindName == kPhoneKind)
        return Message(MessageId::PhoneRecord, languageIndex);
    if (kindName == kPersonKind)
        return Message(MessageId::PersonalRecord, languageIndex);
    return kindName;
}

}  // namespace

ImportDialog::ImportDialog(const ImportRequest& request)
    : QDialog(request.parent), request_(request) {
    setObjectName(QStringLiteral("Import"));
    setWindowTitle(Message(MessageId::Import, request.languageIndex));
    QList<int> columns;
    for (int column = 1; column <= request.fieldColumnCount; ++column)
        columns.append(column);
    // A USIM phone book's own columns too, its second number read as a SIM dials it.
    if (request.kindName == kPhoneKind) {
        for (const int column : UsimColumnsOf(*request.list)) {
            if (!columns.contains(column))
                columns.append(column);
        }
        if (HasUsimColumns(*request.list) &&
            !request_.checks.numberColumns.contains(usim_column::kSecondNumber))
            request_.checks.numberColumns.append(usim_column::kSecondNumber);
    }
    // Titled in every language, so that a file exported in one imports in any other.
    fields_ = ImportFieldsOf(request.kindName == kSmsKind ? ListKind::Messages : ListKind::Contacts,
                             *request.list, columns);

    preview_ = new QTableView(this);
    preview_->setObjectName(QStringLiteral("PreviewGrid"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    mappingList_ = new QTreeWidget(this);
    mappingList_->setObjectName(QStringLiteral("MappingList"));
    mappingList_->setRootIsDecorated(false);
    mappingList_->setColumnCount(2);
    mappingList_->setHeaderLabels({Message(MessageId::TextField, request.languageIndex),
                                   kindCaption(request.kindName, request.languageIndex)});
    mappingList_->header()->setSectionResizeMode(QHeaderView::Stretch);
    connect(mappingList_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        const int entry = mappingList_->indexOfTopLevelItem(item);
        if (!filling_ && entry >= 0 && entry < mapping_.size())
            mapping_[entry].ticked = item->checkState(0) == Qt::Checked;
    });
    connect(mappingList_, &QTreeWidget::itemDoubleClicked, this, [this] { editMapping(); });

    auto* mapping = new QPushButton(Message(MessageId::ChangeMapping, request.languageIndex), this);
    mapping->setObjectName(QStringLiteral("mappingButton"));
    mapping->setAutoDefault(false);
    connect(mapping, &QPushButton::clicked, this, &ImportDialog::editMapping);
    auto* import = new QPushButton(Message(MessageId::Import, request.languageIndex), this);
    import->setObjectName(QStringLiteral("importButton"));
    import->setDefault(true);
    connect(import, &QPushButton::clicked, this, &ImportDialog::importRecords);
    auto* cancel = new QPushButton(Message(MessageId::Cancel, request.languageIndex), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &ImportDialog::cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mapping);
    buttons->addStretch();
    buttons->addWidget(import);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(preview_, 3);
    layout->addWidget(mappingList_, 2);
    layout->addLayout(buttons);
    resize(640, 480);
}

ImportDialog::~ImportDialog() = default;

bool ImportDialog::chooseFile() {
    QString chosen;
    if (!chooseFile(chosen))
        return false;
    if (IsVCardPath(chosen) && request_.kindName != kSmsKind) {
        vCard_ = true;
        path_ = chosen;
        imported_ = importVCards();
        return true;
    }
    TextTable table;
    if (!ReadTextFile(table, chosen, request_.delimiter, request_.languageIndex))
        return false;
    path_ = chosen;
    table_ = std::move(table);
    QAbstractItemModel* old = preview_->model();
    preview_->setModel(new TextTableModel(table_, preview_));
    delete old;
    mapping_ = BuildMappingList(table_.header, fields_);
    fillMappingList();
    setWindowTitle(Message(MessageId::ImportTitlePrefix, request_.languageIndex) +
                   FileTitleOf(path_, request_.languageIndex));
    // A file whose titles name nothing is said so; the mapping list is where to link them.
    if (std::none_of(mapping_.begin(), mapping_.end(),
                     [](const MappingEntry& entry) { return entry.column > 0; }))
        ShowMessage(CatalogueMessage(MessageId::NoColumnMatches, request_.languageIndex,
                                     DialogButtons::Ok, DialogIcon::Information));
    return true;
}

QString ImportDialog::fileFilter() const {
    const int language = request_.languageIndex;
    QStringList filters{
        nameFilter(Message(MessageId::ImportTextFilter, language), kTextExtensions)};
    if (request_.kindName != kSmsKind)  // the SMS list has no vCard form
        filters.append(nameFilter(kVCardLabel, kVCardExtensions));
    filters.append(nameFilter(Message(MessageId::AllFilesFilter, language), {}));
    return filters.join(QStringLiteral(";;"));
}

bool ImportDialog::chooseFile(QString& chosen) {
    FileRequest request;
    request.title = Message(MessageId::Open, request_.languageIndex);
    request.nameFilter = fileFilter();
    request.folder = FileHistory::Instance().StartFolder();
    do {
        chosen = CurrentDialogs().ChooseOpenFileName(request);
        if (chosen.isEmpty())
            return false;
    } while (!FileExists(chosen));
    FileHistory::Instance().RememberFolderOf(chosen);
    return true;
}

bool ImportDialog::importVCards() {
    VCardFile file;
    if (!ReadVCardFile(path_, file, request_.languageIndex))
        return false;
    const VCardImport result =
        request_.kindName == kPhoneKind
            ? ImportVCardsAsPhoneBook(*request_.list, *request_.usedCount, file,
                                      request_.nameFit ? request_.nameFit : CharacterNameFit(255))
            : ImportVCardsAsPersons(*request_.list, *request_.usedCount, file);
    ShowVCardImport(result, request_.languageIndex);
    return result.imported > 0;
}

void ImportDialog::fillMappingList() {
    filling_ = true;
    mappingList_->clear();
    for (const MappingEntry& entry : mapping_) {
        auto* item = new QTreeWidgetItem(mappingList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setText(0, entry.fieldName);
    }
    for (int entry = 0; entry < mapping_.size(); ++entry)
        showEntry(entry);
    if (mappingList_->topLevelItemCount() > 0)
        mappingList_->setCurrentItem(mappingList_->topLevelItem(0));
    filling_ = false;
}

void ImportDialog::showEntry(int entry) {
    QTreeWidgetItem* item = mappingList_->topLevelItem(entry);
    const bool filling = filling_;
    filling_ = true;
    item->setText(1, mapping_[entry].linkTitle);
    item->setCheckState(0, mapping_[entry].ticked ? Qt::Checked : Qt::Unchecked);
    filling_ = filling;
}

void ImportDialog::editMapping() {
    // The entry the user points at; the first one until another is chosen.
    const int entry = mappingList_->indexOfTopLevelItem(mappingList_->currentItem());
    if (entry < 0 || entry >= mapping_.size())
        return;
    FieldMappingDialog dialog(kindCaption(request_.kindName, request_.languageIndex), fields_,
                              mapping_[entry].column, request_.languageIndex, this);
    RunModal(dialog);
    if (!dialog.chosen())
        return;
    LinkMappingEntry(mapping_, entry, *dialog.chosen());
    for (int other = 0; other < mapping_.size(); ++other)
        showEntry(other);
}

bool ImportDialog::readyToImport() {
    const auto linked = [this](int column) {
        return std::any_of(mapping_.begin(), mapping_.end(), [column](const MappingEntry& entry) {
            return entry.ticked && entry.column > 0 && (column == 0 || entry.column == column);
        });
    };
    const int language = request_.languageIndex;
    if (!linked(0)) {
        ShowMessage(CatalogueMessage(MessageId::NothingLinked, language, DialogButtons::Ok,
                                     DialogIcon::Warning));
        return false;
    }
    // A phone book entry is there for its number: names alone are imported only when asked.
    if (request_.kindName != kPhoneKind || table_.records.isEmpty())
        return true;
    for (const int column : request_.checks.numberColumns) {
        if (linked(column))
            return true;
    }
    const auto numberField = std::find_if(fields_.begin(), fields_.end(), [this](const auto& f) {
        return request_.checks.numberColumns.contains(f.column);
    });
    MessageRequest question = CatalogueMessage(MessageId::NoNumberLinkedQuestion, language,
                                               DialogButtons::YesNo, DialogIcon::Question);
    question.text =
        question.text.arg(numberField != fields_.end() ? numberField->title : QString());
    return ShowMessage(question) == DialogAnswer::Yes;
}

void ImportDialog::importRecords() {
    if (!readyToImport())
        return;  // the dialog stays open for the mapping
    QMap<int, int> mirrored;
    if (request_.kindName == kSmsKind)
        mirrored.insert(3, 2);  // the SMS list keeps the message as typed beside it as shown
    const ImportResult result = ImportRows(*request_.list, *request_.usedCount, table_, mapping_,
                                           mirrored, request_.checks);
    imported_ = result.imported > 0;
    ShowImportShortfall(result, request_.languageIndex);
    accept();
}

void ImportDialog::cancel() {
    reject();
}

bool showImportDialog(const ImportRequest& request) {
    if (request.list == nullptr || request.usedCount == nullptr)
        return false;
    ImportDialog dialog(request);
    if (!dialog.chooseFile())
        return false;
    if (dialog.wasVCard())
        return dialog.imported();  // a vCard has its own fields: no mapping to choose
    RunModal(dialog);
    return dialog.imported();
}

}  // namespace pellucard
