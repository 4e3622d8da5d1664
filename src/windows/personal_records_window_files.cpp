// The personal record window's document: its undo history, what the file commands ask of the
// window, and its closing.
#include <QCloseEvent>
#include <QLabel>
#include <QUndoStack>

#include "windows/personal_records_window.h"
#include "windows/record_list_model.h"

namespace pellucard {

ListState PersonalRecordsWindow::captureList() const {
    return ListState{model_->List().Snapshot(), used_, sortState_};
}

void PersonalRecordsWindow::markModified(int mergeKey) {
    ListState after = captureList();
    if (after == recorded_)
        return;
    ListChangeCommand::Side from{std::move(recorded_), files_.revision()};
    ListChangeCommand::Side to{after, files_.changed()};
    recorded_ = std::move(after);
    history_->push(new ListChangeCommand(*this, 0, std::move(from), std::move(to), mergeKey));
}

void PersonalRecordsWindow::restoreListState(int, const ListState& state, int revision) {
    recordList().Restore(state.rows);
    used_ = state.used;
    sortState_ = state.sortState;
    find_ = {};
    recorded_ = state;
    files_.putBack(revision);
    showRecord(std::max(currentRow(), 1));
}

void PersonalRecordsWindow::resetFindAndSort() {
    sortState_ = 0;
    find_ = {};
}

void PersonalRecordsWindow::documentReplaced() {
    resetFindAndSort();
    // The steps of the history belong to the document that is gone.
    history_->clear();
    recorded_ = captureList();
    recordGrid->setCurrentCell(1, 1);
    recordGrid->scrollCellIntoView(1, 1);
    showRecord(1);
}

void PersonalRecordsWindow::showDocumentName(const QString& title) {
    fileTitle->setText(title);
    fileTitle->setToolTip(title);
}

void PersonalRecordsWindow::closeEvent(QCloseEvent* event) {
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    files_.close();
    ChildWindow::closeEvent(event);
}

}  // namespace pellucard
