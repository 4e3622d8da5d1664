// The personal record window: its controls, captions, layout and life cycle.
#include "windows/person_rec.h"
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
#include "records/record_slots.h"
#include "shell/session.h"
#include "windows/record_list_model.h"

namespace pellucard {
namespace {

// Per contact column 1..25: the list's title, the field's label and its input length limit.
struct FieldForm {
    MessageId titleId;
    MessageId labelId;
    int limit;
};
constexpr std::array<FieldForm, PersonRec::kFieldCount> kFields = {{
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

constexpr int kSlotColumnTwips = 450;
constexpr int kFirstYear = 1860;

QComboBox* NewChooser(const char* name, bool editable, QWidget* parent) {
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

PersonRec::PersonRec(ShellHost& host, QWidget* parent)
    : ChildWindow(WindowIndex::PersonRec, host, parent),
      files_(*this, host, kPersonalRecordFile, WindowIndex::PersonRec, kSlotCount) {
    history_ = new QUndoStack(this);
    setObjectName(QStringLiteral("PersonRec"));
    BuildWidgets();
    ResetList(List(), kSlotCount);
    ChangeLanguage();
    iniAllTLenght();
    FillYears();
    recorded_ = CaptureList();
    files_.SetSaveButton(CmdNewSave);
    if (files_.File().isEmpty())
        files_.New();
    MSHFlexGrid1->SetCurrentCell(1, 1);
    ShowRecord(1);
}

PersonRec::~PersonRec() {
    // Hidden while it is still this window: hiding a scrolled list scrolls it, and the list
    // reports that to the window.
    hide();
}

RecordList& PersonRec::List() {
    return model_->List();
}

int PersonRec::Language() const {
    return const_cast<PersonRec*>(this)->CurrentSession().LanguageIndex;
}

QString PersonRec::Text(MessageId id) const {
    return Message(id, Language());
}

QWidget* PersonRec::DialogParent() {
    return Host().MainWidget();
}

int PersonRec::CurrentRow() const {
    return MSHFlexGrid1->CurrentRow();
}

int PersonRec::PageOf(int column) {
    return std::find(kPersonalColumns.begin(), kPersonalColumns.end(), column) !=
                   kPersonalColumns.end()
               ? 0
               : 1;
}

void PersonRec::BuildWidgets() {
    // The form scrolls as a whole when the window is smaller than it.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("Picture1"));
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    scroll_->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);

    CmdNewNewrecord = NewCommandButton(QStringLiteral("CmdNewNewrecord"), content);
    CmdNewOpen = NewCommandButton(QStringLiteral("CmdNewOpen"), content);
    CmdNewSave = NewCommandButton(QStringLiteral("CmdNewSave"), content);
    CmdSaveAs = NewCommandButton(QStringLiteral("CmdSaveAs"), content);
    CmdNewRecord = NewCommandButton(QStringLiteral("CmdNewRecord"), content);
    Cmddelsim = NewCommandButton(QStringLiteral("Cmddelsim"), content);
    CmdPrint = NewCommandButton(QStringLiteral("CmdPrint"), content);
    ComNext = NewCommandButton(QStringLiteral("ComNext"), content);
    fileLabel_ = new QLabel(content);
    fileLabel_->setObjectName(QStringLiteral("LFile"));
    FRecord = new QLabel(content);
    FRecord->setObjectName(QStringLiteral("FRecord"));
    findLabel_ = new QLabel(content);
    findLabel_->setObjectName(QStringLiteral("LFind"));
    FindBox = new QLineEdit(content);
    FindBox->setObjectName(QStringLiteral("FindBox"));
    SizeFindBox(*FindBox);

    auto* fileRow = new QHBoxLayout;
    for (QPushButton* button : {CmdNewNewrecord, CmdNewOpen, CmdNewSave, CmdSaveAs})
        fileRow->addWidget(button);
    fileRow->addSpacing(12);
    fileRow->addWidget(fileLabel_);
    fileRow->addWidget(FRecord, 1);
    auto* recordRow = new QHBoxLayout;
    for (QPushButton* button : {CmdNewRecord, Cmddelsim, CmdPrint})
        recordRow->addWidget(button);
    recordRow->addSpacing(12);
    recordRow->addWidget(findLabel_);
    recordRow->addWidget(FindBox, 1);
    recordRow->addWidget(ComNext);

    model_ = new RecordListModel(kSlotCount + 1, kColumnCount, this);
    model_->SetMarkColumn(kMarkColumn);
    MSHFlexGrid1 = new RecordTable(0, *this, content);
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setModel(model_);
    MSHFlexGrid1->setColumnHidden(kMarkColumn - 1, true);
    MSHFlexGrid1->setMinimumWidth(200);

    SSTab1 = new QTabWidget(content);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(BuildPersonalPage(), QString());
    SSTab1->addTab(BuildAddressPage(), QString());

    auto* splitter = new QSplitter(Qt::Horizontal, content);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(MSHFlexGrid1);
    splitter->addWidget(SSTab1);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);

    auto* layout = new QVBoxLayout(content);
    layout->addLayout(fileRow);
    layout->addLayout(recordRow);
    layout->addWidget(splitter, 1);

    connect(CmdNewNewrecord, &QPushButton::clicked, this, &PersonRec::CmdNewNewrecord_Click);
    connect(CmdNewOpen, &QPushButton::clicked, this, &PersonRec::CmdNewOpen_Click);
    connect(CmdNewSave, &QPushButton::clicked, this, &PersonRec::CmdNewSave_Click);
    connect(CmdSaveAs, &QPushButton::clicked, this, &PersonRec::CmdSaveAs_Click);
    connect(CmdNewRecord, &QPushButton::clicked, this, &PersonRec::CmdNewRecord_Click);
    connect(Cmddelsim, &QPushButton::clicked, this, &PersonRec::Cmddelsim_Click);
    connect(CmdPrint, &QPushButton::clicked, this, &PersonRec::CmdPrint_Click);
    connect(ComNext, &QPushButton::clicked, this, &PersonRec::ComNext_Click);
    connect(FindBox, &QLineEdit::returnPressed, this, &PersonRec::FindBox_Enter);
    connect(MSHFlexGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() + 1 != shownRow_)
                    ShowRecord(current.row() + 1);
            });
    connect(MSHFlexGrid1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { GoToField(index.column() + 1); });
}

void PersonRec::AddField(QFormLayout* form, int column, QWidget* field) {
    auto* label = new QLabel(form->parentWidget());
    label->setObjectName(QStringLiteral("LField_%1").arg(column));
    fieldLabel_[column] = label;
    auto* edit = new QLineEdit(form->parentWidget());
    edit->setObjectName(QStringLiteral("Text3_%1").arg(column));
    text3_[column] = edit;
    if (field != nullptr) {
        // A value set through a chooser: its text field is kept, out of sight.
        edit->hide();
        form->addRow(label, field);
        label->setBuddy(field);
        return;
    }
    label->setBuddy(edit);
    form->addRow(label, edit);
    connect(edit, &QLineEdit::textEdited, this, [this, column] { FieldEdited(column); });
}

QWidget* PersonRec::BuildPersonalPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Page_0"));
    auto* form = new QFormLayout(page);

