#include "windows/record_table.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

#include "windows/record_list_model.h"

namespace pellucard {

RecordTable::RecordTable(int listIndex, RecordTableInput& input, QWidget* parent)
    : QTableView(parent), listIndex_(listIndex), input_(input) {
    setObjectName(QStringLiteral("recordGrid_%1").arg(listIndex));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSortingEnabled(false);
    setWordWrap(true);
    setTabKeyNavigation(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    verticalHeader()->viewport()->installEventFilter(this);

    // The corner cell cycles the marks instead of selecting everything.
    corner_ = findChild<QAbstractButton*>();
    if (corner_) {
        disconnect(corner_, nullptr, this, nullptr);
        corner_->installEventFilter(this);
        connect(corner_, &QAbstractButton::pressed, this, [this] {
            if (pressModifiers_ == Qt::NoModifier)
                input_.listCornerDown(listIndex_);
            pressModifiers_ = Qt::NoModifier;
        });
    }
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this](int section) {
        input_.listTitleDown(listIndex_, section + 1, pressModifiers_);
        pressModifiers_ = Qt::NoModifier;
    });
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this](int) {
        slotPressed_ = true;
        input_.listSlotDown(listIndex_);
    });
}

RecordListModel* RecordTable::recordModel() const {
    return qobject_cast<RecordListModel*>(model());
}

int RecordTable::currentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 0;
}

int RecordTable::currentColumn() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() + 1 : 0;
}

void RecordTable::setCurrentCell(int row, int column) {
    if (!model() || row < 1 || column < 1)
        return;
    setCurrentIndex(model()->index(row - 1, column - 1));
}

std::pair<int, int> RecordTable::selectedRows() const {
    const QModelIndexList selected =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList{};
    if (selected.isEmpty())
        return {currentRow(), currentRow()};
    int first = selected.first().row();
    int last = first;
    for (const QModelIndex& index : selected) {
        first = std::min(first, index.row());
        last = std::max(last, index.row());
    }
    return {first + 1, last + 1};
}

QRect RecordTable::cellRect(int row, int column) const {
    if (!model() || row < 1 || column < 1)
        return {};
    return visualRect(model()->index(row - 1, column - 1));
}

void RecordTable::scrollCellToTopLeft(int row, int column) {
    if (!model() || row < 1 || column < 1)
        return;
    const QModelIndex index = model()->index(row - 1, column - 1);
    scrollTo(index, QAbstractItemView::PositionAtTop);
    horizontalScrollBar()->setValue(columnViewportPosition(index.column()) + horizontalOffset());
}

void RecordTable::scrollCellIntoView(int row, int column) {
    if (!model() || row < 1)
        return;
    scrollTo(model()->index(row - 1, std::max(column, 1) - 1), QAbstractItemView::EnsureVisible);
}

void RecordTable::openCellEditor(int row, int column) {
    closeCellEditor();
    if (!model() || row < 1 || column < 1)
        return;
    editorIndex_ = model()->index(row - 1, column - 1);
    openPersistentEditor(editorIndex_);
}

void RecordTable::closeCellEditor() {
    // A row taken out of the list has taken its editor with it.
    if (editorIndex_.isValid() && isPersistentEditorOpen(editorIndex_))
        closePersistentEditor(editorIndex_);
    editorIndex_ = QPersistentModelIndex();
}

void RecordTable::keyPressEvent(QKeyEvent* event) {
    if (input_.listKeyDown(listIndex_, event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void RecordTable::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    input_.listKeyUp(listIndex_, event);
}

void RecordTable::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
    cellPressed_ = index.isValid();
    if (cellPressed_)
        input_.listCellDown(listIndex_, index.row() + 1, index.column() + 1);
}

void RecordTable::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const bool onCell = indexAt(event->position().toPoint()).isValid();
    if (cellPressed_ && onCell && event->button() == Qt::LeftButton) {
        cellPressed_ = false;
        input_.listCellUp(listIndex_);
    }
    cellPressed_ = false;
}

void RecordTable::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    input_.listScrolled(listIndex_);
}

void RecordTable::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    input_.listScrolled(listIndex_);
}

bool RecordTable::eventFilter(QObject* watched, QEvent* event) {
    // The modifiers held when a title or the corner cell was pressed.
    if ((watched == corner_ || watched == horizontalHeader()->viewport()) &&
        event->type() == QEvent::MouseButtonPress)
        pressModifiers_ = static_cast<QMouseEvent*>(event)->modifiers();
    if (watched == verticalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease &&
        slotPressed_) {
        // The header selected the rows while the button was down.
        slotPressed_ = false;
        input_.listSlotUp(listIndex_, static_cast<QMouseEvent*>(event)->modifiers());
        return false;
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace pellucard
