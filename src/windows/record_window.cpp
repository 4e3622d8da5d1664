// The two-list record window: its controls, captions, layout and life cycle.
#include "windows/record_window.h"
#include "windows/command_controls.h"
#include "windows/find_box.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include <cmath>

#include "catalogue/catalogue.h"
#include "engine/pellucard.h"
#include "records/dialog_seam.h"
#include "records/record_slots.h"
#include "shell/session.h"
#include "windows/cell_editor.h"
#include "windows/record_list_model.h"

namespace pellucard {

namespace {

QString Indexed(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

}  // namespace

RecordWindow::RecordWindow(const RecordWindowKind& kind, ShellHost& host, QWidget* parent)
    : ChildWindow(kind.windowIndex, host, parent),
      kind_(kind),
      files_(*this, host, *kind.file, kind.windowIndex, kSlotCapacity) {
    history_ = new QUndoStack(this);
    BuildWidgets();
    files_.SetSaveButton(CmdNewSave);
}

void RecordWindow::Load() {
    ChangeLanguage();
    for (int list : {kComputerList, kSimList})
        InitList(list, kSlotCapacity);
    // Nothing has been read from the card yet: a write leaves every slot the user did not fill.
    for (int row = 1; row < List(kSimList).Rows(); ++row)
        List(kSimList).SetTag(row, kUnknownSlotTag);
    files_.ShowMenuEntries();
    UpdateCardState();
    // Every window opens with a new untitled computer list.
    if (files_.File().isEmpty())
        files_.New();
}

RecordWindow::~RecordWindow() {
    // Hidden while it is still a record window: hiding a scrolled list scrolls it, and the list
    // reports that to this window, which must not have been taken apart yet.
    hide();
}

int RecordWindow::Twips(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

int RecordWindow::Language() const {
    return const_cast<RecordWindow*>(this)->CurrentSession().LanguageIndex;
}

QString RecordWindow::Text(MessageId id) const {
    return Message(id, Language());
}

RecordList& RecordWindow::List(int list) {
    return model_[list]->List();
}

QWidget* RecordWindow::DialogParent() {
    return Host().MainWidget();
}

void RecordWindow::BuildWidgets() {
    Picture1 = new QScrollArea(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setWidgetResizable(true);
    Picture1->setFrameShape(QFrame::NoFrame);
    content_ = new QWidget;
    Picture1->setWidget(content_);
    // The scroll bars that move the content when the window is smaller than its design; the
    // SMS window's HScroll1 is its validity picker.
    Picture1->horizontalScrollBar()->setObjectName(kind_.windowIndex == WindowIndex::SmsRec
                                                       ? QStringLiteral("HScroll2")
                                                       : QStringLiteral("HScroll1"));
    Picture1->verticalScrollBar()->setObjectName(QStringLiteral("VScroll1"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Picture1);

    auto* layout = new QGridLayout(content_);
    for (int list : {kSimList, kComputerList}) {
        auto* frame = new QGroupBox(content_);
        frame->setObjectName(Indexed("FRecord", list));
        FRecord[list] = frame;
        model_[list] = new RecordListModel(kSlotCapacity + 1, kind_.columnCount, this);
        model_[list]->SetMarkColumn(kind_.markColumn);
        grid_[list] = new RecordTable(list, *this, frame);
        grid_[list]->setModel(model_[list]);

        Cmddelsim[list] = NewCommandButton(Indexed("Cmddelsim", list), frame);
        CmdNewRecord[list] = NewCommandButton(Indexed("CmdNewRecord", list), frame);
        LFind[list] = new QLabel(frame);
        LFind[list]->setObjectName(Indexed("LFind", list));
        FindBox[list] = new QLineEdit(frame);
        FindBox[list]->setObjectName(Indexed("FindBox", list));
        SizeFindBox(*FindBox[list]);
        ComNext[list] = NewCommandButton(Indexed("ComNext", list), frame);
        CmdPrint[list] = NewCommandButton(Indexed("CmdPrint", list), frame);

        auto* commands = new QHBoxLayout;
        auto* finding = new QHBoxLayout;
        if (list == kSimList) {
            readButton_ = NewCommandButton(QLatin1String(kind_.readButtonName), frame);
            CmdSaveSim = NewCommandButton(QStringLiteral("CmdSaveSim"), frame);
            CmdRight = NewCommandButton(QStringLiteral("CmdRight"), frame);
            Cmdallright = NewCommandButton(QStringLiteral("Cmdallright"), frame);
            for (QWidget* w :
                 {static_cast<QWidget*>(readButton_), static_cast<QWidget*>(CmdSaveSim),
                  static_cast<QWidget*>(CmdRight), static_cast<QWidget*>(Cmdallright)})
                commands->addWidget(w);
        } else {
            CmdLeft = NewCommandButton(QStringLiteral("CmdLeft"), frame);
            Cmdallleft = NewCommandButton(QStringLiteral("Cmdallleft"), frame);
            CmdNewNewrecord = NewCommandButton(QStringLiteral("CmdNewNewrecord"), frame);
            CmdNewOpen = NewCommandButton(QStringLiteral("CmdNewOpen"), frame);
            CmdNewSave = NewCommandButton(QStringLiteral("CmdNewSave"), frame);
            CmdSaveAs = NewCommandButton(QStringLiteral("CmdSaveAs"), frame);
            for (QWidget* w :
                 {static_cast<QWidget*>(CmdLeft), static_cast<QWidget*>(Cmdallleft),
                  static_cast<QWidget*>(CmdNewNewrecord), static_cast<QWidget*>(CmdNewOpen),
                  static_cast<QWidget*>(CmdNewSave), static_cast<QWidget*>(CmdSaveAs)})
                commands->addWidget(w);
        }
        commands->addStretch();
        finding->addWidget(Cmddelsim[list]);
        finding->addWidget(CmdNewRecord[list]);
        finding->addSpacing(8);
        finding->addWidget(LFind[list]);
        finding->addWidget(FindBox[list], 1);
        finding->addWidget(ComNext[list]);
        finding->addWidget(CmdPrint[list]);

        auto* frameLayout = new QVBoxLayout(frame);
        frameLayout->addLayout(commands);
        frameLayout->addWidget(grid_[list], 1);
        frameLayout->addLayout(finding);
        layout->addWidget(frame, 0, list == kSimList ? 0 : 1);

        connect(Cmddelsim[list], &QPushButton::clicked, this,
                [this, list] { Cmddelsim_Click(list); });
        connect(CmdNewRecord[list], &QPushButton::clicked, this,
                [this, list] { CmdNewRecord_Click(list); });
        connect(ComNext[list], &QPushButton::clicked, this, [this, list] { ComNext_Click(list); });
        connect(CmdPrint[list], &QPushButton::clicked, this,
                [this, list] { CmdPrint_Click(list); });
        connect(FindBox[list], &QLineEdit::returnPressed, this,
                [this, list] { FindBox_Enter(list); });
    }
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    CmdRight->setText(QStringLiteral(">"));
    Cmdallright->setText(QStringLiteral(">>"));
    CmdLeft->setText(QStringLiteral("<"));
    Cmdallleft->setText(QStringLiteral("<<"));
    // The arrows need little room; what they leave goes to the captions that grow with the
    // language.
    for (QPushButton* arrow : {CmdRight, Cmdallright, CmdLeft, Cmdallleft})
        arrow->setFixedWidth(arrow->fontMetrics().horizontalAdvance(QStringLiteral(">>")) * 2 + 16);
    connect(readButton_, &QPushButton::clicked, this, &RecordWindow::ReadCard_Click);
    connect(CmdSaveSim, &QPushButton::clicked, this, &RecordWindow::CmdSaveSim_Click);
    connect(CmdRight, &QPushButton::clicked, this, &RecordWindow::CmdRight_Click);
    connect(Cmdallright, &QPushButton::clicked, this, &RecordWindow::Cmdallright_Click);
    connect(CmdLeft, &QPushButton::clicked, this, &RecordWindow::CmdLeft_Click);
    connect(Cmdallleft, &QPushButton::clicked, this, &RecordWindow::Cmdallleft_Click);
    connect(CmdNewNewrecord, &QPushButton::clicked, this, &RecordWindow::CmdNewNewrecord_Click);
    connect(CmdNewOpen, &QPushButton::clicked, this, &RecordWindow::CmdNewOpen_Click);
    connect(CmdNewSave, &QPushButton::clicked, this, &RecordWindow::CmdNewSave_Click);
    connect(CmdSaveAs, &QPushButton::clicked, this, &RecordWindow::CmdSaveAs_Click);

    auto* status = new QHBoxLayout;
    ProgressBar1 = new QProgressBar(content_);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    Label1 = new QLabel(content_);
    Label1->setObjectName(QStringLiteral("Label1"));
    countLabel_ = new QLabel(content_);
    countLabel_->setObjectName(QLatin1String(kind_.countLabelName));
    nowLabel_ = new QLabel(content_);
    nowLabel_->setObjectName(QLatin1String(kind_.nowLabelName));
    // Ends the window's card run after the record in hand; Escape anywhere does the same (the
    // card gate takes it).
    CmdStop = NewCommandButton(QStringLiteral("CmdStop"), content_);
    CmdStop->setEnabled(false);
    connect(CmdStop, &QPushButton::clicked, this, &RecordWindow::CmdStop_Click);
    status->addWidget(CmdStop);
    status->addWidget(ProgressBar1, 1);
    status->addWidget(Label1);
    status->addWidget(countLabel_);
    status->addSpacing(12);
    status->addWidget(nowLabel_, 1);
    layout->addLayout(status, 1, 0, 1, 2);

    Text2 = new CellEditor(grid_[kComputerList]->viewport());
    Text2->hide();
    connect(Text2, &CellEditor::Edited, this, [this] {
        // The keystrokes of one stay of the editor in a cell are one undo step.
        const int list = editList_;
        if (list < 0)
            return;
        const ListState before = CaptureList(list);
        Text2_Change();
        RecordChange(list, before, editKey_);
    });
    connect(Text2, &CellEditor::KeyDown, this,
            [this](QKeyEvent* event, bool& handled) { handled = Text2_KeyDown(event); });
    connect(Text2, &CellEditor::KeyUp, this, [this](QKeyEvent* event) { Text2_KeyUp(event); });
    connect(Text2, &CellEditor::FocusLost, this, [this] { HideCellEditor(); });

    // The content never shrinks below what its captions need: a window smaller than that
    // scrolls instead of cutting them.
    content_->setMinimumHeight(360);
}

void RecordWindow::ChangeLanguage() {
    setWindowTitle(Text(kind_.captionId));
    Caption(readButton_, Text(MessageId::Read));
    Caption(CmdSaveSim, Text(MessageId::Write));
    Caption(CmdStop, Text(MessageId::Stop));
    Caption(CmdNewNewrecord, Text(MessageId::NewFile));
    Caption(CmdNewOpen, Text(MessageId::Open));
    Caption(CmdNewSave, Text(MessageId::Save));
    Caption(CmdSaveAs, Text(MessageId::SaveAs));
    for (int list : {kComputerList, kSimList}) {
        Caption(Cmddelsim[list], Text(MessageId::Delete));
        Caption(CmdNewRecord[list], Text(MessageId::New));
        Caption(LFind[list], Text(MessageId::FindLabel));
        CaptionFindBox(*FindBox[list], Language());
        Caption(ComNext[list], Text(MessageId::FindNext));
        Caption(CmdPrint[list], Text(MessageId::Print));
        SetUpColumns(list);
    }
    for (QPushButton* arrow : {CmdRight, Cmdallright, CmdLeft, Cmdallleft})
        arrow->setToolTip(arrow->text());
    Caption(Label1, Text(kind_.maxLabelId));
    SetTitle(kSimList, Text(kind_.simFrameTitleId));
    // A slot whose card content was never read must not look empty.
    model_[kSimList]->SetPlaceholder(kUnknownSlotTag, Text(MessageId::NotReadFromCard));
    SetTitle(kComputerList, files_.Title());
}

void RecordWindow::SetTitle(int list, const QString& title) {
    FRecord[list]->setTitle(title);
    FRecord[list]->setToolTip(title);
}

int RecordWindow::MinimumRowHeight() const {
    // The editor is one text line high; the row adds the padding of its kind.
    return fontMetrics().height() + 4 + Twips(kind_.rowPaddingTwips);
}

void RecordWindow::InitList(int list, int slotCount) {
    RecordList& records = List(list);
    if (slotCount != 0 && slotCount > records.Rows())
        records.SetRows(slotCount + 1);
    if (slotCount == 0)
        records.SetRows(2);
    records.SetColumns(kind_.columnCount);
    RenumberRows(records, records.LastSlot());
    SetUpColumns(list);
    grid_[list]->verticalHeader()->setDefaultSectionSize(MinimumRowHeight());
    grid_[list]->verticalHeader()->setMinimumSectionSize(MinimumRowHeight());
    ApplyColumnWidths(list);
    if (slotCount == 0)
        records.SetRows(1);
    if (records.Rows() >= 3)
        grid_[list]->SetCurrentCell(1, 1);
}

void RecordWindow::UpdateCardState() {
    // A count not read (no card, or the card did not give it) is not shown as 0.
    const int count = CardRecordCount();
    countLabel_->setText(count > 0 ? QString::number(count) : QStringLiteral("-"));
    const CardGate& gate = CurrentSession().Gate();
    const bool card = gate.CardPresent();
    // One card run at a time in the whole program.
    const bool idle = !busy_ && !gate.RunActive();
    readButton_->setEnabled(card && idle);
    CmdSaveSim->setEnabled(card && idle);
    CmdStop->setEnabled(busy_);
}

void RecordWindow::Form_Activate() {
    CurrentSession().CurrentWindow = kind_.windowIndex;
    files_.ShowMenuEntries();
    UpdateCardState();
}

void RecordWindow::Form_Deactivate() {
    CurrentSession().CurrentWindow = WindowIndex::None;
}

void RecordWindow::CardChanged() {
    UpdateCardState();
}

void RecordWindow::CardRunChanged() {
    UpdateCardState();
}

void RecordWindow::PrintRecords() {
    CmdPrint_Click(currentList_);
}

bool RecordWindow::AskAboutUnsavedWork() {
    if (busy_)
        return false;  // card work is never cut off
    return files_.KeepChanges() && KeepCardSideChanges();
}

bool RecordWindow::KeepCardSideChanges() {
    if (!CardSideModified())
        return true;
    HideCellEditor();
    switch (ShowMessage(CatalogueMessage(MessageId::CardEditsNotWrittenQuestion, Language(),
                                         DialogButtons::YesNoCancel, DialogIcon::Question))) {
        case DialogAnswer::Yes:
            // Written whole, or the window stays: a write that could not be done loses nothing.
            return Transfer(true, false) && !CardSideModified();
        case DialogAnswer::No:
            return true;
        default:
            return false;
    }
}

void RecordWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        // A transfer is yielding: the card work is never cut off.
        event->ignore();
        return;
    }
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    files_.Close();
    used_[kSimList] = 0;
    ChildWindow::closeEvent(event);
}

void RecordWindow::resizeEvent(QResizeEvent* event) {
    ChildWindow::resizeEvent(event);
    for (int list : {kComputerList, kSimList})
        ApplyColumnWidths(list);
    PlaceEditor();
}

}  // namespace pellucard