    auto* date = new QWidget(page);
    YearC = NewChooser("YearC", true, date);
    MonthC = NewChooser("MonthC", false, date);
    DayC = NewChooser("DayC", false, date);
    dateHint_ = new QLabel(date);
    dateHint_->setObjectName(QStringLiteral("LDateHint"));
    auto* dateRow = new QHBoxLayout(date);
    dateRow->setContentsMargins(0, 0, 0, 0);
    dateRow->addWidget(YearC);
    dateRow->addWidget(MonthC);
    dateRow->addWidget(DayC);
    dateRow->addWidget(dateHint_);
    dateRow->addStretch();
    MonthC->addItem(QString());
    for (int month = 1; month <= 12; ++month)
        MonthC->addItem(QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
    RefillDays();

    SexC = NewChooser("SexC", true, page);
    SexC->addItems({QString(), QStringLiteral("F"), QStringLiteral("M")});
    ImprotantC = NewChooser("ImprotantC", true, page);
    ImprotantC->addItem(QString());
    for (int level = 0; level <= 9; ++level)
        ImprotantC->addItem(QString::number(level));

    for (int column : kPersonalColumns) {
        QWidget* chooser = column == kDateColumn        ? date
                           : column == kImportantColumn ? static_cast<QWidget*>(ImprotantC)
                           : column == kSexColumn       ? static_cast<QWidget*>(SexC)
                                                        : nullptr;
        AddField(form, column, chooser);
    }

    connect(YearC->lineEdit(), &QLineEdit::textEdited, this, &PersonRec::YearEdited);
    connect(YearC, &QComboBox::activated, this, [this] { DateChanged(); });
    YearC->installEventFilter(this);
    YearC->lineEdit()->installEventFilter(this);
    connect(MonthC, &QComboBox::activated, this, [this] { DateChanged(); });
    connect(DayC, &QComboBox::activated, this, [this] { DateChanged(); });
    connect(SexC->lineEdit(), &QLineEdit::textEdited, this, &PersonRec::SexEdited);
    connect(SexC, &QComboBox::activated, this, [this] { SexEdited(SexC->currentText()); });
    connect(ImprotantC->lineEdit(), &QLineEdit::textEdited, this, &PersonRec::ImportanceEdited);
    connect(ImprotantC, &QComboBox::activated, this,
            [this] { ImportanceEdited(ImprotantC->currentText()); });
    return page;
}

QWidget* PersonRec::BuildAddressPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Page_1"));
    homeFrame_ = new QGroupBox(page);
    homeFrame_->setObjectName(QStringLiteral("FraHome"));
    officeFrame_ = new QGroupBox(page);
    officeFrame_->setObjectName(QStringLiteral("FraOffice"));
    auto* home = new QFormLayout(homeFrame_);
    for (int column : kHomeColumns)
        AddField(home, column);
    auto* office = new QFormLayout(officeFrame_);
    for (int column : kOfficeColumns)
        AddField(office, column);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(homeFrame_);
    layout->addWidget(officeFrame_);
    layout->addStretch();
    return page;
}

