#pragma once

#include <QStyledItemDelegate>

#include "windows/cell_choice_editor.h"

namespace pellucard {

class CellEditor;

// What a record window does with the cell editor that the delegate of one of its lists opens.
// Rows and columns are those of the record list: row 0 the titles, column 0 the slot numbers.
class CellEditorHost {
public:
    virtual ~CellEditorHost() = default;
    // Sets the editor up for the cell it opens over: its text, limits, lines and colour.
    virtual void loadCellEditor(int list, int row, int column) = 0;
    // The user changed the editor's text: the window writes it to the cell it lies over.
    virtual void commitCellEditor(int list) = 0;
    // Whether the cell is edited by choosing among names, and which; by default it is typed.
    virtual bool cellChoices(int /*list*/, int /*row*/, int /*column*/, CellChoices& /*choices*/) {
        return false;
    }
};

// The item delegate of a record list. It opens the window's one cell editor over a cell, lays
// it over that cell as the list scrolls and resizes, and hands every edit to the window as it is
// made, as one undo step per stay in the cell. The editor outlives each cell it opens over: both
// lists of a window share it, so closing hides it instead of destroying it.
//
// The editor's keys and focus stay the window's: Enter moves on to the next field, Escape stops a
// card run, Tab and a click elsewhere leave the cell. The item view's own handling of these
// (commit and close, edit the next item) does not apply.
//
// A cell the host edits by choosing among names gets the choice editor over it instead. The
// cell editor still holds the cell's text behind it: each choice is put there as if typed, so
// that it reaches the list by the same road as typing.
class CellEditorDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    CellEditorDelegate(int listIndex, CellEditor& editor, CellChoiceEditor& choice,
                       CellEditorHost& host, QObject* parent = nullptr);

    // The widget open over the cell: the choice editor or the cell editor.
    QWidget* openWidget() const;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int list_;
    CellEditor& editor_;
    CellChoiceEditor& choice_;
    CellEditorHost& host_;
    mutable CellChoices choices_;
    mutable bool choosing_ = false;  // the choice editor is the one open
    mutable bool open_ = false;
    mutable bool loaded_ = false;  // filled for the cell it opened over
};

}  // namespace pellucard
