// The personal record window's file commands: new, open, save, save as, and the empty file
// that a new document lives in until it is saved under a name.
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QUndoStack>

#include "records/dialog_seam.h"
#include "records/file_history.h"
#include "records/record_documents.h"
#include "records/record_file.h"
#include "records/record_list_model.h"
#include "records/record_slots.h"
#include "shell/session.h"
#include "windows/person_rec.h"

namespace pellucard {
namespace {

constexpr int kSaveRecordMessage = 11800;     // "Do you want to save the record "
constexpr int kSaveNewRecordMessage = 12000;  // "Do you want to save the new record ?"

}  // namespace

bool PersonRec::Modified() const {
    return !currentFile_.isEmpty() && revision_ != savedRevision_;
}

void PersonRec::SetSaveEnabled(bool enabled) {
    CmdNewSave->setEnabled(enabled);
    if (const_cast<PersonRec*>(this)->CurrentSession().CurrentWindow == window_index::kPersonRec)
        Host().SetFileCommandEnabled(FileMenuEntry::Save, enabled);
}

void PersonRec::UpdateSaveState() {
    SetSaveEnabled(Modified());
}

ListState PersonRec::CaptureList() const {
    return ListState{model_->List().Snapshot(), used_, sortState_};
}

void PersonRec::MarkModified(int mergeKey) {
    ListState after = CaptureList();
    if (after == recorded_)
        return;
    ListChangeCommand::Side from{std::move(recorded_), revision_};
    revision_ = ++lastRevision_;
    ListChangeCommand::Side to{after, revision_};
    recorded_ = std::move(after);
    history_->push(new ListChangeCommand(*this, 0, std::move(from), std::move(to), mergeKey));
    UpdateSaveState();
}

void PersonRec::MarkSaved(bool fresh) {
    if (fresh) {
        history_->clear();
        recorded_ = CaptureList();
    }
    savedRevision_ = revision_;
    UpdateSaveState();
}

void PersonRec::RestoreListState(int, const ListState& state, int revision) {
    List().Restore(state.rows);
    used_ = state.used;
    sortState_ = state.sortState;
    find_ = {};
    recorded_ = state;
    revision_ = revision;
    UpdateSaveState();
    ShowRecord(std::max(CurrentRow(), 1));
}

bool PersonRec::KeepChanges() {
    if (!Modified())
        return true;
    const bool untitled = !newFile_.isEmpty() && SamePath(currentFile_, newFile_);
    MessageRequest question =
        CatalogueMessage(untitled ? kSaveNewRecordMessage : kSaveRecordMessage, Language(),
                         DialogButtons::YesNoCancel, DialogIcon::Question);
    if (!untitled)
        question.text += FileTitleOf(currentFile_, Language()) + QStringLiteral("?");
    switch (ShowMessage(question)) {
        case DialogAnswer::Yes:
            if (untitled)
                CmdSaveAs_Click();
            else
                CmdNewSave_Click();
            return !Modified();  // a cancelled or failed save keeps the records, and the window
        case DialogAnswer::No:
            return true;  // closing removes an untitled document's file
        default:
            return false;
    }
}

void PersonRec::DeleteNewFileUnless(const QString& keep) {
    if (!newFile_.isEmpty() && !SamePath(newFile_, keep) && FileExists(newFile_))
        QFile::remove(newFile_);
    if (!SamePath(newFile_, keep))
        newFile_.clear();
}

void PersonRec::ShowFileName() {
    const QString title = FileTitleOf(currentFile_, Language());
    FRecord->setText(title);
    FRecord->setToolTip(title);
}

void PersonRec::ResetFindAndSort() {
    sortState_ = 0;
    find_ = {};
}

void PersonRec::CmdNewNewrecord_Click() {
    if (!KeepChanges())
        return;
    const bool wasNew = !newFile_.isEmpty() && SamePath(currentFile_, newFile_);
    const QString previous = newFile_;
    const QString path = CreateNewDocument(kPersonalRecordFile, Language());
    if (path.isEmpty())
        return;  // the user was told; the document stays as it was
    currentFile_ = path;
    newFile_ = path;
    used_ = 0;
    ResetList(List(), kSlotCount);
    ResetFindAndSort();
    MarkSaved(true);
    ShowFileName();
    MSHFlexGrid1->SetCurrentCell(1, 1);
    MSHFlexGrid1->ScrollCellIntoView(1, 1);
    ShowRecord(1);
    if (wasNew && !SamePath(previous, path) && FileExists(previous))
        QFile::remove(previous);
}

void PersonRec::CmdNewOpen_Click() {
    if (!KeepChanges())
        return;
    QString chosen = currentFile_;
    if (ChooseOpenFile(chosen, QLatin1String(kPersonalRecordFile.extension),
                       QLatin1String(kPersonalRecordFile.openFilterLabel))
            .isEmpty())
        return;
    int used = used_;
    if (!LoadRecordFile(List(), chosen, used, Language()))
        return;  // the user was told; the list is as it was
    used_ = used;
    const bool wasNew = !newFile_.isEmpty() && SamePath(currentFile_, newFile_);
    currentFile_ = chosen;
    FileHistory::Instance().RememberOpened(chosen, window_index::kPersonRec);
    ShowFileName();
    ResetFindAndSort();
    MarkSaved(true);
    MSHFlexGrid1->SetCurrentCell(1, 1);
    MSHFlexGrid1->ScrollCellIntoView(1, 1);
    ShowRecord(1);
    if (wasNew)
        DeleteNewFileUnless(chosen);
}

void PersonRec::CmdNewSave_Click() {
    if (!Modified() || currentFile_.isEmpty())
        return;
    if (!SaveRecordFile(List(), currentFile_, used_, Language()))
        return;
    MarkSaved(false);
    // Saved records are the user's: the file is no longer one to delete when the document
    // changes.
    if (SamePath(currentFile_, newFile_))
        newFile_.clear();
}

void PersonRec::CmdSaveAs_Click() {
    FileRequest request;
    request.nameFilter = NameFilterFor(QLatin1String(kPersonalRecordFile.saveFilterLabel),
                                       QLatin1String(kPersonalRecordFile.extension));
    request.defaultSuffix = QLatin1String(kPersonalRecordFile.extension).mid(1);
    const QString chosen = CurrentDialogs().ChooseSaveFileName(request);
    if (chosen.isEmpty())
        return;
    if (SamePath(chosen, currentFile_)) {
        if (SaveRecordFile(List(), currentFile_, used_, Language())) {
            MarkSaved(false);
            if (SamePath(currentFile_, newFile_))
                newFile_.clear();
        }
        return;
    }
    QString templateName;
    if (!CopyTemplateFile(templateName, currentFile_, chosen, Language()))
        return;
    if (!SaveRecordFile(List(), chosen, used_, Language()))
        return;
    const bool wasNew = !newFile_.isEmpty() && SamePath(currentFile_, newFile_);
    currentFile_ = chosen;
    FileHistory::Instance().RememberOpened(chosen, window_index::kPersonRec);
    MarkSaved(false);
    ShowFileName();
    if (wasNew)
        DeleteNewFileUnless(chosen);
}

void PersonRec::closeEvent(QCloseEvent* event) {
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    if (!newFile_.isEmpty() && SamePath(currentFile_, newFile_))
        DeleteNewFileUnless(QString());
    currentFile_.clear();
    ChildWindow::closeEvent(event);
}

}  // namespace pellucard
