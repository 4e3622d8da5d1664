#pragma once

#include <QString>

namespace pellucard {

// The folder of the program's own files: the empty template "temp.sys" and the documents
// that New creates ("NewPhoneRecord0.SPB", ...). An installed program cannot write beside
// itself, so this is a subfolder of the user's application data folder, where no file dialog
// starts and the user's own files are not mixed with the program's scratch files.

inline constexpr char kTemplateFileName[] = "temp.sys";

// The folder set by SetApplicationFolder, else the "scratch" subfolder of the platform's
// application data location.
QString ApplicationFolder();

// Puts the program's files into `folder` instead (tests, portable installs); an empty
// folder restores the standard location.
void SetApplicationFolder(const QString& folder);

// Creates the folder and its empty template when they are missing; a template left in the
// application data folder itself by an earlier version is taken over. False when that fails.
bool EnsureApplicationFolder();

// The path of `fileName` inside the application folder.
QString ApplicationFilePath(const QString& fileName);

}  // namespace pellucard
