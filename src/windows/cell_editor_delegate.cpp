#include "windows/cell_editor_delegate.h"

#include "windows/cell_editor.h"

namespace pellucard {

CellEditorDelegate::CellEditorDelegate(int listIndex, CellEditor& editor, CellEditorHost& host,
                                       QObject* parent)
    : QStyledItemDelegate(parent), list_(listIndex), editor_(editor), host_(host) {
    // Every edit goes to the list at once (typing, pasting, deleting), not when the editor
    // closes: the list, its undo history and the window's unsaved marks follow each keystroke.
    connect(&editor_, &CellEditor::edited, this, [this] {
        if (open_)
            emit commitData(&editor_);
    });
}

QWidget* CellEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex&) const {
    if (editor_.parentWidget() != parent)
        editor_.setParent(parent);
    open_ = true;
    loaded_ = false;
    return &editor_;
}

void CellEditorDelegate::destroyEditor(QWidget* editor, const QModelIndex&) const {
    open_ = false;
    loaded_ = false;
    editor->hide();
}

void CellEditorDelegate::setEditorData(QWidget*, const QModelIndex& index) const {
    // The view asks again whenever the cell's data changes, which each edit does: the editor
    // is filled once, as it opens, and then holds what the user typed.
    if (loaded_ || !index.isValid())
        return;
    loaded_ = true;
    host_.loadCellEditor(list_, index.row() + 1, index.column() + 1);
}

void CellEditorDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    if (open_)
        host_.commitCellEditor(list_);
}

void CellEditorDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

bool CellEditorDelegate::eventFilter(QObject*, QEvent*) {
    return false;
}

}  // namespace pellucard
