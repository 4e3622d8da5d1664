// The record window's work inside its lists: the cell editor, keys and mouse, marking,
// copying, deleting, new slots, find, clipboard, print and export.
#include <QApplication>
#include <QClipboard>
#include <QCollator>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QUndoStack>

#include "records/dialog_seam.h"
#include "records/number_filter.h"
#include "records/record_copy.h"
#include "records/record_marks.h"
#include "records/record_slots.h"
#include "shell/print_records_dialog.h"
#include "shell/session.h"
#include "windows/cell_editor.h"
#include "windows/find_box.h"
#include "windows/number_hint.h"
#include "windows/record_exchange.h"
#include "windows/record_list_model.h"
#include "windows/record_window.h"

namespace pellucard {

namespace {

constexpr int kNumberLimit = 20;
constexpr int kNarrowestEditedWidth = 1;  // pixels
const QString kMark = QStringLiteral("1");

bool noModifier(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The names of the computer-side phone book list.
constexpr int kComputerNameLimit = 40;

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Bytes of a phone book record on the card last read; the usual length while it is not known.
int phoneRecordLengthOf(const CardInfo& info) {
    return info.PhoneRecordLength.value_or(CardInfo::kUsualPhoneRecordLength);
}

}  // namespace

// --- The cell editor ---

bool RecordWindow::editorOverCell() const {
    return editList_ >= 0 && (!cellEditor_->isHidden() || !choiceEditor_->isHidden());
}

QWidget* RecordWindow::openEditorWidget() const {
    const auto* delegate = editList_ >= 0
                               ? qobject_cast<CellEditorDelegate*>(grid_[editList_]->itemDelegate())
                               : nullptr;
    return delegate != nullptr ? delegate->openWidget() : cellEditor_;
}

void RecordWindow::setEditorLimit(int list, int column) {
    if (column == 1)
        cellEditor_->setLengthLimit(
            list == kComputerList
                ? kComputerNameLimit
                : std::max(phoneRecordLengthOf(currentSession().cardInfo()) - 14, 1));
    else
        cellEditor_->setLengthLimit(kNumberLimit + 1);
}

void RecordWindow::showCellEditor(int list) {
    if (listReadOnly(list))
        return;
    RecordTable* grid = grid_[list];
    const int row = grid->currentRow();
    const int column = grid->currentColumn();
    if (row < 1 || column < 1 || grid->isColumnHidden(column - 1) ||
        grid->columnWidth(column - 1) < kNarrowestEditedWidth)
        return;
    currentSession().yield();
    if (grid->currentRow() != row || grid->currentColumn() != column)
        return;  // the user moved on meanwhile
    {
        // Off the cell it was open over; the focus it loses on the way is no leaving.
        const QScopedValueRollback moving(movingEditor_, true);
        closeCellEditor();
    }
    // The list's delegate opens it and has loadCellEditor fill it.
    grid->openCellEditor(row, column);
    if (editList_ != list)
        return;
    placeEditor();
    QWidget* editor = openEditorWidget();
    editor->show();
    editor->raise();
    editor->setFocus(Qt::OtherFocusReason);
}

void RecordWindow::loadCellEditor(int list, int row, int column) {
    editList_ = list;
    editRow_ = row;
    editColumn_ = column;
    editKey_ = newEditKey();
    setEditorLimit(list, column);
    editorPlaced(list, row, column);
    cellEditor_->setText(cellEditorText(list, row, column));
    QPalette palette = cellEditor_->palette();
    palette.setColor(QPalette::Base,
                     model_[list]->IsMarked(row) ? model_[list]->MarkColour() : QColor(Qt::white));
    cellEditor_->setPalette(palette);
}

void RecordWindow::commitCellEditor(int list) {
    // The keystrokes of one stay of the editor in a cell are one undo step.
    if (list != editList_)
        return;
    const ListState before = captureList(list);
    editorTextChanged();
    recordChange(list, before, editKey_);
}

void RecordWindow::closeCellEditor() {
    const int list = editList_;
    editList_ = -1;
    if (list >= 0)
        grid_[list]->closeCellEditor();
    cellEditor_->hide();
    choiceEditor_->hide();
}

void RecordWindow::cancelCellChoice() {
    const int list = editList_;
    if (list < 0)
        return;
    hideCellEditor();
    grid_[list]->setFocus();
    // What this stay in the cell chose is one step on top of the history: taking it back
    // leaves the list, and whether it counts as changed, as before the cell was opened.
    const int top = history_->index() - 1;
    const auto* step =
        top >= 0 ? dynamic_cast<const ListChangeCommand*>(history_->command(top)) : nullptr;
    if (step != nullptr && step->mergeKey() == editKey_ && step->records() == list)
        history_->undo();
}

void RecordWindow::hideCellEditor() {
    closeCellEditor();
    onEditorHidden();
}

QString RecordWindow::cellEditorText(int list, int row, int column) {
    return recordList(list).Text(row, column);
}

void RecordWindow::editorPlaced(int, int, int) {
    cellEditor_->setMultiLine(false);
}

void RecordWindow::placeEditor() {
    if (editList_ >= 0)
        grid_[editList_]->placeCellEditor();
}

void RecordWindow::cellEdited(int list, int row) {
    if (list == kSimList)
        recordList(list).SetTag(row, 0);  // no longer the record read from the card
}

QString RecordWindow::filterNumberInEditor(const QString& text) {
    const FilteredNumber filtered = FilterNumber(text, kNumberLimit);
    cellEditor_->setLengthLimit(filtered.lengthLimit);
    if (filtered.text != text) {
        const int caret = cellEditor_->caretPosition();
        cellEditor_->setText(filtered.text);
        cellEditor_->setCaretPosition(filtered.text.size() < text.size() ? caret - 1 : caret);
    }
    if (filtered.invalidCharacter)
        showRefusedCharacterHint(*cellEditor_, host(), language());
    return filtered.text;
}

void RecordWindow::editorTextChanged() {
    const int list = editList_;
    if (list < 0)
        return;
    const int row = editRow_;
    const int column = editColumn_;
    RecordList& records = recordList(list);
    QString text = cellEditor_->text();
    if (text == records.Text(row, column))
        return;
    if (isNumberColumn(column)) {
        text = filterNumberInEditor(text);
        if (text == records.Text(row, column))
            return;
    }
    records.SetText(row, column, text);
    cellEdited(list, row);
    TrackLastUsedRow(records, used_[list], text, kind().fieldCount, row);
}

bool RecordWindow::editorKeyPressed(QKeyEvent* event) {
    const int list = editList_;
    if (list < 0 || !noModifier(event))
        return false;
    RecordTable* grid = grid_[list];
    const int row = editRow_;
    const int column = editColumn_;
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        const int target = event->key() == Qt::Key_Up ? row - 1 : row + 1;
        if (target < 1 || target > recordList(list).LastSlot())
            return true;
        hideCellEditor();
        grid->setCurrentCell(target, column);
        grid->scrollCellIntoView(target, column);
        grid->setFocus();
        return true;
    }
    if (isEnter(event)) {
        if (column == 1) {
            grid->setCurrentCell(row, 2);
        } else if (row < recordList(list).LastSlot()) {
            grid->setCurrentCell(row + 1, 1);
            grid->scrollCellIntoView(row + 1, 1);
        } else {
            newRecord(list);
            return true;
        }
        showCellEditor(list);
        return true;
    }
    return false;
}

void RecordWindow::editorKeyReleased(QKeyEvent* event) {
    const int list = editList_;
    if (list < 0 || !noModifier(event))
        return;
    const int column = editColumn_;
    if (event->key() == Qt::Key_Left && cellEditor_->caretPosition() == 0 && column > 1) {
        grid_[list]->setCurrentCell(editRow_, column - 1);
        showCellEditor(list);
        cellEditor_->setCaretPosition(cellEditor_->toPlainText().size());
    } else if (event->key() == Qt::Key_Right &&
               cellEditor_->caretPosition() == cellEditor_->toPlainText().size() && column < 2) {
        grid_[list]->setCurrentCell(editRow_, column + 1);
        showCellEditor(list);
    }
}

// --- Keys and mouse on the lists ---

bool RecordWindow::listKeyDown(int list, QKeyEvent* event) {
    currentList_ = list;
    RecordTable* grid = grid_[list];
    RecordList& records = recordList(list);
    const bool onCell = grid->currentRow() > 0 && grid->currentColumn() > 0;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier && onCell) {
        deleteRecordsOrCell(list);
        return true;
    }
    if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
            case Qt::Key_A: {
                int state = 2;
                CycleMarks(records, used_[list], kind().markColumn, kMark, state, 1);
                return true;
            }
            case Qt::Key_C:
                copyRecords(list);
                return true;
            case Qt::Key_V:
                pasteRecords(list);
                return true;
            default:
                return false;
        }
    }
    if (isEnter(event) && modifiers == Qt::NoModifier) {
        if (onCell)
            editCell(list);
        return true;
    }
    return false;
}

