#pragma once

#include <QChar>
#include <QString>

#include "records/record_documents.h"
#include "shell/child_window.h"

class QPushButton;

namespace pellucard {

class RecordList;

// What a record window lends the file commands of its document (the list kept in a record
// file) and what it does when they change the document.
class DocumentOwner {
public:
    virtual ~DocumentOwner() = default;

    // The list the document's file holds, and its used count.
    virtual RecordList& documentList() = 0;
    virtual int& documentUsedCount() = 0;
    // Before every file command: an open cell editor leaves its cell first.
    virtual void beforeFileCommand() {}
    // The list now holds another document (a new one, or a file opened): what belonged to
    // the one before (undo steps, find and sort state) goes, and the list shows from the top.
    virtual void documentReplaced() = 0;
    // The document's file name, or "Empty Record" while it has no file.
    virtual void showDocumentName(const QString& title) = 0;
    // Text import and export with the given field separator.
    virtual void importText(QChar delimiter) = 0;
    virtual void exportText(QChar delimiter) = 0;
};

// The file commands of a record window's document: New, Open, Save, Save As, the question
// about unsaved changes, the recent files and the File menu's Save entry.
//
// A new document lives in an automatically named empty file in the application folder (an
// untitled file) until it is saved: in place, which makes the file the user's, or under
// another name. An untitled file goes once another document has taken the list, or when the
// window closes; a failed or cancelled command leaves the document and its file as they were.
//
// Whether the document differs from its file is told by revisions: every change gives the
// list a new one, an undo step puts an older one back, and the revision last saved or opened
// is the file's.
class DocumentFileCommands {
public:
    DocumentFileCommands(DocumentOwner& owner, ShellHost& host, const RecordFileKind& kind,
                         WindowIndex windowIndex, int slotCount);

    // Save follows the document's state; the window creates it after the commands.
    void setSaveButton(QPushButton* button);

    // The File menu's commands; import and export go to the owner.
    void run(FileCommand command);
    void newDocument();
    void open();
    void save();
    void saveAs();
    // Asks whether to save the unsaved changes (Yes, No, Cancel). True when the command may
    // go on: nothing was unsaved, the changes were saved, or the user let them go; false on
    // Cancel or when the save asked for did not happen (the changes must not be lost).
    bool keepChanges();
    // The window closes: an untitled file goes with its document.
    void close();

    const QString& file() const { return file_; }
    // The untitled file while the document still lives in it, else empty.
    QString untitledFile() const { return untitled_ ? file_ : QString(); }
    QString title() const;
    bool modified() const { return revision_ != savedRevision_; }

    // --- Revisions, for the window's undo history ---
    int revision() const { return revision_; }
    // The list changed: gives it a new revision and returns it.
    int changed();
    // An undo or redo step gave the list back the state of `revision`.
    void putBack(int revision);

    // Enables the File menu's entries for the document's window.
    void showMenuEntries();

private:
    int language() const;
    // The document is what its file holds now.
    void markSaved();
    void showSaveState();
    // Writes the list into the document's own file.
    bool saveInPlace();
    // The document left `file`: removes it when it was untitled.
    static void removeUntitled(const QString& file);

    DocumentOwner& owner_;
    ShellHost& host_;
    const RecordFileKind& kind_;
    WindowIndex windowIndex_;
    int slotCount_;
    QPushButton* saveButton_ = nullptr;
    QString file_;
    bool untitled_ = false;
    int revision_ = 0;       // the list's
    int savedRevision_ = 0;  // the file's
    int lastRevision_ = 0;   // the last given out
};

}  // namespace pellucard
