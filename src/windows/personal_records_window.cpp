// The personal record window: its controls, captions, layout and life cycle.
#include "windows/personal_records_window.h"
#include "windows/command_controls.h"
#include "windows/find_box.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "records/record_documents.h"
#include "windows/record_list_model.h"
#include "records/record_slots.h"
#include "shell/session.h"

namespace pellucard {
namespace {

// Per contact column 1..25: the list's title, the field's label and its input length limit.
struct FieldForm {
    MessageId titleId;
    MessageId labelId;
    int limit;
};
constexpr std::array<FieldForm, PersonalRecordsWindow::kFieldCount> kFields = {{
    {MessageId::AliasTitle, MessageId::AliasLabel, 13},
    {MessageId::PhoneTitle, MessageId::PhoneLabel, 20},
    {MessageId::NameTitle, MessageId::NameLabel, 35},
    {MessageId::HomeAddressTitle, MessageId::HomeAddressLabel, 255},
    {MessageId::HomeCityTitle, MessageId::HomeCityLabel, 100},
    {MessageId::HomeCountryTitle, MessageId::HomeCountryLabel, 100},
    {MessageId::HomeZipCodeTitle, MessageId::HomeZipCodeLabel, 10},
    {MessageId::PersonalEmailTitle, MessageId::PersonalEmailLabel, 100},
    {MessageId::HomeTelephoneTitle, MessageId::HomeTelephoneLabel, 20},
    {MessageId::HomeFaxTitle, MessageId::HomeFaxLabel, 20},
    {MessageId::OfficeAddressTitle, MessageId::OfficeAddressLabel, 255},
    {MessageId::OfficeCityTitle, MessageId::OfficeCityLabel, 100},
    {MessageId::OfficeCountryTitle, MessageId::OfficeCountryLabel, 100},
    {MessageId::OfficeZipCodeTitle, MessageId::OfficeZipCodeLabel, 10},
    {MessageId::WorkEmailTitle, MessageId::WorkEmailLabel, 50},
    {MessageId::OfficeTelephoneTitle, MessageId::OfficeTelephoneLabel, 20},
    {MessageId::MobilePhoneTitle, MessageId::MobilePhoneLabel, 20},
    {MessageId::OfficeFaxTitle, MessageId::OfficeFaxLabel, 20},
    {MessageId::DateOfBirthTitle, MessageId::DateOfBirthLabel, 50},
    {MessageId::NicknameTitle, MessageId::NicknameLabel, 30},
    {MessageId::HobbyTitle, MessageId::HobbyLabel, 50},
    {MessageId::HomepageTitle, MessageId::HomepageLabel, 50},
    {MessageId::ImportantTitle, MessageId::ImportantLabel, 10},
    {MessageId::SexTitle, MessageId::SexLabel, 2},
    {MessageId::NoteTitle, MessageId::NoteLabel, 255},
}};

// The fields of page 0, in the order of the form; page 1 holds the home and office fields.
constexpr std::array<int, 13> kPersonalColumns = {1, 2, 3, 8, 15, 17, 19, 20, 21, 22, 23, 24, 25};
constexpr std::array<int, 6> kHomeColumns = {4, 5, 6, 7, 9, 10};
constexpr std::array<int, 6> kOfficeColumns = {11, 12, 13, 14, 16, 18};

constexpr int kSlotColumnWidth = 30;  // pixels
constexpr int kFirstYear = 1860;

QComboBox* newChooser(const char* name, bool editable, QWidget* parent) {
    auto* chooser = new QComboBox(parent);
    chooser->setObjectName(QLatin1String(name));
    chooser->setEditable(editable);
    if (editable) {
        chooser->setInsertPolicy(QComboBox::NoInsert);
        chooser->setCompleter(nullptr);  // the typed-prefix rules decide, not completion
    }
    return chooser;
}

}  // namespace

PersonalRecordsWindow::PersonalRecordsWindow(ShellHost& host, QWidget* parent)
    : ChildWindow(WindowIndex::PersonalRecords, host, parent),
      files_(*this, host, kPersonalRecordFile, WindowIndex::PersonalRecords, kSlotCount) {
    history_ = new QUndoStack(this);
    setObjectName(QStringLiteral("personalRecordsWindow"));
    buildWidgets();
    ResetList(recordList(), kSlotCount);
    changeLanguage();
    setFieldLengthLimits();
    fillYears();
    recorded_ = captureList();
    files_.setSaveButton(saveFileButton);
    if (files_.file().isEmpty())
        files_.newDocument();
    recordGrid->setCurrentCell(1, 1);
    showRecord(1);
}

PersonalRecordsWindow::~PersonalRecordsWindow() {
    // Hidden while it is still this window: hiding a scrolled list scrolls it, and the list
    // reports that to the window.
    hide();
}

RecordList& PersonalRecordsWindow::recordList() {
    return model_->List();
}

int PersonalRecordsWindow::language() const {
    return const_cast<PersonalRecordsWindow*>(this)->currentSession().LanguageIndex;
}

QString PersonalRecordsWindow::text(MessageId id) const {
    return Message(id, language());
}

QWidget* PersonalRecordsWindow::dialogParent() {
    return host().mainWidget();
}

int PersonalRecordsWindow::currentRow() const {
    return recordGrid->currentRow();
}

int PersonalRecordsWindow::pageOf(int column) {
    return std::find(kPersonalColumns.begin(), kPersonalColumns.end(), column) !=
                   kPersonalColumns.end()
               ? 0
               : 1;
}

void PersonalRecordsWindow::buildWidgets() {
    // The form scrolls as a whole when the window is smaller than it.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("scrollArea"));
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    scroll_->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);

