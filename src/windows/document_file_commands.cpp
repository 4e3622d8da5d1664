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

void DocumentFileCommands::setSaveButton(QPushButton* button) {
    saveButton_ = button;
    showSaveState();
}

int DocumentFileCommands::language() const {
    return host_.currentSession().LanguageIndex;
}

QString DocumentFileCommands::title() const {
    return FileTitleOf(file_, language());
}

void DocumentFileCommands::run(FileCommand command) {
    switch (command) {
        case FileCommand::New:
            newDocument();
            break;
        case FileCommand::Open:
            open();
            break;
        case FileCommand::Save:
            save();
            break;
        case FileCommand::SaveAs:
            saveAs();
            break;
        case FileCommand::ImportComma:
            owner_.importText(QLatin1Char(','));
            break;
        case FileCommand::ImportTab:
            owner_.importText(QLatin1Char('\t'));
            break;
        case FileCommand::ExportComma:
            owner_.exportText(QLatin1Char(','));
            break;
        case FileCommand::ExportTab:
            owner_.exportText(QLatin1Char('\t'));
            break;
    }
}

bool DocumentFileCommands::keepChanges() {
    if (!modified())
        return true;
    // A list without a file of its own (its untitled file could not be made) needs a name.
    const bool untitled = untitled_ || file_.isEmpty();
    MessageRequest question = CatalogueMessage(
        untitled ? MessageId::SaveNewRecordQuestion : MessageId::SaveRecordQuestion, language(),
        DialogButtons::YesNoCancel, DialogIcon::Question);
    if (!untitled)
        question.text += title() + QStringLiteral("?");
    switch (ShowMessage(question)) {
        case DialogAnswer::Yes:
            if (untitled)
                saveAs();
            else
                save();
            return !modified();  // a cancelled or failed save keeps the list, and the window
        case DialogAnswer::No:
            return true;  // an untitled file goes once the list holds another document
        default:
            return false;
    }
}

void DocumentFileCommands::newDocument() {
    owner_.beforeFileCommand();
    if (!keepChanges())
        return;
    const QString path = CreateNewDocument(kind_, language());
    if (path.isEmpty())
        return;  // the user was told; the document stays as it was
    const QString left = untitledFile();
    file_ = path;
    untitled_ = true;
    owner_.documentUsedCount() = 0;
    ResetList(owner_.documentList(), slotCount_);
    owner_.documentReplaced();
    markSaved();
    owner_.showDocumentName(title());
    // The next free name may be the one just left, when that file had gone meanwhile.
    if (!SamePath(left, file_))
        removeUntitled(left);
}

void DocumentFileCommands::open() {
    owner_.beforeFileCommand();
    if (!keepChanges())
        return;
    QString chosen = file_;
    if (ChooseOpenFile(chosen, QLatin1String(kind_.extension), QLatin1String(kind_.openFilterLabel))
            .isEmpty())
        return;
    int used = owner_.documentUsedCount();
    if (!LoadRecordFile(owner_.documentList(), chosen, used, language()))
        return;  // the user was told; the list is as it was
    owner_.documentUsedCount() = used;
    // Opening the untitled file itself keeps it the document's.
    const bool same = SamePath(chosen, file_);
    const QString left = same ? QString() : untitledFile();
    untitled_ = untitled_ && same;
    file_ = chosen;
    FileHistory::Instance().RememberOpened(chosen, static_cast<int>(windowIndex_));
    owner_.documentReplaced();
    markSaved();
    owner_.showDocumentName(title());
    removeUntitled(left);
}

bool DocumentFileCommands::saveInPlace() {
    if (!SaveRecordFile(owner_.documentList(), file_, owner_.documentUsedCount(), language()))
        return false;  // the user was told; the list stays modified
    markSaved();
    // Saved records are the user's: the file no longer goes with the document.
    untitled_ = false;
    return true;
}

void DocumentFileCommands::save() {
    owner_.beforeFileCommand();
    if (!modified())
        return;
    if (file_.isEmpty())
        saveAs();
    else
        saveInPlace();
}

void DocumentFileCommands::saveAs() {
    owner_.beforeFileCommand();
    FileRequest request;
    request.nameFilter =
        NameFilterFor(QLatin1String(kind_.saveFilterLabel), QLatin1String(kind_.extension));
    request.defaultSuffix = QLatin1String(kind_.extension).mid(1);
    const QString chosen = CurrentDialogs().ChooseSaveFileName(request);
    if (chosen.isEmpty())
        return;
    if (SamePath(chosen, file_)) {
        // Saving under its own name is a plain save, even of an unmodified list.
        saveInPlace();
        return;
    }
    QString templateName;
    if (!CopyTemplateFile(templateName, file_, chosen, language()))
        return;
    if (!SaveRecordFile(owner_.documentList(), chosen, owner_.documentUsedCount(), language()))
        return;
    const QString left = untitledFile();
    file_ = chosen;
    untitled_ = false;
    FileHistory::Instance().RememberOpened(chosen, static_cast<int>(windowIndex_));
    markSaved();
    owner_.showDocumentName(title());
    removeUntitled(left);
}

void DocumentFileCommands::close() {
    removeUntitled(untitledFile());
    file_.clear();
    untitled_ = false;
}

void DocumentFileCommands::removeUntitled(const QString& file) {
    if (FileExists(file))
        QFile::remove(file);
}

int DocumentFileCommands::changed() {
    revision_ = ++lastRevision_;
    showSaveState();
    return revision_;
}

void DocumentFileCommands::putBack(int revision) {
    revision_ = revision;
    showSaveState();
}

void DocumentFileCommands::markSaved() {
    savedRevision_ = revision_;
    showSaveState();
}

void DocumentFileCommands::showSaveState() {
    const bool changed = modified();
    if (saveButton_ != nullptr)
        saveButton_->setEnabled(changed);
    if (host_.currentSession().CurrentWindow == windowIndex_)
        host_.setFileCommandEnabled(FileMenuEntry::Save, changed);
}

void DocumentFileCommands::showMenuEntries() {
    for (FileMenuEntry entry : {FileMenuEntry::New, FileMenuEntry::Open, FileMenuEntry::SaveAs,
                                FileMenuEntry::Import, FileMenuEntry::Export})
        host_.setFileCommandEnabled(entry, true);
    host_.setFileCommandEnabled(FileMenuEntry::Save, modified());
}

}  // namespace pellucard