void RecordWindow::listKeyUp(int list, QKeyEvent* event) {
    currentList_ = list;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ShiftModifier ||
        (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down))
        return;
    const auto [first, last] = grid_[list]->selectedRows();
    if (first < 1)
        return;
    if (first == last)
        CycleMarks(recordList(list), first, kind().markColumn, kMark, markState_, first);
    else
        MarkRange(recordList(list), used_[list], kind().markColumn, kMark, 1, first, last, 0);
}

void RecordWindow::listCornerDown(int list) {
    currentList_ = list;
    hideCellEditor();
    CycleMarks(recordList(list), used_[list], kind().markColumn, kMark, markState_, 1);
}

void RecordWindow::listTitleDown(int list, int column, Qt::KeyboardModifiers modifiers) {
    currentList_ = list;
    if (modifiers != Qt::NoModifier || listReadOnly(list))
        return;
    hideCellEditor();
    markState_ = 0;
    const ListState before = captureList(list);
    const QCollator collator = ListCollator();
    SortRows(recordList(list), used_[list], sortState_[list], column, &collator);
    afterLoad(list);
    recordChange(list, before);
    // The header selected the whole column as it was pressed: only the current cell stays.
    RecordTable* grid = grid_[list];
    grid->selectionModel()->select(grid->currentIndex(), QItemSelectionModel::ClearAndSelect);
}

