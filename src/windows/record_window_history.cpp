// The record window's undo history: every change to a list is one step that puts the list's
// whole state back; the computer list's revisions tell whether it differs from its file, the SIM
// list's whether it differs from the card.
#include <QUndoStack>

#include "shell/session.h"
#include "windows/record_list_model.h"
#include "windows/record_window.h"

namespace pellucard {

ListState RecordWindow::captureList(int list) const {
    return ListState{model_[list]->List().Snapshot(), used_[list], sortState_[list]};
}

void RecordWindow::recordChange(int list, const ListState& before, int mergeKey) {
    ListState after = captureList(list);
    if (after == before)
        return;
    ListChangeCommand::Side from{before, 0};
    ListChangeCommand::Side to{std::move(after), 0};
    if (list == kComputerList) {
        from.revision = files_.revision();
        to.revision = files_.changed();
    } else {
        from.revision = simRevision_;
        to.revision = simRevision_ = ++lastSimRevision_;
    }
    history_->push(new ListChangeCommand(*this, list, std::move(from), std::move(to), mergeKey));
}

void RecordWindow::restoreListState(int list, const ListState& state, int revision) {
    hideCellEditor();
    recordList(list).Restore(state.rows);
    used_[list] = state.used;
    sortState_[list] = state.sortState;
    find_[list] = {};
    if (list == kComputerList)
        files_.putBack(revision);
    else
        simRevision_ = revision;
    afterLoad(list);
}

void RecordWindow::documentReplaced() {
    sortState_[kComputerList] = 0;
    find_[kComputerList] = {};
    afterLoad(kComputerList);
    // The steps of the history belong to the document that is gone.
    history_->clear();
}

}  // namespace pellucard
