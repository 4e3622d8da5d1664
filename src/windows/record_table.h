#pragma once

#include <QTableView>

class QAbstractButton;

namespace pellucard {

class RecordListModel;

// What a record window does with the keys and mouse actions of one of its lists. Rows and
// columns are those of the record list: row 0 the titles, column 0 the slot numbers.
class RecordTableInput {
public:
    virtual ~RecordTableInput() = default;
    // True when the window handled the key; otherwise the table moves its current cell.
    virtual bool listKeyDown(int list, QKeyEvent* event) = 0;
    virtual void listKeyUp(int list, QKeyEvent* event) = 0;
    // The corner cell, a column title, or a slot number was pressed (no modifier for the
    // first two); a press on a data cell.
    virtual void listCornerDown(int list) = 0;
    virtual void listTitleDown(int list, int column, Qt::KeyboardModifiers modifiers) = 0;
    virtual void listSlotDown(int list) = 0;
    virtual void listCellDown(int list, int row, int column) = 0;
    // The button went up after a press on a slot number, or on a data cell after a press on
    // a data cell.
    virtual void listSlotUp(int list, Qt::KeyboardModifiers modifiers) = 0;
    virtual void listCellUp(int list) = 0;
    // The list scrolled or changed its geometry (the columns are laid out again).
    virtual void listScrolled(int list) = 0;
};

// One record list on the screen (`recordGrid`): the list's titles as column headers, its
// slot numbers as row headers and its cells, coloured by their marks. The view's own edit
// triggers are off: the window opens its cell editor through the list's item delegate when it
// decides to, and every key and mouse action goes to the window first.
class RecordTable final : public QTableView {
    Q_OBJECT

public:
    RecordTable(int listIndex, RecordTableInput& input, QWidget* parent = nullptr);

    int listIndex() const { return listIndex_; }
    RecordListModel* recordModel() const;

    // The current cell in list coordinates (0 when there is none).
    int currentRow() const;
    int currentColumn() const;
    void setCurrentCell(int row, int column);
    // The rows of the current selection in list coordinates, first <= last; the current row
    // when nothing is selected.
    std::pair<int, int> selectedRows() const;
    // Where a list cell lies in the viewport (empty when hidden or outside the list).
    QRect cellRect(int row, int column) const;
    // Scrolls so that the cell is the top-left visible one, as a find shows its match.
    void scrollCellToTopLeft(int row, int column);
    void scrollCellIntoView(int row, int column);
    QAbstractButton* cornerButton() const { return corner_; }

    // Opens the item delegate's editor over a cell, closing the one open before, and closes
    // it. The editor stays open until closed here, whichever cell is current.
    void openCellEditor(int row, int column);
    void closeCellEditor();
    // Lays an open editor over its cell now rather than at the view's next layout.
    void placeCellEditor() { updateEditorGeometries(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int listIndex_;
    RecordTableInput& input_;
    QAbstractButton* corner_ = nullptr;
    QPersistentModelIndex editorIndex_;  // the cell the editor is open over
    bool cellPressed_ = false;
    bool slotPressed_ = false;
    Qt::KeyboardModifiers pressModifiers_ = Qt::NoModifier;
};

}  // namespace pellucard
