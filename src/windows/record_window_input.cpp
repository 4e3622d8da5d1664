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

#include "records/dialog_seam.h"
#include "records/number_filter.h"
#include "records/record_copy.h"
#include "records/record_marks.h"
#include "records/record_slots.h"
#include "shell/printer_form.h"
#include "shell/session.h"
#include "windows/cell_editor.h"
#include "windows/find_box.h"
#include "windows/number_hint.h"
#include "windows/print_hook.h"
#include "windows/record_exchange.h"
#include "windows/record_list_model.h"
#include "windows/record_window.h"

namespace pellucard {

namespace {

constexpr int kNumberLimit = 20;
constexpr int kNarrowestEditedTwips = 10;
const QString kMark = QStringLiteral("1");

bool NoModifier(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The names of the computer-side phone book list.
constexpr int kComputerNameLimit = 40;

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

// --- The cell editor ---

bool RecordWindow::EditorOverCell() const {
    return editList_ >= 0 && !Text2->isHidden();
}

void RecordWindow::SetEditorLimit(int list, int column) {
    if (column == 1)
        Text2->SetLengthLimit(list == kComputerList
                                  ? kComputerNameLimit
                                  : std::max(CurrentSession().CardInfo.PhoneRecordLength - 14, 1));
    else
        Text2->SetLengthLimit(kNumberLimit + 1);
}

void RecordWindow::ShowCellEditor(int list, bool show) {
    RecordTable* grid = grid_[list];
    const int row = grid->CurrentRow();
    const int column = grid->CurrentColumn();
    if (row < 1 || column < 1 || grid->isColumnHidden(column - 1) ||
        grid->columnWidth(column - 1) < Twips(kNarrowestEditedTwips))
        return;
    CurrentSession().Yield();
    if (grid->CurrentRow() != row || grid->CurrentColumn() != column)
        return;  // the user moved on meanwhile
    if (Text2->parentWidget() != grid->viewport())
        Text2->setParent(grid->viewport());
    editList_ = list;
    editRow_ = row;
    editColumn_ = column;
    editKey_ = NewEditKey();
    SetEditorLimit(list, column);
    EditorPlaced(list, row, column);
    Text2->SetText(CellEditorText(list, row, column));
    QPalette palette = Text2->palette();
    palette.setColor(QPalette::Base,
                     model_[list]->IsMarked(row) ? model_[list]->MarkColour() : QColor(Qt::white));
    Text2->setPalette(palette);
    PlaceEditor();
    if (show) {
        Text2->show();
        Text2->raise();
        Text2->setFocus(Qt::OtherFocusReason);
    }
}

void RecordWindow::HideCellEditor() {
    editList_ = -1;
    Text2->hide();
    OnEditorHidden();
}

QString RecordWindow::CellEditorText(int list, int row, int column) {
    return List(list).Text(row, column);
}

void RecordWindow::EditorPlaced(int, int, int) {
    Text2->SetMultiLine(false);
}

void RecordWindow::PlaceEditor() {
    if (editList_ < 0)
        return;
    RecordTable* grid = grid_[editList_];
    const QRect cell = grid->CellRect(editRow_, editColumn_);
    if (cell.isEmpty() || !grid->viewport()->rect().intersects(cell)) {
        Text2->hide();  // follows its cell back when the list scrolls it into view
        return;
    }
    Text2->setGeometry(cell);
    if (Text2->isHidden() && Text2->hasFocus() == false && editList_ >= 0 &&
        grid->viewport()->rect().intersects(cell))
        Text2->show();
}

void RecordWindow::CellEdited(int list, int row) {
    if (list == kSimList)
        List(list).SetTag(row, 0);  // no longer the record read from the card
}

QString RecordWindow::FilterNumberInEditor(const QString& text) {
    const FilteredNumber filtered = FilterNumber(text, kNumberLimit);
    Text2->SetLengthLimit(filtered.lengthLimit);
    if (filtered.text != text) {
        const int caret = Text2->CaretPosition();
        Text2->SetText(filtered.text);
        Text2->SetCaretPosition(filtered.text.size() < text.size() ? caret - 1 : caret);
    }
    if (filtered.invalidCharacter)
        ShowRefusedCharacterHint(*Text2, Host(), Language());
    return filtered.text;
}

void RecordWindow::Text2_Change() {
    const int list = editList_;
    if (list < 0)
        return;
    const int row = editRow_;
    const int column = editColumn_;
    RecordList& records = List(list);
    QString text = Text2->Text();
    if (text == records.Text(row, column))
        return;
    if (IsNumberColumn(column)) {
        text = FilterNumberInEditor(text);
        if (text == records.Text(row, column))
            return;
    }
    records.SetText(row, column, text);
    CellEdited(list, row);
    TrackLastUsedRow(records, used_[list], text, Kind().fieldCount, row);
}

bool RecordWindow::Text2_KeyDown(QKeyEvent* event) {
    const int list = editList_;
    if (list < 0 || !NoModifier(event))
        return false;
    RecordTable* grid = grid_[list];
    const int row = editRow_;
    const int column = editColumn_;
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        const int target = event->key() == Qt::Key_Up ? row - 1 : row + 1;
        if (target < 1 || target > List(list).LastSlot())
            return true;
        HideCellEditor();
        grid->SetCurrentCell(target, column);
        grid->ScrollCellIntoView(target, column);
        grid->setFocus();
        return true;
    }
    if (IsEnter(event)) {
        if (column == 1) {
            grid->SetCurrentCell(row, 2);
        } else if (row < List(list).LastSlot()) {
            grid->SetCurrentCell(row + 1, 1);
            grid->ScrollCellIntoView(row + 1, 1);
        } else {
            CmdNewRecord_Click(list);
            return true;
        }
        ShowCellEditor(list);
        return true;
    }
    return false;
}

void RecordWindow::Text2_KeyUp(QKeyEvent* event) {
    const int list = editList_;
    if (list < 0 || !NoModifier(event))
        return;
    const int column = editColumn_;
    if (event->key() == Qt::Key_Left && Text2->CaretPosition() == 0 && column > 1) {
        grid_[list]->SetCurrentCell(editRow_, column - 1);
        ShowCellEditor(list);
        Text2->SetCaretPosition(Text2->toPlainText().size());
    } else if (event->key() == Qt::Key_Right &&
               Text2->CaretPosition() == Text2->toPlainText().size() && column < 2) {
        grid_[list]->SetCurrentCell(editRow_, column + 1);
        ShowCellEditor(list);
    }
}

// --- Keys and mouse on the lists ---

bool RecordWindow::ListKeyDown(int list, QKeyEvent* event) {
    currentList_ = list;
    RecordTable* grid = grid_[list];
    RecordList& records = List(list);
    const bool onCell = grid->CurrentRow() > 0 && grid->CurrentColumn() > 0;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier && onCell) {
        Cmddelsim_Click(list);
        return true;
    }
    if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
            case Qt::Key_A: {
                int state = 2;
                CycleMarks(records, used_[list], Kind().markColumn, kMark, state, 1);
                return true;
            }
            case Qt::Key_C:
                QApplication::clipboard()->clear();
                QApplication::clipboard()->setText(ClipboardText(list));
                return true;
            case Qt::Key_V:
                if (used_[list] < records.Rows() - 1) {
                    const ListState state = CaptureList(list);
                    const int before = used_[list];
                    DisplayInGrid(list, QApplication::clipboard()->text(), used_[list]);
                    // Pasted rows follow the rule of copying marked rows.
                    DropPastedDuplicates(records, before + 1, used_[list], Kind().markColumn,
                                         Language());
                    if (used_[list] != before) {
                        MarkNewRecords(list, before + 1, used_[list]);
                        AfterLoad(list);
                    }
                    RecordChange(list, state);
                }
                return true;
            default:
                return false;
        }
    }
    if (IsEnter(event) && modifiers == Qt::NoModifier) {
        if (onCell)
            EditCell(list);
        return true;
    }
    return false;
}

