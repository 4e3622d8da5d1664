#pragma once

#include <QString>

#include <optional>

#include "catalogue/catalogue.h"

class QDialog;

namespace pellucard {

// Every message box, file dialog and modal dialog of the program goes through one DialogSeam,
// so that the Widgets front end shows real dialogs, the command line tool answers without a
// display, and tests script the answers. This header needs Qt Core only: a modal dialog is
// passed by reference and only a Widgets seam runs it.

// YesNoCancel is for questions whose No throws work away (save before closing?): Cancel,
// Escape and the box's close button leave everything as it was. OkCancel asks the user to do
// something first (put in another card) and press OK; Cancel, Escape and the close button end
// what was under way.
enum class DialogButtons { Ok, YesNo, YesNoCancel, OkCancel };

enum class DialogIcon { None, Information, Question, Warning, Critical };

enum class DialogAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    // The catalogue message of the main text, if it has one. Lets a test tell which message
    // was shown whatever the language and before the catalogue holds its texts.
    std::optional<MessageId> messageId;
    // The text as shown: the catalogue text with whatever the caller joined to it.
    QString text;
    // The catalogue message of the box's title, if any, and the title itself; an empty title
    // means the application's name.
    std::optional<MessageId> titleId;
    QString title;
    DialogButtons buttons = DialogButtons::Ok;
    DialogIcon icon = DialogIcon::None;
    // A Yes/No question whose Yes would write over something: Enter answers No.
    bool noByDefault = false;
};

struct FileRequest {
    QString title;          // empty: the platform's own title
    QString nameFilter;     // Qt form, "Phone Book (*.SPB *.spb)"
    QString folder;         // start folder; empty: the platform's choice
    QString defaultSuffix;  // appended by the dialog to a name typed without one
};

class DialogSeam {
public:
    virtual ~DialogSeam() = default;

    // Shows a modal message box; a box with only OK answers Ok.
    virtual DialogAnswer ShowMessage(const MessageRequest& request) = 0;
    // Returns the chosen path, or an empty string when the user cancelled.
    virtual QString ChooseOpenFileName(const FileRequest& request) = 0;
    virtual QString ChooseSaveFileName(const FileRequest& request) = 0;
    // Runs `dialog`, fully set up by the caller, until it is accepted or rejected; the caller
    // reads what it needs from the dialog afterwards (its result() among it). A seam without a
    // display leaves the dialog unshown, and so rejected.
    virtual void RunModal(QDialog& dialog) = 0;
};

// The process-wide seam. Until one is installed, a fallback without a display writes each
// message to the log and gives the safe answer: Ok to a notice, No to a question, Cancel to
// a question that offers it, and no file name.
DialogSeam& CurrentDialogs();

// The answer that changes nothing: Ok to a notice, No to a Yes/No question, Cancel where
// it is offered.
DialogAnswer SafeAnswer(DialogButtons buttons);

// Makes `seam` current (nullptr restores the fallback) and returns the one it replaces.
// The caller keeps ownership and must uninstall it before destroying it.
DialogSeam* InstallDialogs(DialogSeam* seam);

// Restores the fallback if `seam` is the current one; otherwise does nothing.
void UninstallDialogs(DialogSeam* seam);

// A message box showing catalogue message `messageId` in language `languageIndex`.
// Callers that join more text to the message append it to `text`.
MessageRequest CatalogueMessage(MessageId messageId, int languageIndex,
                                DialogButtons buttons = DialogButtons::Ok,
                                DialogIcon icon = DialogIcon::None);

// Shorthand for CurrentDialogs().ShowMessage(request).
DialogAnswer ShowMessage(const MessageRequest& request);
// An OK box of catalogue message `messageId` whose text, as shown, is `text`.
void ShowMessage(MessageId messageId, const QString& text, DialogIcon icon);
// Shorthand for CurrentDialogs().RunModal(dialog).
void RunModal(QDialog& dialog);

}  // namespace pellucard
