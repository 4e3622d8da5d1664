// The personal record window's list: keys and mouse, marking, the clipboard, new and
// deleted records, find, print, export and import.
#include <QApplication>
#include <QClipboard>
#include <QCollator>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include "records/clipboard_text.h"
#include "records/dialog_seam.h"
#include "records/record_copy.h"
#include "records/record_marks.h"
#include "records/record_slots.h"
#include "shell/printer_form.h"
#include "windows/export_dialog.h"
#include "windows/find_box.h"
#include "windows/import_dialog.h"
#include "windows/person_rec.h"
#include "windows/print_hook.h"
#include "windows/record_exchange.h"
#include "windows/record_list_model.h"

namespace pellucard {
namespace {

const QString kMark = QStringLiteral("1");
const QString kKindName = QStringLiteral("Personal Record");

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

// --- Keys and mouse ---

bool PersonRec::ListKeyDown(int, QKeyEvent* event) {
    RecordList& list = List();
    const int row = MSHFlexGrid1->CurrentRow();
    const int column = MSHFlexGrid1->CurrentColumn();
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier && row > 0 && column > 0) {
        Cmddelsim_Click();
        return true;
    }
    if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
            case Qt::Key_A: {
                int state = 2;  // every record that holds data
                CycleMarks(list, used_, kMarkColumn, kMark, state, 1);
                return true;
            }
            case Qt::Key_C:
                QApplication::clipboard()->clear();
                QApplication::clipboard()->setText(
                    ClipboardFieldText(list, 1, used_, kMarkColumn, kMark, kFieldCount));
                return true;
            case Qt::Key_V:
                if (used_ < list.LastSlot())
                    DisplayInGrid(QApplication::clipboard()->text());
                return true;
            default:
                return false;
        }
    }
    if (IsEnter(event) && modifiers == Qt::NoModifier) {
        GoToField(column);
        return true;
    }
    return false;
}

void PersonRec::ListKeyUp(int, QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ShiftModifier ||
        (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down))
        return;
    const auto [first, last] = MSHFlexGrid1->SelectedRows();
    if (first >= 1)
        MarkRange(List(), std::max(used_, last), kMarkColumn, kMark, 1, first, last, 0);
}

void PersonRec::ListCornerDown(int) {
    CycleMarks(List(), used_, kMarkColumn, kMark, markState_, 1);
}

void PersonRec::ListTitleDown(int, int column, Qt::KeyboardModifiers modifiers) {
    if (modifiers != Qt::NoModifier)
        return;
    markState_ = 0;
    const int before = used_;
    const QCollator collator = ListCollator();
    SortRows(List(), used_, sortState_, column, &collator);
    if (before > 1)
        MarkModified();  // the records stand in another order now, a step of their own
    ShowRecord(std::max(CurrentRow(), 1));
}

void PersonRec::ListSlotDown(int) {}

void PersonRec::ListCellDown(int, int, int) {}

void PersonRec::ListSlotUp(int, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier)
        return;
    markState_ = 0;
    const auto [first, last] = MSHFlexGrid1->SelectedRows();
    if (first >= 1)
        MarkRange(List(), std::max(used_, last), kMarkColumn, kMark, 1, first, last, 0);
}

void PersonRec::ListCellUp(int) {}

void PersonRec::ListScrolled(int) {}

// --- Clipboard ---

void PersonRec::DisplayInGrid(const QString& text) {
    QList<TitledField> fields;
    for (int column = 1; column <= kFieldCount; ++column)
        fields.append({List().Text(0, column), column});
    const int before = used_;
    PasteFieldText(List(), used_, text, fields);
    // Pasted records follow the rule of copying marked rows.
    DropPastedDuplicates(List(), before + 1, used_, kMarkColumn, Language());
    if (used_ > before) {
        MarkModified();
        ShowRecord(std::max(CurrentRow(), 1));
    }
}