void RecordWindow::ListKeyUp(int list, QKeyEvent* event) {
    currentList_ = list;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ShiftModifier ||
        (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down))
        return;
    const auto [first, last] = grid_[list]->SelectedRows();
    if (first < 1)
        return;
    if (first == last)
        CycleMarks(List(list), first, Kind().markColumn, kMark, markState_, first);
    else
        MarkRange(List(list), used_[list], Kind().markColumn, kMark, 1, first, last, 0);
}

void RecordWindow::ListCornerDown(int list) {
    currentList_ = list;
    HideCellEditor();
    CycleMarks(List(list), used_[list], Kind().markColumn, kMark, markState_, 1);
}

void RecordWindow::ListTitleDown(int list, int column, Qt::KeyboardModifiers modifiers) {
    currentList_ = list;
    if (modifiers != Qt::NoModifier)
        return;
    HideCellEditor();
    markState_ = 0;
    const ListState before = CaptureList(list);
    const QCollator collator = ListCollator();
    SortRows(List(list), used_[list], sortState_[list], column, &collator);
    AfterLoad(list);
    RecordChange(list, before);
    // The header selected the whole column as it was pressed: only the current cell stays.
    RecordTable* grid = grid_[list];
    grid->selectionModel()->select(grid->currentIndex(), QItemSelectionModel::ClearAndSelect);
}

