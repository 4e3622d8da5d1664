#pragma once

#include <QLocale>
#include <QString>

namespace pellucard {

// The catalogue's languages as the rest of Qt knows them: a locale for collation and Qt's
// own translations, a short code for what is stored in the settings.

// The locale of catalogue language `languageIndex` (0 English ... 7 Spanish); English for an
// index outside the catalogue.
QLocale LanguageLocale(int languageIndex);

// The ISO 639-1 code of a catalogue language ("en", "nl", ... "es"); empty outside 0..7.
QString LanguageCode(int languageIndex);

// The catalogue language of an ISO 639-1 code, or -1 when the catalogue has none.
int LanguageOfCode(const QString& code);

// The catalogue language nearest `locale`: the first of the locale's user-interface languages
// (in the user's order of preference) that the catalogue speaks, or one closely related to it;
// English when none is.
int NearestLanguage(const QLocale& locale);

}  // namespace pellucard