    newFileButton = newCommandButton(QStringLiteral("newFileButton"), content);
    openFileButton = newCommandButton(QStringLiteral("openFileButton"), content);
    saveFileButton = newCommandButton(QStringLiteral("saveFileButton"), content);
    saveAsButton = newCommandButton(QStringLiteral("saveAsButton"), content);
    newRecordButton = newCommandButton(QStringLiteral("newRecordButton"), content);
    deleteButton = newCommandButton(QStringLiteral("deleteButton"), content);
    printButton = newCommandButton(QStringLiteral("printButton"), content);
    findNextButton = newCommandButton(QStringLiteral("findNextButton"), content);
    fileLabel_ = new QLabel(content);
    fileLabel_->setObjectName(QStringLiteral("fileLabel"));
    fileTitle = new QLabel(content);
    fileTitle->setObjectName(QStringLiteral("fileTitle"));
    findLabel_ = new QLabel(content);
    findLabel_->setObjectName(QStringLiteral("findLabel"));
    findBox = new QLineEdit(content);
    findBox->setObjectName(QStringLiteral("findBox"));
    sizeFindBox(*findBox);

    auto* fileRow = new QHBoxLayout;
    for (QPushButton* button : {newFileButton, openFileButton, saveFileButton, saveAsButton})
        fileRow->addWidget(button);
    fileRow->addSpacing(12);
    fileRow->addWidget(fileLabel_);
    fileRow->addWidget(fileTitle, 1);
    auto* recordRow = new QHBoxLayout;
    for (QPushButton* button : {newRecordButton, deleteButton, printButton})
        recordRow->addWidget(button);
    recordRow->addSpacing(12);
    recordRow->addWidget(findLabel_);
    recordRow->addWidget(findBox, 1);
    recordRow->addWidget(findNextButton);

    model_ = new RecordListModel(kSlotCount + 1, kColumnCount, this);
    model_->SetMarkColumn(kMarkColumn);
    recordGrid = new RecordTable(0, *this, content);
    recordGrid->setObjectName(QStringLiteral("recordGrid"));
    recordGrid->setModel(model_);
    recordGrid->setColumnHidden(kMarkColumn - 1, true);
    recordGrid->setMinimumWidth(200);

    pages = new QTabWidget(content);
    pages->setObjectName(QStringLiteral("pages"));
    pages->addTab(buildPersonalPage(), QString());
    pages->addTab(buildAddressPage(), QString());