void PersonRec::ChangeLanguage() {
    setWindowTitle(Text(MessageId::PersonalRecord));
    Caption(CmdNewNewrecord, Text(MessageId::NewFile));
    Caption(CmdNewOpen, Text(MessageId::Open));
    Caption(CmdNewSave, Text(MessageId::Save));
    Caption(CmdSaveAs, Text(MessageId::SaveAs));
    Caption(CmdNewRecord, Text(MessageId::New));
    Caption(Cmddelsim, Text(MessageId::Delete));
    Caption(CmdPrint, Text(MessageId::Print));
    Caption(ComNext, Text(MessageId::FindNext));
    Caption(fileLabel_, Text(MessageId::FileLabel));
    Caption(findLabel_, Text(MessageId::FindLabel));
    CaptionFindBox(*FindBox, Language());
    Caption(dateHint_, Text(MessageId::DateFormatHint));
    SSTab1->setTabText(0, Text(MessageId::IndividualInformation));
    SSTab1->setTabText(1, Text(MessageId::AddressInformation));
    homeFrame_->setTitle(Text(MessageId::HomeInformation));
    officeFrame_->setTitle(Text(MessageId::OfficeInformation));
    for (int column = 1; column <= kFieldCount; ++column)
        Caption(fieldLabel_[column], Text(kFields[column - 1].labelId));
    ShowDocumentName(files_.Title());
    SetUpColumns();
}

void PersonRec::SetUpColumns() {
    RecordList& list = List();
    for (int column = 1; column <= kFieldCount; ++column)
        list.SetText(0, column, Text(kFields[column - 1].titleId));
    // Each column as wide as its title.
    const QFontMetrics metrics = MSHFlexGrid1->horizontalHeader()->fontMetrics();
    for (int column = 1; column <= kFieldCount; ++column) {
        MSHFlexGrid1->setColumnWidth(column - 1,
                                     metrics.horizontalAdvance(list.Text(0, column)) + 24);
    }
    MSHFlexGrid1->verticalHeader()->setMinimumWidth(kSlotColumnTwips / 15);
}

void PersonRec::iniAllTLenght() {
    for (int column = 1; column <= kFieldCount; ++column)
        text3_[column]->setMaxLength(kFields[column - 1].limit);
    YearC->lineEdit()->setMaxLength(4);
    SexC->lineEdit()->setMaxLength(kFields[kSexColumn - 1].limit);
    ImprotantC->lineEdit()->setMaxLength(kFields[kImportantColumn - 1].limit);
}

void PersonRec::FillYears() {
    YearC->clear();
    YearC->addItem(QString());
    const int thisYear = std::max(QDate::currentDate().year(), kFirstYear);
    for (int year = kFirstYear; year <= thisYear; ++year)
        YearC->addItem(QString::number(year));
    YearC->setCurrentIndex(0);
}

void PersonRec::Form_Activate() {
    CurrentSession().CurrentWindow = WindowIndex::PersonRec;
    MSHFlexGrid1->SetCurrentCell(1, std::max(MSHFlexGrid1->CurrentColumn(), 1));
    files_.ShowMenuEntries();
}

void PersonRec::PrintRecords() {
    CmdPrint_Click();
}

bool PersonRec::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == YearC || watched == YearC->lineEdit()) && event->type() == QEvent::FocusOut)
        YearLeft();
    return ChildWindow::eventFilter(watched, event);
}

}  // namespace pellucard
