// The personal record window's document: its undo history, what the file commands ask of the
// window, and its closing.
#include <QCloseEvent>
#include <QLabel>
#include <QUndoStack>

#include "windows/person_rec.h"
#include "windows/record_list_model.h"

namespace pellucard {

ListState PersonRec::CaptureList() const {
    return ListState{model_->List().Snapshot(), used_, sortState_};
}

void PersonRec::MarkModified(int mergeKey) {
    ListState after = CaptureList();
    if (after == recorded_)
        return;
    ListChangeCommand::Side from{std::move(recorded_), files_.Revision()};
    ListChangeCommand::Side to{after, files_.Changed()};
    recorded_ = std::move(after);
    history_->push(new ListChangeCommand(*this, 0, std::move(from), std::move(to), mergeKey));
}

void PersonRec::RestoreListState(int, const ListState& state, int revision) {
    List().Restore(state.rows);
    used_ = state.used;
    sortState_ = state.sortState;
    find_ = {};
    recorded_ = state;
    files_.PutBack(revision);
    ShowRecord(std::max(CurrentRow(), 1));
}

void PersonRec::ResetFindAndSort() {
    sortState_ = 0;
    find_ = {};
}

void PersonRec::DocumentReplaced() {
    ResetFindAndSort();
    // The steps of the history belong to the document that is gone.
    history_->clear();
    recorded_ = CaptureList();
    MSHFlexGrid1->SetCurrentCell(1, 1);
    MSHFlexGrid1->ScrollCellIntoView(1, 1);
    ShowRecord(1);
}

void PersonRec::ShowDocumentName(const QString& title) {
    FRecord->setText(title);
    FRecord->setToolTip(title);
}

void PersonRec::closeEvent(QCloseEvent* event) {
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    files_.Close();
    ChildWindow::closeEvent(event);
}

}  // namespace pellucard