void RecordWindow::listSlotDown(int list) {
    currentList_ = list;
    pressRow_[list] = grid_[list]->currentRow();
    pressColumn_[list] = 0;
    hideCellEditor();
}

void RecordWindow::listCellDown(int list, int row, int column) {
    currentList_ = list;
    pressRow_[list] = row;
    pressColumn_[list] = column;
}

void RecordWindow::listSlotUp(int list, Qt::KeyboardModifiers modifiers) {
    currentList_ = list;
    if (modifiers & Qt::ControlModifier)
        return;
    markState_ = 0;
    const auto [first, last] = grid_[list]->selectedRows();
    if (first < 1)
        return;
    MarkRange(recordList(list), std::max(used_[list], last), kind().markColumn, kMark, 1, first,
              last, 0);
}

void RecordWindow::listCellUp(int list) {
    currentList_ = list;
    if (pressColumn_[list] > 0 && pressRow_[list] > 0)
        editCell(list);
}

void RecordWindow::listScrolled(int list) {
    const int width = grid_[list]->viewport()->width();
    if (gridWidth_[list] != width) {
        gridWidth_[list] = width;
        applyColumnWidths(list);
    }
    if (editList_ == list)
        placeEditor();
}

void RecordWindow::markNewRecords(int list, int firstRow, int lastRow) {
    if (list != kSimList)
        return;
    for (int row = firstRow; row <= lastRow; ++row)
        recordList(list).SetTag(row, 0);
}

// --- Copy, delete, new slot ---

void RecordWindow::copyMarkedToComputer() {
    copyMarkedTo(kComputerList);
}

void RecordWindow::copyMarkedToCard() {
    copyMarkedTo(kSimList);
}

void RecordWindow::copyAllToComputer() {
    copyAllTo(kComputerList);
}

void RecordWindow::copyAllToCard() {
    copyAllTo(kSimList);
}

