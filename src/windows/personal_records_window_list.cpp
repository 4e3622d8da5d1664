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
#include "shell/print_records_dialog.h"
#include "windows/export_dialog.h"
#include "windows/find_box.h"
#include "windows/import_dialog.h"
#include "windows/personal_records_window.h"
#include "windows/print_hook.h"
#include "windows/record_exchange.h"
#include "windows/record_list_model.h"

namespace pellucard {
namespace {

const QString kMark = QStringLiteral("1");
const QString kKindName = QStringLiteral("Personal Record");

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

// --- Keys and mouse ---

bool PersonalRecordsWindow::listKeyDown(int, QKeyEvent* event) {
    RecordList& list = recordList();
    const int row = recordGrid->currentRow();
    const int column = recordGrid->currentColumn();
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier && row > 0 && column > 0) {
        deleteMarked();
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
                    appendClipboardRecords(QApplication::clipboard()->text());
                return true;
            default:
                return false;
        }
    }
    if (isEnter(event) && modifiers == Qt::NoModifier) {
        goToField(column);
        return true;
    }
    return false;
}

void PersonalRecordsWindow::listKeyUp(int, QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ShiftModifier ||
        (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down))
        return;
    const auto [first, last] = recordGrid->selectedRows();
    if (first >= 1)
        MarkRange(recordList(), std::max(used_, last), kMarkColumn, kMark, 1, first, last, 0);
}

void PersonalRecordsWindow::listCornerDown(int) {
    CycleMarks(recordList(), used_, kMarkColumn, kMark, markState_, 1);
}

void PersonalRecordsWindow::listTitleDown(int, int column, Qt::KeyboardModifiers modifiers) {
    if (modifiers != Qt::NoModifier)
        return;
    markState_ = 0;
    const int before = used_;
    const QCollator collator = ListCollator();
    SortRows(recordList(), used_, sortState_, column, &collator);
    if (before > 1)
        markModified();  // the records stand in another order now, a step of their own
    showRecord(std::max(currentRow(), 1));
}

void PersonalRecordsWindow::listSlotDown(int) {}

void PersonalRecordsWindow::listCellDown(int, int, int) {}

void PersonalRecordsWindow::listSlotUp(int, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier)
        return;
    markState_ = 0;
    const auto [first, last] = recordGrid->selectedRows();
    if (first >= 1)
        MarkRange(recordList(), std::max(used_, last), kMarkColumn, kMark, 1, first, last, 0);
}

void PersonalRecordsWindow::listCellUp(int) {}

void PersonalRecordsWindow::listScrolled(int) {}

// --- Clipboard ---

void PersonalRecordsWindow::appendClipboardRecords(const QString& text) {
    QList<TitledField> fields;
    for (int column = 1; column <= kFieldCount; ++column)
        fields.append({recordList().Text(0, column), column});
    const int before = used_;
    PasteFieldText(recordList(), used_, text, fields);
    // Pasted records follow the rule of copying marked rows.
    DropPastedDuplicates(recordList(), before + 1, used_, kMarkColumn, language());
    if (used_ > before) {
        markModified();
        showRecord(std::max(currentRow(), 1));
    }
}

void PersonalRecordsWindow::usedCountOfCurrentList(int& count, int& list) const {
    count = used_;
    list = 0;
}

void PersonalRecordsWindow::setUsedCountOfCurrentList(int count) {
    used_ = std::clamp(count, 0, const_cast<PersonalRecordsWindow*>(this)->recordList().LastSlot());
}

// --- New and deleted records ---

void PersonalRecordsWindow::newRecord() {
    RecordList& list = recordList();
    const int row = used_ + 1;
    if (row > list.LastSlot()) {
        list.SetRows(row + 1);
        RenumberRows(list, row);
    }
    recordGrid->setCurrentCell(row, 1);
    recordGrid->scrollCellIntoView(row, 1);
    showRecord(row);
    goToField(1);
}

void PersonalRecordsWindow::deleteMarked() {
    MessageRequest question = CatalogueMessage(MessageId::DeleteSelectedQuestion, language(),
                                               DialogButtons::YesNo, DialogIcon::Question);
    question.titleId = MessageId::DeleteRecord;
    question.title = text(MessageId::DeleteRecord);
    if (ShowMessage(question) != DialogAnswer::Yes)
        return;
    if (!ClearMarkedRows(recordList(), used_, kMarkColumn, kMark))
        return;
    used_ = FindLastUsedRow(recordList(), used_, kFieldCount);
    markModified();
    showRecord(std::max(currentRow(), 1));
}

// --- Find ---

void PersonalRecordsWindow::findFromTop() {
    if (used_ < 1) {
        reportNothingFound(host(), language());
        return;
    }
    find_ = FindState{0, 1, 0, 0};
    findNext();
}

void PersonalRecordsWindow::findNext() {
    findRecord();
}

bool PersonalRecordsWindow::findRecord() {
    if (!FindNextCell(recordList(), find_, findBox->text(), kFieldCount)) {
        reportNothingFound(host(), language());
        return false;
    }
    recordGrid->setCurrentCell(find_.row, find_.column);
    recordGrid->scrollCellToTopLeft(find_.row, find_.column);
    showRecord(find_.row);
    // The state's position lies one past the 1-based start of the match.
    goToField(find_.column, std::max(find_.position - 2, 0), find_.patternLength);
    return true;
}

// --- Print, export, import ---

namespace {

QList<int> columnWidths(const RecordTable* grid, int columns) {
    QList<int> widths{grid->verticalHeader()->width()};
    for (int column = 1; column < columns; ++column)
        widths.append(grid->isColumnHidden(column - 1) ? 0 : grid->columnWidth(column - 1));
    return widths;
}

}  // namespace

void PersonalRecordsWindow::printList() {
    PrintRecordsDialog form(dialogParent());
    form.changeLanguage(language());
    form.setRecords(recordList(), used_, kFieldCount + 1, columnWidths(recordGrid, kFieldCount + 1),
                    windowTitle());
    runPrintDialog(form);
}

void PersonalRecordsWindow::exportText(QChar delimiter) {
    ExportRequest request;
    request.list = &recordList();
    request.usedCount = used_;
    request.columnCount = kFieldCount + 1;
    request.columnWidths = columnWidths(recordGrid, kFieldCount + 1);
    request.delimiter = delimiter;
    request.parent = dialogParent();
    request.languageIndex = language();
    showExportDialog(request);
}

void PersonalRecordsWindow::importText(QChar delimiter) {
    ImportRequest request;
    request.list = &recordList();
    request.usedCount = &used_;
    request.fieldColumnCount = kFieldCount;
    request.kindName = kKindName;
    request.delimiter = delimiter;
    request.parent = dialogParent();
    request.languageIndex = language();
    request.checks.numberColumns = {kNumberColumns.begin(), kNumberColumns.end()};
    request.checks.fieldWidths = true;
    if (!showImportDialog(request))
        return;
    markModified();
    showRecord(std::max(currentRow(), 1));
}

}  // namespace pellucard