void RecordWindow::ListSlotDown(int list) {
    currentList_ = list;
    pressRow_[list] = grid_[list]->CurrentRow();
    pressColumn_[list] = 0;
    HideCellEditor();
}

void RecordWindow::ListCellDown(int list, int row, int column) {
    currentList_ = list;
    pressRow_[list] = row;
    pressColumn_[list] = column;
}

void RecordWindow::ListSlotUp(int list, Qt::KeyboardModifiers modifiers) {
    currentList_ = list;
    if (modifiers & Qt::ControlModifier)
        return;
    markState_ = 0;
    const auto [first, last] = grid_[list]->SelectedRows();
    if (first < 1)
        return;
    MarkRange(List(list), std::max(used_[list], last), Kind().markColumn, kMark, 1, first, last, 0);
}

void RecordWindow::ListCellUp(int list) {
    currentList_ = list;
    if (pressColumn_[list] > 0 && pressRow_[list] > 0)
        EditCell(list);
}

void RecordWindow::ListScrolled(int list) {
    const int width = grid_[list]->viewport()->width();
    if (gridWidth_[list] != width) {
        gridWidth_[list] = width;
        ApplyColumnWidths(list);
    }
    if (editList_ == list)
        PlaceEditor();
}

void RecordWindow::MarkNewRecords(int list, int firstRow, int lastRow) {
    if (list != kSimList)
        return;
    for (int row = firstRow; row <= lastRow; ++row)
        List(list).SetTag(row, 0);
}

// --- Copy, delete, new slot ---

void RecordWindow::CmdRight_Click() {
    CopyMarkedTo(kComputerList);
}

void RecordWindow::CmdLeft_Click() {
    CopyMarkedTo(kSimList);
}

void RecordWindow::Cmdallright_Click() {
    CopyAllTo(kComputerList);
}

void RecordWindow::Cmdallleft_Click() {
    CopyAllTo(kSimList);
}

void RecordWindow::CopyMarkedTo(int target) {
    const int source = target == kSimList ? kComputerList : kSimList;
    HideCellEditor();
    const ListState state = CaptureList(target);
    const int before = used_[target];
    CopyMarkedRows(List(source), used_[source], List(target), used_[target], Kind().markColumn,
                   kMark, Language());
    if (used_[target] != before) {
        MarkNewRecords(target, before + 1, used_[target]);
        AfterLoad(target);
    }
    RecordChange(target, state);
}

void RecordWindow::CopyAllTo(int target) {
    const int source = target == kSimList ? kComputerList : kSimList;
    HideCellEditor();
    if (used_[target] >= 1 && ShowMessage(CatalogueMessage(
                                  MessageId::OverwriteRecordQuestion, Language(),
                                  DialogButtons::YesNo, DialogIcon::Question)) != DialogAnswer::Yes)
        return;
    const ListState state = CaptureList(target);
    CopyList(List(target), used_[target], List(source), used_[source], Kind().columnCount - 2);
    MarkNewRecords(target, 1, List(target).LastSlot());
    AfterLoad(target);
    RecordChange(target, state);
}

void RecordWindow::Cmddelsim_Click(int list) {
    currentList_ = list;
    // The question takes the focus from the editor: remember where it stood.
    const bool overCell = EditorOverCell() && editList_ == list;
    const int row = editRow_;
    const int column = editColumn_;
    MessageRequest question = CatalogueMessage(MessageId::DeleteSelectedQuestion, Language(),
                                               DialogButtons::YesNo, DialogIcon::Question);
    question.titleId = MessageId::DeleteRecord;
    question.title = Text(MessageId::DeleteRecord);
    if (ShowMessage(question) != DialogAnswer::Yes)
        return;
    bool deleted = false;
    RecordList& records = List(list);
    const ListState state = CaptureList(list);
    if (!overCell) {
        if (ClearMarkedRows(records, used_[list], Kind().markColumn, kMark)) {
            used_[list] = FindLastUsedRow(records, used_[list], Kind().fieldCount);
            deleted = true;
            AfterLoad(list);
        }
    } else if (!records.Text(row, column).isEmpty() || !Text2->Text().isEmpty()) {
        Text2->SetText({});
        records.SetText(row, column, {});
        CellEdited(list, row);
        TrackLastUsedRow(records, used_[list], {}, Kind().fieldCount, row);
        deleted = true;
        AfterLoad(list);
    }
    if (deleted)
        RecordChange(list, state);
}

