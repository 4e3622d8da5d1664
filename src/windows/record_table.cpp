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
    setObjectName(QStringLiteral("MSHFlexGrid1_%1").arg(listIndex));
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
                input_.ListCornerDown(listIndex_);
            pressModifiers_ = Qt::NoModifier;
        });
    }
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this](int section) {
        input_.ListTitleDown(listIndex_, section + 1, pressModifiers_);
        pressModifiers_ = Qt::NoModifier;
    });
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this](int) {
        slotPressed_ = true;
        input_.ListSlotDown(listIndex_);
    });
}

RecordListModel* RecordTable::RecordModel() const {
    return qobject_cast<RecordListModel*>(model());
}

int RecordTable::CurrentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 0;
}

int RecordTable::CurrentColumn() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() + 1 : 0;
}

void RecordTable::SetCurrentCell(int row, int column) {
    if (!model() || row < 1 || column < 1)
        return;
    setCurrentIndex(model()->index(row - 1, column - 1));
}

std::pair<int, int> RecordTable::SelectedRows() const {
    const QModelIndexList selected =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList{};
    if (selected.isEmpty())
        return {CurrentRow(), CurrentRow()};
    int first = selected.first().row();
    int last = first;
    for (const QModelIndex& index : selected) {
        first = std::min(first, index.row());
        last = std::max(last, index.row());
    }
    return {first + 1, last + 1};
}

QRect RecordTable::CellRect(int row, int column) const {
    if (!model() || row < 1 || column < 1)
        return {};
    return visualRect(model()->index(row - 1, column - 1));
}

void RecordTable::ScrollCellToTopLeft(int row, int column) {
    if (!model() || row < 1 || column < 1)
        return;
    const QModelIndex index = model()->index(row - 1, column - 1);
    scrollTo(index, QAbstractItemView::PositionAtTop);
    horizontalScrollBar()->setValue(columnViewportPosition(index.column()) + horizontalOffset());
}

void RecordTable::ScrollCellIntoView(int row, int column) {
    if (!model() || row < 1)
        return;
    scrollTo(model()->index(row - 1, std::max(column, 1) - 1), QAbstractItemView::EnsureVisible);
}

void RecordTable::keyPressEvent(QKeyEvent* event) {
    if (input_.ListKeyDown(listIndex_, event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void RecordTable::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    input_.ListKeyUp(listIndex_, event);
}

void RecordTable::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
    cellPressed_ = index.isValid();
    if (cellPressed_)
        input_.ListCellDown(listIndex_, index.row() + 1, index.column() + 1);
}

void RecordTable::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const bool onCell = indexAt(event->position().toPoint()).isValid();
    if (cellPressed_ && onCell && event->button() == Qt::LeftButton) {
        cellPressed_ = false;
        input_.ListCellUp(listIndex_);
    }
    cellPressed_ = false;
}

void RecordTable::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    input_.ListScrolled(listIndex_);
}

void RecordTable::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    input_.ListScrolled(listIndex_);
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
        input_.ListSlotUp(listIndex_, static_cast<QMouseEvent*>(event)->modifiers());
        return false;
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace pellucard
