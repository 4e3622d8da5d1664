#pragma once

namespace pellucard {

// Makes Qt's own parts speak catalogue language `languageIndex`: the buttons of message boxes,
// the file, print and preview dialogs (Qt's translation qtbase_*.qm from Qt's translations
// folder, Debian's qt6-translations-l10n), and the default locale that sorting, finding and
// Qt's dialogs follow. Replaces the translation of the language before. True when Qt's
// translation for the language was found (English needs none); without it the buttons of
// message boxes take the catalogue's words and Qt's other texts stay English.
bool applyQtLanguage(int languageIndex);

}  // namespace pellucard
