#pragma once

#include <QString>

#include "catalogue/catalogue.h"

namespace pellucard {

// The file helpers around the record windows' New, Open, Save and Save As commands.

// The kinds of record file a window keeps, with the catalogue's labels of its file dialogs
// (the extension follows the label) and the stem of its automatically named new documents.
struct RecordFileKind {
    const char* extension;
    const char* newDocumentStem;
    MessageId openFilterLabel;
    MessageId saveFilterLabel;
};

inline constexpr RecordFileKind kPhoneBookFile{".SPB", "NewPhoneRecord", MessageId::PhoneBookFilter,
                                               MessageId::PhoneBookFilter};
inline constexpr RecordFileKind kPersonalRecordFile{
    ".SPB", "NewPhoneRecord", MessageId::PersonalRecordFilter, MessageId::PhoneBookFilter};
inline constexpr RecordFileKind kSmsFile{".sms", "NewSMSRecord", MessageId::SmsRecordFilter,
                                         MessageId::SmsBookFilter};

// The Qt name filter of a dialog filter label and an extension: "Phone Book |*" and
// ".SPB" give "Phone Book (*.SPB *.spb)", so that either case of the extension matches.
QString NameFilterFor(const QString& filterLabel, const QString& extension);

// True when a file (hidden and read-only ones included) exists at `path`.
bool FileExists(const QString& path);

// The file name of a path (the text after its last separator); for an empty path
// EmptyRecord ("Empty Record").
QString FileTitleOf(const QString& path, int languageIndex);

// True when both paths name the same file, letter case counting as the platform's file
// system does. Empty paths name no file.
bool SamePath(const QString& a, const QString& b);

// Save As preparation: creates or empties `targetPath` from the template `templateName`
// of the application folder (empty: "temp.sys", and `templateName` is set to it). When
// the target exists the user is asked first (ReplaceFileQuestion + file name + " ?"); No, an
// empty target or the current document's own path give false. A target that cannot be
// written is reported and gives false.
bool CopyTemplateFile(QString& templateName, const QString& currentDocument,
                      const QString& targetPath, int languageIndex);

// The next ChooseOpenFile takes `path` without showing the dialog (an empty path: shows it
// again). The File menu's recent files open through the windows' own Open commands, with their
// questions about unsaved work; the caller clears it once the command has run.
void ChooseNextOpenFile(const QString& path);

// Asks for an existing file to open, showing the dialog (titled "Open" in language
// `languageIndex`) again while the chosen file does not exist. Returns the chosen file's name
// up to its first ".", or an empty string when the user cancelled; `currentPath` becomes the
// chosen path.
QString ChooseOpenFile(QString& currentPath, const QString& extension, const QString& filterLabel,
                       int languageIndex = 0);

// The path of the first "<stem><n><extension>" (n = 0, 1, ...) not yet in the application
// folder.
QString NextNewDocumentPath(const RecordFileKind& kind);

// Creates the next new document of `kind` as an empty file from the template and returns
// its path; reports a failure and returns an empty string.
QString CreateNewDocument(const RecordFileKind& kind, int languageIndex);

}  // namespace pellucard
