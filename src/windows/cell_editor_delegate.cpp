#include "windows/cell_editor_delegate.h"

#include "windows/cell_editor.h"

namespace pellucard {

CellEditorDelegate::CellEditorDelegate(int listIndex, CellEditor& editor, CellChoiceEditor& choice,
                                       CellEditorHost& host, QObject* parent)
    : QStyledItemDelegate(parent), list_(listIndex), editor_(editor), choice_(choice), host_(host) {
    // Every edit goes to the list at once (typing, pasting, deleting, choosing), not when the
    // editor closes: the list, its undo history and the window's unsaved marks follow each
    // keystroke.
    connect(&editor_, &CellEditor::edited, this, [this] {
        if (open_)
            emit commitData(openWidget());
    });
    connect(&choice_, &CellChoiceEditor::chosen, this, [this](const QString& text) {
        if (open_ && choosing_)
            editor_.replaceText(text);
    });
    // The text behind the choice changes by other roads too (Delete, a limit that cuts it).
    connect(&editor_, &QPlainTextEdit::textChanged, this, [this] {
        if (open_ && choosing_ && loaded_)
            choice_.showValue(editor_.text());
    });
}

QWidget* CellEditorDelegate::openWidget() const {
    if (choosing_)
        return &choice_;
    return &editor_;
}

QWidget* CellEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    choices_ = {};
    choosing_ =
        index.isValid() && host_.cellChoices(list_, index.row() + 1, index.column() + 1, choices_);
    QWidget* widget = openWidget();
    if (widget->parentWidget() != parent)
        widget->setParent(parent);
    open_ = true;
    loaded_ = false;
    return widget;
}

void CellEditorDelegate::destroyEditor(QWidget* editor, const QModelIndex&) const {
    open_ = false;
    loaded_ = false;
    choosing_ = false;
    editor->hide();
}

void CellEditorDelegate::setEditorData(QWidget*, const QModelIndex& index) const {
    // The view asks again whenever the cell's data changes, which each edit does: the editor
    // is filled once, as it opens, and then holds what the user typed.
    if (loaded_ || !index.isValid())
        return;
    host_.loadCellEditor(list_, index.row() + 1, index.column() + 1);
    if (choosing_)
        choice_.offer(choices_, editor_.text(), editor_.lengthLimit());
    loaded_ = true;
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
