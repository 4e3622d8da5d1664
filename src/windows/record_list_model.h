#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <optional>

#include "records/record_list.h"

namespace pellucard {

// Presents a record list to a QTableView. The list's title row is the horizontal header
// and its slot-number column the vertical header, so model cell (r, c) is list cell
// (r + 1, c + 1); ListRow, ListColumn and IndexOf translate.
//
// A marked row (its mark cell equals the mark text) has the tooltip-background colour,
// every other row white. The colour follows the mark cell itself, so it can never
// disagree with the marks whichever operation changed them.
//
// The list operations leave the view where it was: cell changes arrive as dataChanged
// and a changed number of slots as rows inserted or removed at the end, so a QTableView
// keeps its current cell, selection and scroll position by itself. What stays with the
// widget: scrolling a found cell to the top-left (FindNextCell) and showing a new slot.
class RecordListModel final : public QAbstractTableModel, private RecordList::Listener {
    Q_OBJECT

public:
    enum Role { RowTagRole = Qt::UserRole + 1 };

    // Owns a list of `rows` by `columns` cells (title row and slot column included).
    RecordListModel(int rows, int columns, QObject* parent = nullptr);
    ~RecordListModel() override;

    RecordList& List() { return list_; }
    const RecordList& List() const { return list_; }

    static int ListRow(const QModelIndex& index) { return index.row() + 1; }
    static int ListColumn(const QModelIndex& index) { return index.column() + 1; }
    QModelIndex IndexOf(int listRow, int listColumn) const {
        return index(listRow - 1, listColumn - 1);
    }

    // Which column holds the marks and which text marks a row; by default the last
    // column and "1", as in every record window.
    void SetMarkColumn(int column);
    void SetMarkText(const QString& text);
    bool IsMarked(int listRow) const;

    // The colour of marked rows; by default the palette's tooltip background.
    void SetMarkColour(const QColor& colour);
    QColor MarkColour() const;

    // Rows whose tag is `tag` are shown greyed, with `text` in their first field while it is
    // empty (a slot whose content is not known, which must not look empty). Only what is shown
    // changes: the list's texts stay empty.
    void SetPlaceholder(qint32 tag, const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void CellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) override;
    void RowCountAboutToChange(int oldCount, int newCount) override;
    void RowCountChanged(int oldCount, int newCount) override;
    void ColumnCountAboutToChange(int oldCount, int newCount) override;
    void ColumnCountChanged(int oldCount, int newCount) override;
    int MarkColumn() const;
    // Rows and columns come and go alike: the model's begin and end calls for the direction.
    using BeginCountChange = void (QAbstractItemModel::*)(const QModelIndex&, int, int);
    using EndCountChange = void (QAbstractItemModel::*)();
    void BeginShownChange(int oldCount, int newCount, BeginCountChange insert,
                          BeginCountChange remove);
    void EndShownChange(int oldCount, int newCount, EndCountChange insert, EndCountChange remove);

    RecordList list_;
    int markColumn_ = -1;  // -1: the last column
    QString markText_ = QStringLiteral("1");
    QColor markColour_;  // invalid: the palette's
    std::optional<qint32> placeholderTag_;
    QString placeholderText_;
};

}  // namespace pellucard
