#include "windows/document_file_commands.h"

#include <QFile>
#include <QPushButton>

#include "records/dialog_seam.h"
#include "records/file_history.h"
#include "records/record_file.h"
#include "records/record_slots.h"
#include "shell/session.h"

namespace pellucard {
DocumentFileCommands::DocumentFileCommands(DocumentOwner& owner, ShellHost& host,
                                           const RecordFileKind& kind, WindowIndex windowIndex,
                                           int slotCount)
    : owner_(owner), host_(host), kind_(kind), windowIndex_(windowIndex), slotCount_(slotCount) {}

void DocumentFileCommands::SetSaveButton(QPushButton* button) {
    saveButton_ = button;
    ShowSaveState();
}

int DocumentFileCommands::Language() const {
    return host_.CurrentSession().LanguageIndex;
}

QString DocumentFileCommands::Title() const {
    return FileTitleOf(file_, Language());
}

void DocumentFileCommands::Run(FileCommand command) {
    switch (command) {
        case FileCommand::New:
            New();
            break;
        case FileCommand::Open:
            Open();
            break;
        case FileCommand::Save:
            Save();
            break;
        case FileCommand::SaveAs:
            SaveAs();
            break;
        case FileCommand::ImportComma:
            owner_.CmdImport(QLatin1Char(','));
            break;
        case FileCommand::ImportTab:
            owner_.CmdImport(QLatin1Char('\t'));
            break;
        case FileCommand::ExportComma:
            owner_.CmdExport(QLatin1Char(','));
            break;
        case FileCommand::ExportTab:
            owner_.CmdExport(QLatin1Char('\t'));
            break;
    }
}

bool DocumentFileCommands::KeepChanges() {
    if (!Modified())
        return true;
    // A list without a file of its own (its untitled file could not be made) needs a name.
    const bool untitled = untitled_ || file_.isEmpty();
    MessageRequest question = CatalogueMessage(
        untitled ? MessageId::SaveNewRecordQuestion : MessageId::SaveRecordQuestion, Language(),
        DialogButtons::YesNoCancel, DialogIcon::Question);
    if (!untitled)
        question.text += Title() + QStringLiteral("?");
    switch (ShowMessage(question)) {
        case DialogAnswer::Yes:
            if (untitled)
                SaveAs();
            else
                Save();
            return !Modified();  // a cancelled or failed save keeps the list, and the window
        case DialogAnswer::No:
            return true;  // an untitled file goes once the list holds another document
        default:
            return false;
    }
}

void DocumentFileCommands::New() {
    owner_.BeforeFileCommand();
    if (!KeepChanges())
        return;
    const QString path = CreateNewDocument(kind_, Language());
    if (path.isEmpty())
        return;  // the user was told; the document stays as it was
    const QString left = UntitledFile();
    file_ = path;
    untitled_ = true;
    owner_.DocumentUsedCount() = 0;
    ResetList(owner_.DocumentList(), slotCount_);
    owner_.DocumentReplaced();
    MarkSaved();
    owner_.ShowDocumentName(Title());
    // The next free name may be the one just left, when that file had gone meanwhile.
    if (!SamePath(left, file_))
        RemoveUntitled(left);
}

void DocumentFileCommands::Open() {
    owner_.BeforeFileCommand();
    if (!KeepChanges())
        return;
    QString chosen = file_;
    if (ChooseOpenFile(chosen, QLatin1String(kind_.extension), QLatin1String(kind_.openFilterLabel))
            .isEmpty())
        return;
    int used = owner_.DocumentUsedCount();
    if (!LoadRecordFile(owner_.DocumentList(), chosen, used, Language()))
        return;  // the user was told; the list is as it was
    owner_.DocumentUsedCount() = used;
    // Opening the untitled file itself keeps it the document's.
    const bool same = SamePath(chosen, file_);
    const QString left = same ? QString() : UntitledFile();
    untitled_ = untitled_ && same;
    file_ = chosen;
    FileHistory::Instance().RememberOpened(chosen, static_cast<int>(windowIndex_));
    owner_.DocumentReplaced();
    MarkSaved();
    owner_.ShowDocumentName(Title());
    RemoveUntitled(left);
}

bool DocumentFileCommands::SaveInPlace() {
    if (!SaveRecordFile(owner_.DocumentList(), file_, owner_.DocumentUsedCount(), Language()))
        return false;  // the user was told; the list stays modified
    MarkSaved();
    // Saved records are the user's: the file no longer goes with the document.
    untitled_ = false;
    return true;
}

void DocumentFileCommands::Save() {
    owner_.BeforeFileCommand();
    if (!Modified())
        return;
    if (file_.isEmpty())
        SaveAs();
    else
        SaveInPlace();
}

void DocumentFileCommands::SaveAs() {
    owner_.BeforeFileCommand();
    FileRequest request;
    request.nameFilter =
        NameFilterFor(QLatin1String(kind_.saveFilterLabel), QLatin1String(kind_.extension));
    request.defaultSuffix = QLatin1String(kind_.extension).mid(1);
    const QString chosen = CurrentDialogs().ChooseSaveFileName(request);
    if (chosen.isEmpty())
        return;
    if (SamePath(chosen, file_)) {
        // Saving under its own name is a plain save, even of an unmodified list.
        SaveInPlace();
        return;
    }
    QString templateName;
    if (!CopyTemplateFile(templateName, file_, chosen, Language()))
        return;
    if (!SaveRecordFile(owner_.DocumentList(), chosen, owner_.DocumentUsedCount(), Language()))
        return;
    const QString left = UntitledFile();
    file_ = chosen;
    untitled_ = false;
    FileHistory::Instance().RememberOpened(chosen, static_cast<int>(windowIndex_));
    MarkSaved();
    owner_.ShowDocumentName(Title());
    RemoveUntitled(left);
}

void DocumentFileCommands::Close() {
    RemoveUntitled(UntitledFile());
    file_.clear();
    untitled_ = false;
}

void DocumentFileCommands::RemoveUntitled(const QString& file) {
    if (FileExists(file))
        QFile::remove(file);
}

int DocumentFileCommands::Changed() {
    revision_ = ++lastRevision_;
    ShowSaveState();
    return revision_;
}

void DocumentFileCommands::PutBack(int revision) {
    revision_ = revision;
    ShowSaveState();
}

void DocumentFileCommands::MarkSaved() {
    savedRevision_ = revision_;
    ShowSaveState();
}

void DocumentFileCommands::ShowSaveState() {
    const bool modified = Modified();
    if (saveButton_ != nullptr)
        saveButton_->setEnabled(modified);
    if (host_.CurrentSession().CurrentWindow == windowIndex_)
        host_.SetFileCommandEnabled(FileMenuEntry::Save, modified);
}

void DocumentFileCommands::ShowMenuEntries() {
    for (FileMenuEntry entry : {FileMenuEntry::New, FileMenuEntry::Open, FileMenuEntry::SaveAs,
                                FileMenuEntry::Import, FileMenuEntry::Export})
        host_.SetFileCommandEnabled(entry, true);
    host_.SetFileCommandEnabled(FileMenuEntry::Save, Modified());
}

}  // namespace pellucard