    auto* splitter = new QSplitter(Qt::Horizontal, content);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(recordGrid);
    splitter->addWidget(pages);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);

    auto* layout = new QVBoxLayout(content);
    layout->addLayout(fileRow);
    layout->addLayout(recordRow);
    layout->addWidget(splitter, 1);

    connect(newFileButton, &QPushButton::clicked, this, &PersonalRecordsWindow::newFile);
    connect(openFileButton, &QPushButton::clicked, this, &PersonalRecordsWindow::openFile);
    connect(saveFileButton, &QPushButton::clicked, this, &PersonalRecordsWindow::saveFile);
    connect(saveAsButton, &QPushButton::clicked, this, &PersonalRecordsWindow::saveFileAs);
    connect(newRecordButton, &QPushButton::clicked, this, &PersonalRecordsWindow::newRecord);
    connect(deleteButton, &QPushButton::clicked, this, &PersonalRecordsWindow::deleteMarked);
    connect(printButton, &QPushButton::clicked, this, &PersonalRecordsWindow::printList);
    connect(findNextButton, &QPushButton::clicked, this, &PersonalRecordsWindow::findNext);
    connect(findBox, &QLineEdit::returnPressed, this, &PersonalRecordsWindow::findFromTop);
    connect(recordGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() + 1 != shownRow_)
                    showRecord(current.row() + 1);
            });
    connect(recordGrid, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { goToField(index.column() + 1); });
}

void PersonalRecordsWindow::addField(QFormLayout* form, int column, QWidget* field) {
    auto* label = new QLabel(form->parentWidget());
    label->setObjectName(QStringLiteral("fieldLabel_%1").arg(column));
    fieldLabel_[column] = label;
    auto* edit = new QLineEdit(form->parentWidget());
    edit->setObjectName(QStringLiteral("Text3_%1").arg(column));
    fields_[column] = edit;
    if (field != nullptr) {
        // A value set through a chooser: its text field is kept, out of sight.
        edit->hide();
        form->addRow(label, field);
        label->setBuddy(field);
        return;
    }
    label->setBuddy(edit);
    form->addRow(label, edit);
    connect(edit, &QLineEdit::textEdited, this, [this, column] { fieldEdited(column); });
}

QWidget* PersonalRecordsWindow::buildPersonalPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("personalPage"));
    auto* form = new QFormLayout(page);

    auto* date = new QWidget(page);
    yearBox = newChooser("YearC", true, date);
    monthBox = newChooser("MonthC", false, date);
    dayBox = newChooser("DayC", false, date);
    dateHint_ = new QLabel(date);
    dateHint_->setObjectName(QStringLiteral("dateHint"));
    auto* dateRow = new QHBoxLayout(date);
    dateRow->setContentsMargins(0, 0, 0, 0);
    dateRow->addWidget(yearBox);
    dateRow->addWidget(monthBox);
    dateRow->addWidget(dayBox);
    dateRow->addWidget(dateHint_);
    dateRow->addStretch();
    monthBox->addItem(QString());
    for (int month = 1; month <= 12; ++month)
        monthBox->addItem(QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
    refillDays();

    sexBox = newChooser("SexC", true, page);
    sexBox->addItems({QString(), QStringLiteral("F"), QStringLiteral("M")});
    importanceBox = newChooser("ImprotantC", true, page);
    importanceBox->addItem(QString());
    for (int level = 0; level <= 9; ++level)
        importanceBox->addItem(QString::number(level));

    for (int column : kPersonalColumns) {
        QWidget* chooser = column == kDateColumn        ? date
                           : column == kImportantColumn ? static_cast<QWidget*>(importanceBox)
                           : column == kSexColumn       ? static_cast<QWidget*>(sexBox)
                                                        : nullptr;
        addField(form, column, chooser);
    }

    connect(yearBox->lineEdit(), &QLineEdit::textEdited, this, &PersonalRecordsWindow::yearEdited);
    connect(yearBox, &QComboBox::activated, this, [this] { dateChanged(); });
    yearBox->installEventFilter(this);
    yearBox->lineEdit()->installEventFilter(this);
    connect(monthBox, &QComboBox::activated, this, [this] { dateChanged(); });
    connect(dayBox, &QComboBox::activated, this, [this] { dateChanged(); });
    connect(sexBox->lineEdit(), &QLineEdit::textEdited, this, &PersonalRecordsWindow::sexEdited);
    connect(sexBox, &QComboBox::activated, this, [this] { sexEdited(sexBox->currentText()); });
    connect(importanceBox->lineEdit(), &QLineEdit::textEdited, this,
            &PersonalRecordsWindow::importanceEdited);
    connect(importanceBox, &QComboBox::activated, this,
            [this] { importanceEdited(importanceBox->currentText()); });
    return page;
}

