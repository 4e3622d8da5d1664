// The record window's Edit commands: the clipboard and Delete on the marked records or on the
// current cell, and the find box.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include "records/record_copy.h"
#include "windows/cell_editor.h"
#include "windows/record_list_model.h"
#include "windows/record_window.h"

namespace pellucard {

int RecordWindow::activeList() const {
    const QWidget* focus = QApplication::focusWidget();
    for (int list : {kComputerList, kSimList}) {
        if (focus != nullptr &&
            (focus == grid_[list] || grid_[list]->isAncestorOf(focus) || focus == findBox_[list]))
            return list;
    }
    return editList_ >= 0 ? editList_ : currentList_;
}

bool RecordWindow::anyRowMarked(int list) const {
    const RecordListModel* model = model_[list];
    for (int row = 1; row < model->List().Rows(); ++row) {
        if (model->IsMarked(row))
            return true;
    }
    return false;
}

bool RecordWindow::holdsRecords(int list, const QString& text) {
    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
    const QString title = recordList(list).Text(0, 1);
    if (title.isEmpty())
        return false;
    return firstLine.compare(title + QLatin1Char(':'), Qt::CaseInsensitive) == 0 ||
           firstLine.startsWith(title + QLatin1Char('\t'), Qt::CaseInsensitive);
}

QString RecordWindow::cellTextToCopy(int list, int row, int column) const {
    return model_[list]->List().Text(row, column);
}

void RecordWindow::copyRecords(int list) {
    currentList_ = list;
    // From the menu while the editor holds a selection: what is selected, as Ctrl+C there.
    if (cellEditor_->hasFocus() && editList_ == list && cellEditor_->textCursor().hasSelection()) {
        cellEditor_->copy();
        return;
    }
    QString text;
    if (anyRowMarked(list)) {
        text = clipboardText(list);
    } else {
        const int row = grid_[list]->currentRow();
        const int column = grid_[list]->currentColumn();
        if (row < 1 || column < 1)
            return;
        text = cellTextToCopy(list, row, column);
    }
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setText(text);
}

void RecordWindow::pasteRecordText(int list) {
    RecordList& records = recordList(list);
    if (used_[list] >= records.Rows() - 1)
        return;
    const ListState state = captureList(list);
    const int before = used_[list];
    appendClipboardRecords(list, QApplication::clipboard()->text(), used_[list]);
    // Pasted rows follow the rule of copying marked rows.
    DropPastedDuplicates(records, before + 1, used_[list], kind().markColumn, language());
    if (used_[list] != before) {
        markNewRecords(list, before + 1, used_[list]);
        afterLoad(list);
    }
    recordChange(list, state);
}

void RecordWindow::pasteRecords(int list) {
    currentList_ = list;
    if (listReadOnly(list))
        return;
    if (cellEditor_->hasFocus() && editList_ == list) {
        cellEditor_->paste();  // from the menu while typing in a cell
        return;
    }
    const QString text = QApplication::clipboard()->text();
    // A table (tab-separated) is records or nothing, never the text of one cell.
    if (anyRowMarked(list) || holdsRecords(list, text) || text.contains(QLatin1Char('\t'))) {
        pasteRecordText(list);
        return;
    }
    if (grid_[list]->currentRow() < 1 || grid_[list]->currentColumn() < 1)
        return;
    // Into the current cell through its editor, as if typed there: the cell's own limits and
    // number filter apply, and the change is one step of the history.
    editCell(list);
    if (!editorOverCell() || editList_ != list)
        return;  // a cell that takes no typing (status, time, validity)
    if (!choiceEditor_->isHidden()) {
        choiceEditor_->takePastedText(text);  // a name it offers, else nothing
        return;
    }
    cellEditor_->selectAll();
    cellEditor_->paste();
}

void RecordWindow::deleteRecordsOrCell(int list) {
    currentList_ = list;
    if (listReadOnly(list))
        return;
    if (anyRowMarked(list) || (editorOverCell() && editList_ == list)) {
        deleteMarked(list);
        return;
    }
    RecordTable* grid = grid_[list];
    if (grid->currentRow() < 1 || grid->currentColumn() < 1)
        return;
    editCell(list);
    if (!editorOverCell() || editList_ != list)
        return;
    // Emptied as if deleted by hand; an undo step brings the text back.
    cellEditor_->replaceText({});
    hideCellEditor();
    grid->setFocus();
}

void RecordWindow::focusFindBox() {
    QLineEdit* box = findBox_[activeList()];
    box->setFocus(Qt::ShortcutFocusReason);
    box->selectAll();
}

}  // namespace pellucard
