#pragma once

#include <QSettings>

#include <memory>

namespace pellucard {

// What the program remembers between runs (the main window's place, the folder last used in
// a file dialog, the files opened last) lives in one settings store. None is attached until the
// program attaches the user's own, so tests and tools that attach a scratch store, or none,
// never read or write the user's settings.
void AttachSettings(std::unique_ptr<QSettings> settings);

// The attached store, or nullptr.
QSettings* ProgramSettings();

}  // namespace pellucard
