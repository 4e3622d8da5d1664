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
#include "windows/wrapping_row.h"

namespace pellucard {

namespace {

QString indexed(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

}  // namespace

RecordWindow::RecordWindow(const RecordWindowKind& kind, ShellHost& host, QWidget* parent)
    : ChildWindow(kind.windowIndex, host, parent),
      kind_(kind),
      files_(*this, host, *kind.file, kind.windowIndex, kSlotCapacity) {
    history_ = new QUndoStack(this);
    buildWidgets();
    files_.setSaveButton(saveFileButton_);
    // The card's record count shows in every record window, the active one or not.
    connect(&host.currentSession(), &Session::cardInfoChanged, this,
            &RecordWindow::updateCardState);
}

void RecordWindow::setUpWindow() {
    changeLanguage();
    for (int list : {kComputerList, kSimList})
        initList(list, kSlotCapacity);
    // Nothing has been read from the card yet: a write leaves every slot the user did not fill.
    for (int row = 1; row < recordList(kSimList).Rows(); ++row)
        recordList(kSimList).SetTag(row, kUnknownSlotTag);
    files_.showMenuEntries();
    updateCardState();
    // Every window opens with a new untitled computer list.
    if (files_.file().isEmpty())
        files_.newDocument();
}

RecordWindow::~RecordWindow() {
    // Hidden while it is still a record window: hiding a scrolled list scrolls it, and the list
    // reports that to this window, which must not have been taken apart yet.
    hide();
}

int RecordWindow::language() const {
    return const_cast<RecordWindow*>(this)->currentSession().languageIndex();
}

QString RecordWindow::text(MessageId id) const {
    return Message(id, language());
}

RecordList& RecordWindow::recordList(int list) {
    return model_[list]->List();
}

QWidget* RecordWindow::dialogParent() {
    return host().mainWidget();
}

void RecordWindow::buildWidgets() {
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setObjectName(QStringLiteral("scrollArea"));
    scrollArea_->setWidgetResizable(true);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    content_ = new QWidget;
    scrollArea_->setWidget(content_);
    // The scroll bars that move the content when the window is smaller than its design; the
    // SMS window's validityPicker_ is its validity picker.
    scrollArea_->horizontalScrollBar()->setObjectName(kind_.windowIndex == WindowIndex::Sms
                                                          ? QStringLiteral("HScroll2")
                                                          : QStringLiteral("validityPicker"));
    scrollArea_->verticalScrollBar()->setObjectName(QStringLiteral("verticalScrollBar"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scrollArea_);

    auto* layout = new QGridLayout(content_);
    WrappingRow* commandRows[2] = {};
    WrappingRow* findingRows[2] = {};
    for (int list : {kSimList, kComputerList}) {
        auto* frame = new QGroupBox(content_);
        frame->setObjectName(indexed("listFrame", list));
        listFrame_[list] = frame;
        model_[list] = new RecordListModel(kSlotCapacity + 1, kind_.columnCount, this);
        model_[list]->SetMarkColumn(kind_.markColumn);
        grid_[list] = new RecordTable(list, *this, frame);
        grid_[list]->setModel(model_[list]);

        deleteButton_[list] = newCommandButton(indexed("deleteButton", list), frame);
        newRecordButton_[list] = newCommandButton(indexed("newRecordButton", list), frame);
        findLabel_[list] = new QLabel(frame);
        findLabel_[list]->setObjectName(indexed("findLabel", list));
        findBox_[list] = new QLineEdit(frame);
        findBox_[list]->setObjectName(indexed("findBox", list));
        sizeFindBox(*findBox_[list]);
        findNextButton_[list] = newCommandButton(indexed("findNextButton", list), frame);
        printButton_[list] = newCommandButton(indexed("printButton", list), frame);

        // Both rows wrap where the list's half of the window cannot hold their captions.
        auto* commands = new WrappingRow;
        auto* finding = new WrappingRow;
        commandRows[list] = commands;
        findingRows[list] = finding;
        if (list == kSimList) {
            readButton_ = newCommandButton(QLatin1String(kind_.readButtonObjectName), frame);
            writeButton_ = newCommandButton(QStringLiteral("writeButton"), frame);
            copyToComputerButton_ = newCommandButton(QStringLiteral("copyToComputerButton"), frame);
            copyAllToComputerButton_ =
                newCommandButton(QStringLiteral("copyAllToComputerButton"), frame);
            for (QWidget* w :
                 {static_cast<QWidget*>(readButton_), static_cast<QWidget*>(writeButton_),
                  static_cast<QWidget*>(copyToComputerButton_),
                  static_cast<QWidget*>(copyAllToComputerButton_)})
                commands->addWidget(w);
        } else {
            copyToCardButton_ = newCommandButton(QStringLiteral("copyToCardButton"), frame);
            copyAllToCardButton_ = newCommandButton(QStringLiteral("copyAllToCardButton"), frame);
            newFileButton_ = newCommandButton(QStringLiteral("newFileButton"), frame);
            openFileButton_ = newCommandButton(QStringLiteral("openFileButton"), frame);
            saveFileButton_ = newCommandButton(QStringLiteral("saveFileButton"), frame);
            saveAsButton_ = newCommandButton(QStringLiteral("saveAsButton"), frame);
            for (QWidget* w :
                 {static_cast<QWidget*>(copyToCardButton_),
                  static_cast<QWidget*>(copyAllToCardButton_),
                  static_cast<QWidget*>(newFileButton_), static_cast<QWidget*>(openFileButton_),
                  static_cast<QWidget*>(saveFileButton_), static_cast<QWidget*>(saveAsButton_)})
                commands->addWidget(w);
        }
        finding->addWidget(deleteButton_[list]);
        finding->addWidget(newRecordButton_[list]);
        // The find caption, its box and Find Next stay on one line.
        auto* find = new QHBoxLayout;
        find->setContentsMargins(8, 0, 0, 0);
        find->addWidget(findLabel_[list]);
        find->addWidget(findBox_[list], 1);
        find->addWidget(findNextButton_[list]);
        finding->addGroup(find, 1);
        finding->addWidget(printButton_[list]);

        auto* frameLayout = new QVBoxLayout(frame);
        frameLayout->addLayout(commands);
        frameLayout->addWidget(grid_[list], 1);
        frameLayout->addLayout(finding);
        layout->addWidget(frame, 0, list == kSimList ? 0 : 1);

        connect(deleteButton_[list], &QPushButton::clicked, this,
                [this, list] { deleteMarked(list); });
        connect(newRecordButton_[list], &QPushButton::clicked, this,
                [this, list] { newRecord(list); });
        connect(findNextButton_[list], &QPushButton::clicked, this,
                [this, list] { findNext(list); });
        connect(printButton_[list], &QPushButton::clicked, this, [this, list] { printList(list); });
        connect(findBox_[list], &QLineEdit::returnPressed, this,
                [this, list] { findFromTop(list); });
    }
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    // The two lists stay level when one side's buttons wrap and the other's do not.
    commandRows[kSimList]->alignWith(commandRows[kComputerList]);
    findingRows[kSimList]->alignWith(findingRows[kComputerList]);

    copyToComputerButton_->setText(QStringLiteral(">"));
    copyAllToComputerButton_->setText(QStringLiteral(">>"));
    copyToCardButton_->setText(QStringLiteral("<"));
    copyAllToCardButton_->setText(QStringLiteral("<<"));
    // The arrows need little room; what they leave goes to the captions that grow with the
    // language.
    for (QPushButton* arrow :
         {copyToComputerButton_, copyAllToComputerButton_, copyToCardButton_, copyAllToCardButton_})
        arrow->setFixedWidth(arrow->fontMetrics().horizontalAdvance(QStringLiteral(">>")) * 2 + 16);
    connect(readButton_, &QPushButton::clicked, this, &RecordWindow::readCard);
    connect(writeButton_, &QPushButton::clicked, this, &RecordWindow::writeToCard);
    connect(copyToComputerButton_, &QPushButton::clicked, this,
            &RecordWindow::copyMarkedToComputer);
    connect(copyAllToComputerButton_, &QPushButton::clicked, this,
            &RecordWindow::copyAllToComputer);
    connect(copyToCardButton_, &QPushButton::clicked, this, &RecordWindow::copyMarkedToCard);
    connect(copyAllToCardButton_, &QPushButton::clicked, this, &RecordWindow::copyAllToCard);
    connect(newFileButton_, &QPushButton::clicked, this, &RecordWindow::newFile);
    connect(openFileButton_, &QPushButton::clicked, this, &RecordWindow::openFile);
    connect(saveFileButton_, &QPushButton::clicked, this, &RecordWindow::saveFile);
    connect(saveAsButton_, &QPushButton::clicked, this, &RecordWindow::saveFileAs);

    auto* status = new QHBoxLayout;
    progressBar_ = new QProgressBar(content_);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setTextVisible(false);
    progressBar_->setValue(0);
    countCaption_ = new QLabel(content_);
    countCaption_->setObjectName(QStringLiteral("countCaption"));
    countLabel_ = new QLabel(content_);
    countLabel_->setObjectName(QLatin1String(kind_.countLabelObjectName));
    nowLabel_ = new QLabel(content_);
    nowLabel_->setObjectName(QLatin1String(kind_.lastReadLabelObjectName));
    // What a run did can be a long sentence: it takes two lines rather than the screen's width.
    nowLabel_->setWordWrap(true);
    // Ends the window's card run after the record in hand; Escape anywhere does the same (the
    // card gate takes it).
    stopButton_ = newCommandButton(QStringLiteral("stopButton"), content_);
    stopButton_->setEnabled(false);
    connect(stopButton_, &QPushButton::clicked, this, &RecordWindow::stopCardRun);
    status->addWidget(stopButton_);
    status->addWidget(progressBar_, 1);
    status->addWidget(countCaption_);
    status->addWidget(countLabel_);
    status->addSpacing(12);
    status->addWidget(nowLabel_, 1);
    layout->addLayout(status, 1, 0, 1, 2);

    cellEditor_ = new CellEditor(grid_[kComputerList]->viewport());
    cellEditor_->hide();
    choiceEditor_ = new CellChoiceEditor(grid_[kComputerList]->viewport());
    choiceEditor_->hide();
    for (int list : {kComputerList, kSimList})
        grid_[list]->setItemDelegate(
            new CellEditorDelegate(list, *cellEditor_, *choiceEditor_, *this, grid_[list]));
    connect(cellEditor_, &CellEditor::keyDown, this,
            [this](QKeyEvent* event, bool& handled) { handled = editorKeyPressed(event); });
    connect(cellEditor_, &CellEditor::keyUp, this,
            [this](QKeyEvent* event) { editorKeyReleased(event); });
    connect(cellEditor_, &CellEditor::focusLost, this, [this] {
        if (!movingEditor_)
            hideCellEditor();
    });
    connect(choiceEditor_, &CellChoiceEditor::keyDown, this,
            [this](QKeyEvent* event, bool& handled) { handled = editorKeyPressed(event); });
    connect(choiceEditor_, &CellChoiceEditor::cancelled, this, &RecordWindow::cancelCellChoice);
    connect(choiceEditor_, &CellChoiceEditor::focusLost, this, [this] {
        if (!movingEditor_)
            hideCellEditor();
    });

    // The content never shrinks below what its captions need: a window smaller than that
    // scrolls instead of cutting them.
    content_->setMinimumHeight(360);
}

void RecordWindow::changeLanguage() {
    setWindowTitle(text(kind_.captionId));
    caption(readButton_, text(MessageId::Read));
    caption(writeButton_, text(MessageId::Write));
    caption(stopButton_, text(MessageId::Stop));
    caption(newFileButton_, text(MessageId::NewFile));
    caption(openFileButton_, text(MessageId::Open));
    caption(saveFileButton_, text(MessageId::Save));
    caption(saveAsButton_, text(MessageId::SaveAs));
    for (int list : {kComputerList, kSimList}) {
        caption(deleteButton_[list], text(MessageId::Delete));
        caption(newRecordButton_[list], text(MessageId::New));
        caption(findLabel_[list], text(MessageId::FindLabel));
        captionFindBox(*findBox_[list], language());
        caption(findNextButton_[list], text(MessageId::FindNext));
        caption(printButton_[list], text(MessageId::Print));
        setUpColumns(list);
    }
    for (QPushButton* arrow :
         {copyToComputerButton_, copyAllToComputerButton_, copyToCardButton_, copyAllToCardButton_})
        arrow->setToolTip(arrow->text());
    caption(countCaption_, text(kind_.maxLabelId));
    setTitle(kSimList, text(kind_.simFrameTitleId));
    // A slot whose card content was never read must not look empty.
    model_[kSimList]->SetPlaceholder(kUnknownSlotTag, text(MessageId::NotReadFromCard));
    setTitle(kComputerList, files_.title());
}

void RecordWindow::setTitle(int list, const QString& title) {
    listFrame_[list]->setTitle(title);
    listFrame_[list]->setToolTip(title);
}

int RecordWindow::minimumRowHeight() const {
    // The editor is one text line high; the row adds the padding of its kind.
    return fontMetrics().height() + 4 + kind_.rowPadding;
}

void RecordWindow::initList(int list, int slotCount) {
    RecordList& records = recordList(list);
    if (slotCount != 0 && slotCount > records.Rows())
        records.SetRows(slotCount + 1);
    if (slotCount == 0)
        records.SetRows(2);
    records.SetColumns(kind_.columnCount);
    RenumberRows(records, records.LastSlot());
    setUpColumns(list);
    grid_[list]->verticalHeader()->setDefaultSectionSize(minimumRowHeight());
    grid_[list]->verticalHeader()->setMinimumSectionSize(minimumRowHeight());
    applyColumnWidths(list);
    if (slotCount == 0)
        records.SetRows(1);
    if (records.Rows() >= 3)
        grid_[list]->setCurrentCell(1, 1);
}

void RecordWindow::updateCardState() {
    // A count not read (no card, or the card did not give it) is not shown as 0.
    const int count = cardRecordCount();
    countLabel_->setText(count > 0 ? QString::number(count) : QStringLiteral("-"));
    const CardGate& gate = currentSession().gate();
    const bool card = gate.cardPresent();
    // One card run at a time in the whole program.
    const bool idle = !busy_ && !gate.runActive();
    readButton_->setEnabled(card && idle);
    writeButton_->setEnabled(card && idle && !listReadOnly(kSimList));
    stopButton_->setEnabled(busy_);
}

void RecordWindow::activate() {
    currentSession().setCurrentWindow(kind_.windowIndex);
    files_.showMenuEntries();
    updateCardState();
}

void RecordWindow::deactivate() {
    currentSession().setCurrentWindow(WindowIndex::None);
}

void RecordWindow::cardChanged() {
    updateCardState();
}

void RecordWindow::cardRunChanged() {
    updateCardState();
}

void RecordWindow::printRecords() {
    printList(currentList_);
}

bool RecordWindow::askAboutUnsavedWork() {
    if (busy_)
        return false;  // card work is never cut off
    return files_.keepChanges() && keepCardSideChanges();
}

bool RecordWindow::keepCardSideChanges() {
    if (!cardSideModified())
        return true;
    hideCellEditor();
    MessageRequest question = CatalogueMessage(MessageId::CardEditsNotWrittenQuestion, language(),
                                               DialogButtons::YesNoCancel, DialogIcon::Question);
    question.title = windowTitle();  // which window's card-side list
    switch (ShowMessage(question)) {
        case DialogAnswer::Yes:
            // Written whole, or the window stays: a write that could not be done loses nothing.
            return transfer(true, false) && !cardSideModified();
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
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    files_.close();
    used_[kSimList] = 0;
    ChildWindow::closeEvent(event);
}

void RecordWindow::resizeEvent(QResizeEvent* event) {
    ChildWindow::resizeEvent(event);
    for (int list : {kComputerList, kSimList})
        applyColumnWidths(list);
    placeEditor();
}

}  // namespace pellucard
