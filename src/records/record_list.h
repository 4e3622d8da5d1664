#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace pellucard {

// One row of a record list: its cells and the hidden row tag that travels with a record.
struct RecordRow {
    QStringList cells;
    qint32 tag = 0;

    friend bool operator==(const RecordRow&, const RecordRow&) = default;
};

// A record list: a grid of text cells, R rows by C columns. Row 0 holds the column titles
// and column 0 the slot numbers; rows 1..R-1 are the record slots. Which column is the
// mark column, what the mark text is and how many slots are in use are kept by the
// window that owns the list and passed to the list operations.
//
// Reads outside the grid give an empty text and writes outside it are ignored, so the
// operations never have to guard against a short list.
//
// A presenter (the item model) listens to the changes. Operations that touch many cells
// hold a BulkUpdate so that the presenter hears of them once, as one changed range, and
// a view keeps its current cell, scroll position and selection across them.
class RecordList {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // Cells of rows firstRow..lastRow, columns firstColumn..lastColumn changed.
        virtual void CellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) = 0;
        virtual void RowCountAboutToChange(int oldCount, int newCount) = 0;
        virtual void RowCountChanged(int oldCount, int newCount) = 0;
        virtual void ColumnCountAboutToChange(int oldCount, int newCount) = 0;
        virtual void ColumnCountChanged(int oldCount, int newCount) = 0;
    };

    // Collects the cell changes made while it lives into one notification.
    class BulkUpdate {
    public:
        explicit BulkUpdate(RecordList& list);
        ~BulkUpdate();
        BulkUpdate(const BulkUpdate&) = delete;
        BulkUpdate& operator=(const BulkUpdate&) = delete;

    private:
        RecordList& list_;
    };

    RecordList(int rows = 1, int columns = 1);
    RecordList(const RecordList&) = delete;
    RecordList& operator=(const RecordList&) = delete;

    int Rows() const { return rows_.size(); }
    int Columns() const { return columns_; }
    // The last slot, R - 1; 0 when the list has no slot.
    int LastSlot() const { return Rows() - 1; }

    const QString& Text(int row, int column) const;
    void SetText(int row, int column, const QString& text);
    qint32 Tag(int row) const;
    void SetTag(int row, qint32 tag);

    // A whole row; setting one pads or cuts its cells to the column count.
    RecordRow Row(int row) const;
    void SetRow(int row, RecordRow value);

    // Rows and columns are added and removed at the end; new cells are empty.
    void SetRows(int rows);
    void SetColumns(int columns);

    // Every row, the title row included. Taking one is cheap: the rows are shared with the
    // list until either side changes.
    QList<RecordRow> Snapshot() const { return rows_; }
    // Gives the list the rows of a snapshot (its row count included), as one update.
    void Restore(const QList<RecordRow>& rows);

    // Tells the presenter that rows first..last must be shown again, e.g. repainted.
    void Refresh(int firstRow, int lastRow);

    void SetListener(Listener* listener) { listener_ = listener; }

private:
    bool Contains(int row, int column) const;
    void Touch(int firstRow, int lastRow, int firstColumn, int lastColumn);
    void Flush();

    QList<RecordRow> rows_;
    int columns_ = 0;
    Listener* listener_ = nullptr;

    int bulkDepth_ = 0;
    // The changed range collected during a bulk update; firstRow_ > lastRow_ when none.
    int dirtyFirstRow_ = 0;
    int dirtyLastRow_ = -1;
    int dirtyFirstColumn_ = 0;
    int dirtyLastColumn_ = -1;
};

// The text with leading and trailing blanks (spaces only) removed.
QString TrimBlanks(const QString& text);

}  // namespace pellucard