void RecordWindow::copyMarkedTo(int target) {
    if (listReadOnly(target))
        return;
    const int source = target == kSimList ? kComputerList : kSimList;
    hideCellEditor();
    const ListState state = captureList(target);
    const int before = used_[target];
    CopyMarkedRows(recordList(source), used_[source], recordList(target), used_[target],
                   kind().markColumn, kMark, language());
    if (used_[target] != before) {
        markNewRecords(target, before + 1, used_[target]);
        afterLoad(target);
    }
    recordChange(target, state);
}

void RecordWindow::copyAllTo(int target) {
    if (listReadOnly(target))
        return;
    const int source = target == kSimList ? kComputerList : kSimList;
    hideCellEditor();
    if (used_[target] >= 1 && ShowMessage(CatalogueMessage(
                                  MessageId::OverwriteRecordQuestion, language(),
                                  DialogButtons::YesNo, DialogIcon::Question)) != DialogAnswer::Yes)
        return;
    const ListState state = captureList(target);
    CopyList(recordList(target), used_[target], recordList(source), used_[source],
             kind().columnCount - 1, kind().markColumn);
    markNewRecords(target, 1, recordList(target).LastSlot());
    afterLoad(target);
    recordChange(target, state);
}

void RecordWindow::deleteMarked(int list) {
    currentList_ = list;
    if (listReadOnly(list))
        return;
    // The question takes the focus from the editor: remember where it stood.
    const bool overCell = editorOverCell() && editList_ == list;
    const int row = editRow_;
    const int column = editColumn_;
    MessageRequest question = CatalogueMessage(MessageId::DeleteSelectedQuestion, language(),
                                               DialogButtons::YesNo, DialogIcon::Question);
    question.titleId = MessageId::DeleteRecord;
    question.title = text(MessageId::DeleteRecord);
    if (ShowMessage(question) != DialogAnswer::Yes)
        return;
    bool deleted = false;
    RecordList& records = recordList(list);
    const ListState state = captureList(list);
    if (!overCell) {
        if (ClearMarkedRows(records, used_[list], kind().markColumn, kMark)) {
            used_[list] = FindLastUsedRow(records, used_[list], kind().fieldCount);
            deleted = true;
            afterLoad(list);
        }
    } else if (!records.Text(row, column).isEmpty() || !cellEditor_->text().isEmpty()) {
        cellEditor_->setText({});
        records.SetText(row, column, {});
        cellEdited(list, row);
        TrackLastUsedRow(records, used_[list], {}, kind().fieldCount, row);
        deleted = true;
        afterLoad(list);
    }
    if (deleted)
        recordChange(list, state);
}

void RecordWindow::newRecord(int list) {
    currentList_ = list;
    if (listReadOnly(list))
        return;
    RecordList& records = recordList(list);
    RecordTable* grid = grid_[list];
    const int used = used_[list];
    const bool full = records.Rows() - 1 <= used;
    const bool mayGrow = list == kComputerList ? records.Rows() > kSlotCapacity
                                               : records.Rows() + 2 <= cardRecordCount();
    if (full && mayGrow) {
        const ListState state = captureList(list);
        records.SetRows(used + 2);
        RenumberRows(records, records.LastSlot());
        grid->verticalHeader()->resizeSection(used, minimumRowHeight());
        recordChange(list, state);
    }
    if (used + 1 < records.Rows() && grid->currentColumn() != 0) {
        hideCellEditor();
        grid->setCurrentCell(used + 1, 1);
        grid->scrollCellIntoView(used + 1, 1);
        editCell(list);
    }
}

// --- Find ---

void RecordWindow::findFromTop(int list) {
    currentList_ = list;
    if (used_[list] < 1) {
        reportNothingFound(host(), language());
        return;
    }
    find_[list] = FindState{0, 1, 0, 0};
    findNext(list);
}

void RecordWindow::findNext(int list) {
    currentList_ = list;
    const QString pattern = findBox_[list]->text();
    FindState& state = find_[list];
    int column = 0;
    const RecordList& searched = findList(list);
    // A column that repeats another's text is passed over; the bound keeps a list whose
    // only matches lie there from searching forever.
    for (int tries = 0; tries < 2 * recordList(list).Rows() * kind().columnCount && column == 0;
         ++tries) {
        if (!FindNextCellWrapping(searched, state, pattern, findLastColumn()))
            break;
        column = foundEditColumn(state.column);
    }
    if (column == 0) {
        reportNothingFound(host(), language());
        return;
    }
    RecordTable* grid = grid_[list];
    grid->setCurrentCell(state.row, column);
    grid->scrollCellToTopLeft(state.row, column);
    hideCellEditor();
    editCell(list);
    if (editorOverCell())
        cellEditor_->selectRange(state.position - 2, state.patternLength);
}

