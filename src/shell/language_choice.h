#pragma once

#include <QLocale>

#include <optional>

class QSettings;

namespace pellucard {

// Which catalogue language a run starts in. A language the user chose (in the Help menu's
// Language entries or with --language) is remembered and used at the next start; until the
// user has chosen one, the run starts in the language nearest the desktop's locale.

// The language of this run: `commandLine` when given (and it is then remembered), else the one
// remembered in `settings`, else the one nearest `desktop`. `settings` may be null.
int startLanguage(std::optional<int> commandLine, QSettings* settings, const QLocale& desktop);

// Remembers `languageIndex` as the user's choice; nothing when `settings` is null or the index
// is no catalogue language.
void rememberLanguage(QSettings* settings, int languageIndex);

// The language remembered in `settings`, if any (an unknown code counts as none).
std::optional<int> rememberedLanguage(QSettings* settings);

}  // namespace pellucard
