#pragma once

#include <QList>
#include <QUndoCommand>

#include "records/record_list.h"

namespace pellucard {

// What an undo step gives back to a list: its rows (cells, marks and row tags, the row count
// included), its used count and its sort direction.
struct ListState {
    QList<RecordRow> rows;
    int used = 0;
    int sortState = 0;

    friend bool operator==(const ListState&, const ListState&) = default;
};

// The window that owns the lists and puts a state back.
class ListHistoryOwner {
public:
    virtual ~ListHistoryOwner() = default;
    // Gives list `list` the state; `revision` is the list's revision that goes with it.
    virtual void restoreListState(int list, const ListState& state, int revision) = 0;
};

// One change to one list, undone and redone by putting back the whole state before or after
// it. A snapshot shares its rows with the list until either changes, so taking one costs
// little. Changes that carry the same merge key (the keystrokes of one stay of the editor in a
// cell) merge into one step.
class ListChangeCommand final : public QUndoCommand {
public:
    struct Side {
        ListState state;
        int revision = 0;
    };

    ListChangeCommand(ListHistoryOwner& owner, int list, Side before, Side after, int mergeKey);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    int records() const { return list_; }
    int mergeKey() const { return mergeKey_; }

private:
    ListHistoryOwner& owner_;
    int list_;
    Side before_;
    Side after_;
    int mergeKey_;
    bool applied_ = true;  // pushed after the change was made: the first redo has nothing to do
};

}  // namespace pellucard