void PersonRec::OutPutTotal(int& count, int& list) const {
    count = used_;
    list = 0;
}

void PersonRec::InPutTotal(int count) {
    used_ = std::clamp(count, 0, const_cast<PersonRec*>(this)->List().LastSlot());
}

// --- New and deleted records ---

void PersonRec::CmdNewRecord_Click() {
    RecordList& list = List();
    const int row = used_ + 1;
    if (row > list.LastSlot()) {
        list.SetRows(row + 1);
        RenumberRows(list, row);
    }
    MSHFlexGrid1->SetCurrentCell(row, 1);
    MSHFlexGrid1->ScrollCellIntoView(row, 1);
    ShowRecord(row);
    GoToField(1);
}

void PersonRec::Cmddelsim_Click() {
    MessageRequest question = CatalogueMessage(MessageId::DeleteSelectedQuestion, Language(),
                                               DialogButtons::YesNo, DialogIcon::Question);
    question.titleId = MessageId::DeleteRecord;
    question.title = Text(MessageId::DeleteRecord);
    if (ShowMessage(question) != DialogAnswer::Yes)
        return;
    if (!ClearMarkedRows(List(), used_, kMarkColumn, kMark))
        return;
    used_ = FindLastUsedRow(List(), used_, kFieldCount);
    MarkModified();
    ShowRecord(std::max(CurrentRow(), 1));
}

// --- Find ---

void PersonRec::FindBox_Enter() {
    if (used_ < 1) {
        ReportNothingFound(Host(), Language());
        return;
    }
    find_ = FindState{0, 1, 0, 0};
    ComNext_Click();
}

void PersonRec::ComNext_Click() {
    FindRecord();
}

bool PersonRec::FindRecord() {
    if (!FindNextCell(List(), find_, FindBox->text(), kFieldCount)) {
        ReportNothingFound(Host(), Language());
        return false;
    }
    MSHFlexGrid1->SetCurrentCell(find_.row, find_.column);
    MSHFlexGrid1->ScrollCellToTopLeft(find_.row, find_.column);
    ShowRecord(find_.row);
    // The state's position lies one past the 1-based start of the match.
    GoToField(find_.column, std::max(find_.position - 2, 0), find_.patternLength);
    return true;
}

// --- Print, export, import ---

namespace {

QList<int> ColumnWidths(const RecordTable* grid, int columns) {
    QList<int> widths{grid->verticalHeader()->width()};
    for (int column = 1; column < columns; ++column)
        widths.append(grid->isColumnHidden(column - 1) ? 0 : grid->columnWidth(column - 1));
    return widths;
}

}  // namespace

void PersonRec::CmdPrint_Click() {
    PrinterForm form(DialogParent());
    form.ChangeLanguage(Language());
    form.SetRecords(List(), used_, kFieldCount + 1, ColumnWidths(MSHFlexGrid1, kFieldCount + 1),
                    windowTitle());
    RunPrintDialog(form);
}

void PersonRec::CmdExport(QChar delimiter) {
    ExportRequest request;
    request.list = &List();
    request.usedCount = used_;
    request.columnCount = kFieldCount + 1;
    request.columnWidths = ColumnWidths(MSHFlexGrid1, kFieldCount + 1);
    request.delimiter = delimiter;
    request.parent = DialogParent();
    request.languageIndex = Language();
    ShowExportDialog(request);
}

void PersonRec::CmdImport(QChar delimiter) {
    ImportRequest request;
    request.list = &List();
    request.usedCount = &used_;
    request.fieldColumnCount = kFieldCount;
    request.kindName = kKindName;
    request.delimiter = delimiter;
    request.parent = DialogParent();
    request.languageIndex = Language();
    request.checks.numberColumns = {kNumberColumns.begin(), kNumberColumns.end()};
    request.checks.fieldWidths = true;
    if (!ShowImportDialog(request))
        return;
    MarkModified();
    ShowRecord(std::max(CurrentRow(), 1));
}

}  // namespace pellucard