void RecordWindow::clearFindStates() {
    find_ = {};
}

// --- Print, export, import ---

QList<int> RecordWindow::printedColumns(int list) const {
    QList<int> columns;
    for (int column = 1; column < outputColumnCount(); ++column) {
        if (!grid_[list]->isColumnHidden(column - 1))
            columns.append(column);
    }
    return columns;
}

void RecordWindow::printList(int list) {
    hideCellEditor();
    PrintRecordsDialog form(dialogParent());
    form.changeLanguage(language());
    int used = 0;
    const RecordList& records = printedList(list, used);
    // The columns as the list shows them, with their titles: a column kept out of sight (the
    // SMS text as typed, the validity code) would print as an untitled copy of another.
    const QList<int> columns = printedColumns(list);
    RecordList printed(used + 1, static_cast<int>(columns.size()) + 1);
    QList<int> widths{grid_[list]->verticalHeader()->width()};
    for (int i = 0; i < columns.size(); ++i) {
        const int column = columns[i];
        widths.append(grid_[list]->columnWidth(column - 1));
        printed.SetText(0, i + 1, records.Text(0, column));
        for (int row = 1; row <= used; ++row)
            printed.SetText(row, i + 1, records.Text(row, printedTextColumn(column)));
    }
    for (int row = 1; row <= used; ++row)
        printed.SetText(row, 0, records.Text(row, 0));
    form.setRecords(printed, used, printed.Columns(), widths, windowTitle());
    RunModal(form);
}

const RecordList& RecordWindow::outputList(int list, int& used) {
    used = used_[list];
    return recordList(list);
}

void RecordWindow::exportText(QChar delimiter) {
    hideCellEditor();
    const ExportHook& hook = recordExportHook();
    if (!hook)
        return;
    ExportRequest request;
    request.list = &outputList(currentList_, request.usedCount);
    request.columnCount = outputColumnCount();
    request.columnWidths.append(grid_[currentList_]->verticalHeader()->width());
    for (int column = 1; column < outputColumnCount(); ++column)
        request.columnWidths.append(grid_[currentList_]->columnWidth(column - 1));
    request.delimiter = delimiter;
    request.parent = dialogParent();
    request.languageIndex = language();
    hook(request);
}

void RecordWindow::importText(QChar delimiter) {
    hideCellEditor();
    const ImportHook& hook = recordImportHook();
    if (!hook)
        return;
    const int list = currentList_;
    if (listReadOnly(list))
        return;
    const int before = used_[list];
    const ListState state = captureList(list);
    ImportRequest request;
    request.list = &recordList(list);
    request.usedCount = &used_[list];
    request.fieldColumnCount = kind().fieldCount;
    request.kindName = kind().exportKindName;
    request.nameFit = list == kComputerList
                          ? CharacterNameFit(kComputerNameLimit)
                          : CardNameFit(phoneRecordLengthOf(currentSession().cardInfo()) - 14);
    request.delimiter = delimiter;
    request.parent = dialogParent();
    request.languageIndex = language();
    for (int column = 1; column <= kind().fieldCount; ++column) {
        if (isNumberColumn(column))
            request.checks.numberColumns.append(column);
    }
    request.checks.fieldWidths = true;
    const bool imported = hook(request);
    if (imported) {
        markNewRecords(list, before + 1, used_[list]);
        afterLoad(list);
    }
    // A refused or cancelled import may still have changed the list on its way.
    recordChange(list, state);
}

void RecordWindow::usedCountOfCurrentList(int& count, int& list) const {
    count = used_[currentList_];
    list = currentList_;
}

void RecordWindow::setUsedCountOfCurrentList(int count) {
    used_[currentList_] = count;
}

}  // namespace pellucard