void RecordWindow::CmdNewRecord_Click(int list) {
    currentList_ = list;
    RecordList& records = List(list);
    RecordTable* grid = grid_[list];
    const int used = used_[list];
    const bool full = records.Rows() - 1 <= used;
    const bool mayGrow = list == kComputerList ? records.Rows() > kSlotCapacity
                                               : records.Rows() + 2 <= CardRecordCount();
    if (full && mayGrow) {
        const ListState state = CaptureList(list);
        records.SetRows(used + 2);
        RenumberRows(records, records.LastSlot());
        grid->verticalHeader()->resizeSection(used, MinimumRowHeight());
        RecordChange(list, state);
    }
    if (used + 1 < records.Rows() && grid->CurrentColumn() != 0) {
        HideCellEditor();
        grid->SetCurrentCell(used + 1, 1);
        grid->ScrollCellIntoView(used + 1, 1);
        EditCell(list);
    }
}

// --- Find ---

void RecordWindow::FindBox_Enter(int list) {
    currentList_ = list;
    if (used_[list] < 1) {
        ReportNothingFound(Host(), Language());
        return;
    }
    find_[list] = FindState{0, 1, 0, 0};
    ComNext_Click(list);
}

void RecordWindow::ComNext_Click(int list) {
    currentList_ = list;
    const QString pattern = FindBox[list]->text();
    FindState& state = find_[list];
    int column = 0;
    // A column that repeats another's text is passed over; the bound keeps a list whose
    // only matches lie there from searching forever.
    for (int tries = 0; tries < 2 * List(list).Rows() * Kind().columnCount && column == 0;
         ++tries) {
        if (!FindNextCellWrapping(List(list), state, pattern, FindLastColumn()))
            break;
        column = FoundEditColumn(state.column);
    }
    if (column == 0) {
        ReportNothingFound(Host(), Language());
        return;
    }
    RecordTable* grid = grid_[list];
    grid->SetCurrentCell(state.row, column);
    grid->ScrollCellToTopLeft(state.row, column);
    HideCellEditor();
    EditCell(list);
    if (EditorOverCell())
        Text2->SelectRange(state.position - 2, state.patternLength);
}

void RecordWindow::ClearFindStates() {
    find_ = {};
}

// --- Print, export, import ---

void RecordWindow::CmdPrint_Click(int list) {
    HideCellEditor();
    PrinterForm form(DialogParent());
    form.ChangeLanguage(Language());
    QList<int> widths{grid_[list]->verticalHeader()->width()};
    for (int column = 1; column < OutputColumnCount(); ++column)
        widths.append(
            grid_[list]->isColumnHidden(column - 1) ? 0 : grid_[list]->columnWidth(column - 1));
    int used = 0;
    const RecordList& records = OutputList(list, used);
    form.SetRecords(records, used, OutputColumnCount(), widths, windowTitle());
    RunPrintDialog(form);
}

const RecordList& RecordWindow::OutputList(int list, int& used) {
    used = used_[list];
    return List(list);
}

void RecordWindow::CmdExport(QChar delimiter) {
    HideCellEditor();
    const ExportHook& hook = RecordExportHook();
    if (!hook)
        return;
    ExportRequest request;
    request.list = &OutputList(currentList_, request.usedCount);
    request.columnCount = OutputColumnCount();
    request.columnWidths.append(grid_[currentList_]->verticalHeader()->width());
    for (int column = 1; column < OutputColumnCount(); ++column)
        request.columnWidths.append(grid_[currentList_]->columnWidth(column - 1));
    request.delimiter = delimiter;
    request.parent = DialogParent();
    request.languageIndex = Language();
    hook(request);
}

void RecordWindow::CmdImport(QChar delimiter) {
    HideCellEditor();
    const ImportHook& hook = RecordImportHook();
    if (!hook)
        return;
    const int list = currentList_;
    const int before = used_[list];
    const ListState state = CaptureList(list);
    ImportRequest request;
    request.list = &List(list);
    request.usedCount = &used_[list];
    request.fieldColumnCount = Kind().fieldCount;
    request.kindName = Kind().exportKindName;
    request.nameFit = list == kComputerList
                          ? CharacterNameFit(kComputerNameLimit)
                          : CardNameFit(CurrentSession().CardInfo.PhoneRecordLength - 14);
    request.delimiter = delimiter;
    request.parent = DialogParent();
    request.languageIndex = Language();
    for (int column = 1; column <= Kind().fieldCount; ++column) {
        if (IsNumberColumn(column))
            request.checks.numberColumns.append(column);
    }
    request.checks.fieldWidths = true;
    const bool imported = hook(request);
    if (imported) {
        MarkNewRecords(list, before + 1, used_[list]);
        AfterLoad(list);
    }
    // A refused or cancelled import may still have changed the list on its way.
    RecordChange(list, state);
}

void RecordWindow::OutPutTotal(int& count, int& list) const {
    count = used_[currentList_];
    list = currentList_;
}

void RecordWindow::InPutTotal(int count) {
    used_[currentList_] = count;
}

}  // namespace pellucard
