// The record window's undo history: every change to a list is one step that puts the list's
// whole state back; the computer list's revisions tell whether it differs from its file.
#include <QPushButton>
#include <QUndoStack>

#include "records/record_list_model.h"
#include "shell/session.h"
#include "windows/record_window.h"

namespace pellucard {

ListState RecordWindow::CaptureList(int list) const {
    return ListState{model_[list]->List().Snapshot(), used_[list], sortState_[list]};
}

void RecordWindow::RecordChange(int list, const ListState& before, int mergeKey) {
    ListState after = CaptureList(list);
    if (after == before)
        return;
    ListChangeCommand::Side from{before, 0};
    ListChangeCommand::Side to{std::move(after), 0};
    if (list == kComputerList) {
        from.revision = computerRevision_;
        computerRevision_ = ++lastRevision_;
        to.revision = computerRevision_;
    }
    history_->push(new ListChangeCommand(*this, list, std::move(from), std::move(to), mergeKey));
    if (list == kComputerList)
        UpdateSaveState();
}

void RecordWindow::RestoreListState(int list, const ListState& state, int revision) {
    HideCellEditor();
    List(list).Restore(state.rows);
    used_[list] = state.used;
    sortState_[list] = state.sortState;
    find_[list] = {};
    if (list == kComputerList) {
        computerRevision_ = revision;
        UpdateSaveState();
    }
    AfterLoad(list);
}

void RecordWindow::MarkSaved() {
    savedRevision_ = computerRevision_;
    UpdateSaveState();
}

bool RecordWindow::Modified() const {
    return computerRevision_ != savedRevision_;
}

void RecordWindow::UpdateSaveState() {
    const bool modified = Modified();
    CmdNewSave->setEnabled(modified);
    if (CurrentSession().CurrentWindow == Kind().windowIndex)
        Host().SetFileCommandEnabled(FileMenuEntry::Save, modified);
}

}  // namespace pellucard