QWidget* PersonalRecordsWindow::buildAddressPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("addressPage"));
    homeFrame_ = new QGroupBox(page);
    homeFrame_->setObjectName(QStringLiteral("homeFrame"));
    officeFrame_ = new QGroupBox(page);
    officeFrame_->setObjectName(QStringLiteral("officeFrame"));
    auto* home = new QFormLayout(homeFrame_);
    for (int column : kHomeColumns)
        addField(home, column);
    auto* office = new QFormLayout(officeFrame_);
    for (int column : kOfficeColumns)
        addField(office, column);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(homeFrame_);
    layout->addWidget(officeFrame_);
    layout->addStretch();
    return page;
}

void PersonalRecordsWindow::changeLanguage() {
    setWindowTitle(text(MessageId::PersonalRecord));
    caption(newFileButton, text(MessageId::NewFile));
    caption(openFileButton, text(MessageId::Open));
    caption(saveFileButton, text(MessageId::Save));
    caption(saveAsButton, text(MessageId::SaveAs));
    caption(newRecordButton, text(MessageId::New));
    caption(deleteButton, text(MessageId::Delete));
    caption(printButton, text(MessageId::Print));
    caption(findNextButton, text(MessageId::FindNext));
    caption(fileLabel_, text(MessageId::FileLabel));
    caption(findLabel_, text(MessageId::FindLabel));
    captionFindBox(*findBox, language());
    caption(dateHint_, text(MessageId::DateFormatHint));
    pages->setTabText(0, text(MessageId::IndividualInformation));
    pages->setTabText(1, text(MessageId::AddressInformation));
    homeFrame_->setTitle(text(MessageId::HomeInformation));
    officeFrame_->setTitle(text(MessageId::OfficeInformation));
    for (int column = 1; column <= kFieldCount; ++column)
        caption(fieldLabel_[column], text(kFields[column - 1].labelId));
    showDocumentName(files_.title());
    setUpColumns();
}

void PersonalRecordsWindow::setUpColumns() {
    RecordList& list = recordList();
    for (int column = 1; column <= kFieldCount; ++column)
        list.SetText(0, column, text(kFields[column - 1].titleId));
    // Each column as wide as its title.
    const QFontMetrics metrics = recordGrid->horizontalHeader()->fontMetrics();
    for (int column = 1; column <= kFieldCount; ++column) {
        recordGrid->setColumnWidth(column - 1,
                                   metrics.horizontalAdvance(list.Text(0, column)) + 24);
    }
    recordGrid->verticalHeader()->setMinimumWidth(kSlotColumnWidth);
}

void PersonalRecordsWindow::setFieldLengthLimits() {
    for (int column = 1; column <= kFieldCount; ++column)
        fields_[column]->setMaxLength(kFields[column - 1].limit);
    yearBox->lineEdit()->setMaxLength(4);
    sexBox->lineEdit()->setMaxLength(kFields[kSexColumn - 1].limit);
    importanceBox->lineEdit()->setMaxLength(kFields[kImportantColumn - 1].limit);
}

void PersonalRecordsWindow::fillYears() {
    yearBox->clear();
    yearBox->addItem(QString());
    const int thisYear = std::max(QDate::currentDate().year(), kFirstYear);
    for (int year = kFirstYear; year <= thisYear; ++year)
        yearBox->addItem(QString::number(year));
    yearBox->setCurrentIndex(0);
}

void PersonalRecordsWindow::activate() {
    currentSession().CurrentWindow = WindowIndex::PersonalRecords;
    recordGrid->setCurrentCell(1, std::max(recordGrid->currentColumn(), 1));
    files_.showMenuEntries();
}

void PersonalRecordsWindow::printRecords() {
    printList();
}

bool PersonalRecordsWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == yearBox || watched == yearBox->lineEdit()) && event->type() == QEvent::FocusOut)
        yearLeft();
    return ChildWindow::eventFilter(watched, event);
}

}  // namespace pellucard
