#include "windows/record_list_model.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace pellucard {
namespace {

// A list of n rows shows n - 1 slots; a list of n columns n - 1 columns beside the slot
// numbers.
int Shown(int listCount) {
    return std::max(listCount - 1, 0);
}

}  // namespace

RecordListModel::RecordListModel(int rows, int columns, QObject* parent)
    : QAbstractTableModel(parent), list_(rows, columns) {
    list_.SetListener(this);
}

RecordListModel::~RecordListModel() {
    list_.SetListener(nullptr);
}

void RecordListModel::SetMarkColumn(int column) {
    markColumn_ = column;
    list_.Refresh(1, list_.LastSlot());
}

void RecordListModel::SetMarkText(const QString& text) {
    markText_ = text;
    list_.Refresh(1, list_.LastSlot());
}

int RecordListModel::MarkColumn() const {
    return markColumn_ >= 0 ? markColumn_ : list_.Columns() - 1;
}

bool RecordListModel::IsMarked(int listRow) const {
    return list_.Text(listRow, MarkColumn()) == markText_;
}

void RecordListModel::SetMarkColour(const QColor& colour) {
    markColour_ = colour;
    list_.Refresh(1, list_.LastSlot());
}

QColor RecordListModel::MarkColour() const {
    if (markColour_.isValid()) {
        return markColour_;
    }
    if (qGuiApp != nullptr) {
        return QGuiApplication::palette().color(QPalette::ToolTipBase);
    }
    return QColor(0xFF, 0xFF, 0xE1);  // the classic tooltip yellow
}

void RecordListModel::SetPlaceholder(qint32 tag, const QString& text) {
    placeholderTag_ = tag;
    placeholderText_ = text;
    list_.Refresh(1, list_.LastSlot());
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Shown(list_.Rows());
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Shown(list_.Columns());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const int row = ListRow(index);
    const bool placeholder = placeholderTag_ && list_.Tag(row) == *placeholderTag_;
    switch (role) {
        case Qt::DisplayRole:
            if (placeholder && ListColumn(index) == 1 && list_.Text(row, 1).isEmpty())
                return placeholderText_;
            return list_.Text(row, ListColumn(index));
        case Qt::EditRole:
            return list_.Text(row, ListColumn(index));
        case Qt::ForegroundRole:
            if (placeholder)
                return QBrush(QColor(Qt::darkGray));
            return {};
        case Qt::ToolTipRole:
            if (placeholder)
                return placeholderText_;
            return {};
        case Qt::BackgroundRole:
            return QBrush(IsMarked(row) ? MarkColour() : QColor(Qt::white));
        case RowTagRole:
            return list_.Tag(row);
        default:
            return {};
    }
}

bool RecordListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::EditRole && role != Qt::DisplayRole)) {
        return false;
    }
    list_.SetText(ListRow(index), ListColumn(index), value.toString());
    return true;
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < columnCount()) {
            return list_.Text(0, section + 1);
        }
    } else if (section >= 0 && section < rowCount()) {
        if (role == Qt::DisplayRole) {
            return list_.Text(section + 1, 0);
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void RecordListModel::CellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    if (firstRow == 0 && lastColumn >= 1) {
        emit headerDataChanged(Qt::Horizontal, std::max(firstColumn, 1) - 1, lastColumn - 1);
    }
    if (firstColumn == 0 && lastRow >= 1) {
        emit headerDataChanged(Qt::Vertical, std::max(firstRow, 1) - 1, lastRow - 1);
    }
    // Whole rows: a changed mark cell changes the colour of every cell of its row.
    if (lastRow >= 1 && columnCount() > 0) {
        emit dataChanged(index(std::max(firstRow, 1) - 1, 0),
                         index(lastRow - 1, columnCount() - 1));
    }
}

void RecordListModel::BeginShownChange(int oldCount, int newCount, BeginCountChange insert,
                                       BeginCountChange remove) {
    const int before = Shown(oldCount);
    const int after = Shown(newCount);
    if (after > before) {
        (this->*insert)({}, before, after - 1);
    } else if (after < before) {
        (this->*remove)({}, after, before - 1);
    }
}

void RecordListModel::EndShownChange(int oldCount, int newCount, EndCountChange insert,
                                     EndCountChange remove) {
    const int before = Shown(oldCount);
    const int after = Shown(newCount);
    if (after > before) {
        (this->*insert)();
    } else if (after < before) {
        (this->*remove)();
    }
}

void RecordListModel::RowCountAboutToChange(int oldCount, int newCount) {
    BeginShownChange(oldCount, newCount, &RecordListModel::beginInsertRows,
                     &RecordListModel::beginRemoveRows);
}

void RecordListModel::RowCountChanged(int oldCount, int newCount) {
    EndShownChange(oldCount, newCount, &RecordListModel::endInsertRows,
                   &RecordListModel::endRemoveRows);
}

void RecordListModel::ColumnCountAboutToChange(int oldCount, int newCount) {
    BeginShownChange(oldCount, newCount, &RecordListModel::beginInsertColumns,
                     &RecordListModel::beginRemoveColumns);
}

void RecordListModel::ColumnCountChanged(int oldCount, int newCount) {
    EndShownChange(oldCount, newCount, &RecordListModel::endInsertColumns,
                   &RecordListModel::endRemoveColumns);
}

}  // namespace pellucard
