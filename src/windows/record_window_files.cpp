// The record window's file commands on the computer list: new, open, save, save as, and the
// scratch file an untitled list lives in.
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QUndoStack>

#include "catalogue/catalogue.h"
#include "records/dialog_seam.h"
#include "records/file_history.h"
#include "records/record_file.h"
#include "records/record_list_model.h"
#include "records/record_slots.h"
#include "shell/session.h"
#include "windows/record_window.h"

namespace pellucard {

namespace {

constexpr int kSaveRecordMessage = 11800;     // "Do you want to save the record "
constexpr int kSaveNewRecordMessage = 12000;  // "Do you want to save the new record ?"

}  // namespace

void RecordWindow::DeleteScratchFile(const QString& untitled, const QString& current, int used) {
    // An untitled list that holds nothing leaves no file behind.
    if (!untitled.isEmpty() && FileExists(untitled) && SamePath(untitled, current) && used == 0)
        QFile::remove(untitled);
}

bool RecordWindow::KeepChanges(bool closing) {
    if (!Modified())
        return true;
    if (!SamePath(currentFile_, untitledFile_) &&
        !(currentFile_.isEmpty() && untitledFile_.isEmpty())) {
        MessageRequest question = CatalogueMessage(
            kSaveRecordMessage, Language(), DialogButtons::YesNoCancel, DialogIcon::Question);
        question.text += FileTitleOf(currentFile_, Language()) + QStringLiteral("?");
        const DialogAnswer answer = ShowMessage(question);
        if (answer == DialogAnswer::Cancel)
            return false;
        if (answer == DialogAnswer::Yes)
            CmdNewSave_Click();
        return answer == DialogAnswer::No || !Modified();  // a failed save keeps the list
    }
    MessageRequest question = CatalogueMessage(kSaveNewRecordMessage, Language(),
                                               DialogButtons::YesNoCancel, DialogIcon::Question);
    const DialogAnswer answer = ShowMessage(question);
    if (answer == DialogAnswer::Cancel)
        return false;
    if (answer == DialogAnswer::Yes) {
        CmdSaveAs_Click();
        return !Modified();  // a cancelled Save As keeps the list, and the command stops
    }
    if (!closing)
        RemoveUntitledFile();
    return true;
}

bool RecordWindow::AskAboutUnsavedWork() {
    if (busy_)
        return false;  // card work is never cut off
    return KeepChanges(true);
}

void RecordWindow::RemoveUntitledFile() {
    if (!untitledFile_.isEmpty() && FileExists(untitledFile_) &&
        SamePath(untitledFile_, currentFile_))
        QFile::remove(untitledFile_);
}

void RecordWindow::CmdNewNewrecord_Click() {
    HideCellEditor();
    const QString oldCurrent = currentFile_;
    const QString oldUntitled = untitledFile_;
    const int oldUsed = used_[kComputerList];
    if (!KeepChanges())
        return;

    const QString path = CreateNewDocument(*Kind().file, Language());
    currentFile_ = path;
    untitledFile_ = path;
    used_[kComputerList] = 0;
    ResetList(List(kComputerList), kSlotCapacity);
    // The steps of the history belong to the document that is gone.
    history_->clear();
    MarkSaved();
    sortState_[kComputerList] = 0;
    find_[kComputerList] = {};
    AfterLoad(kComputerList);
    SetTitle(kComputerList, FileTitleOf(path, Language()));
    if (!SamePath(oldUntitled, path))
        DeleteScratchFile(oldUntitled, oldCurrent, oldUsed);
}

void RecordWindow::CmdNewOpen_Click(int flag) {
    HideCellEditor();
    const QString oldCurrent = currentFile_;
    const QString oldUntitled = untitledFile_;
    if (!KeepChanges())
        return;

    QString chosen = currentFile_;
    const QString title = ChooseOpenFile(chosen, QLatin1String(Kind().file->extension),
                                         QLatin1String(Kind().file->openFilterLabel));
    if (title.isEmpty() || chosen.isEmpty())
        return;
    int used = used_[kComputerList];
    if (!LoadRecordFile(List(kComputerList), chosen, used, Language()))
        return;  // told the user; the list stays as it was
    currentFile_ = chosen;
    FileHistory::Instance().RememberOpened(chosen, Kind().windowIndex);
    used_[kComputerList] = used;
    sortState_[kComputerList] = 0;
    find_[kComputerList] = {};
    SetTitle(kComputerList, title + QLatin1String(Kind().file->extension));
    AfterLoad(kComputerList);
    history_->clear();
    if (flag == 0)
        MarkSaved();
    if (!oldUntitled.isEmpty() && FileExists(oldUntitled) && SamePath(oldUntitled, oldCurrent) &&
        !SamePath(oldUntitled, currentFile_)) {
        QFile::remove(oldUntitled);
        untitledFile_.clear();
    } else if (!SamePath(untitledFile_, currentFile_)) {
        untitledFile_.clear();
    }
}

void RecordWindow::CmdNewSave_Click() {
    HideCellEditor();
    if (!Modified() || currentFile_.isEmpty())
        return;
    if (!SaveRecordFile(List(kComputerList), currentFile_, used_[kComputerList], Language()))
        return;  // told the user; the list stays modified
    MarkSaved();
    untitledFile_.clear();
}

void RecordWindow::CmdSaveAs_Click() {
    HideCellEditor();
    const QString oldCurrent = currentFile_;
    const QString oldUntitled = untitledFile_;
    FileRequest request;
    request.nameFilter = NameFilterFor(QLatin1String(Kind().file->saveFilterLabel),
                                       QLatin1String(Kind().file->extension));
    request.defaultSuffix = QString::fromLatin1(Kind().file->extension).mid(1);
    const QString chosen = CurrentDialogs().ChooseSaveFileName(request);
    if (chosen.isEmpty())
        return;
    if (SamePath(chosen, currentFile_)) {
        // Saving under its own name is a plain save, even of an unmodified list.
        if (!SaveRecordFile(List(kComputerList), currentFile_, used_[kComputerList], Language()))
            return;
        MarkSaved();
        untitledFile_.clear();
        return;
    }
    QString templateName;
    if (!CopyTemplateFile(templateName, currentFile_, chosen, Language()))
        return;
    if (!SaveRecordFile(List(kComputerList), chosen, used_[kComputerList], Language()))
        return;
    currentFile_ = chosen;
    FileHistory::Instance().RememberOpened(chosen, Kind().windowIndex);
    MarkSaved();
    SetTitle(kComputerList, FileTitleOf(chosen, Language()));
    if (!oldUntitled.isEmpty() && FileExists(oldUntitled) && SamePath(oldUntitled, oldCurrent) &&
        !SamePath(oldUntitled, currentFile_))
        QFile::remove(oldUntitled);
    untitledFile_.clear();
}

}  // namespace pellucard
