#include "catalogue/languages.h"

#include <array>

#include "catalogue/catalogue.h"

namespace pellucard {
namespace {

struct CatalogueLanguage {
    const char* code;
    QLocale::Language language;
    QLocale::Territory territory;
};

// In language index order. The territory is the one whose spelling the catalogue follows
// (European Portuguese: "Guardar como", "Por ler").
constexpr std::array<CatalogueLanguage, kLanguageCount> kLanguages{{
    {"en", QLocale::English, QLocale::UnitedKingdom},
    {"nl", QLocale::Dutch, QLocale::Netherlands},
    {"fr", QLocale::French, QLocale::France},
    {"de", QLocale::German, QLocale::Germany},
    {"el", QLocale::Greek, QLocale::Greece},
    {"it", QLocale::Italian, QLocale::Italy},
    {"pt", QLocale::Portuguese, QLocale::Portugal},
    {"es", QLocale::Spanish, QLocale::Spain},
}};

// A language the catalogue does not speak whose speakers read one it does.
QLocale::Language Relative(QLocale::Language language) {
    switch (language) {
        case QLocale::SwissGerman:
        case QLocale::LowGerman:
        case QLocale::Luxembourgish:
            return QLocale::German;
        case QLocale::WesternFrisian:
            return QLocale::Dutch;
        case QLocale::Galician:
            return QLocale::Portuguese;
        case QLocale::Catalan:
        case QLocale::Asturian:
            return QLocale::Spanish;
        default:
            return language;
    }
}

int IndexOf(QLocale::Language language) {
    for (int k = 0; k < kLanguageCount; ++k)
        if (kLanguages[static_cast<std::size_t>(k)].language == language)
            return k;
    return -1;
}

}  // namespace

QLocale LanguageLocale(int languageIndex) {
    if (languageIndex < 0 || languageIndex >= kLanguageCount)
        languageIndex = 0;
    const CatalogueLanguage& entry = kLanguages[static_cast<std::size_t>(languageIndex)];
    return QLocale(entry.language, entry.territory);
}

QString LanguageCode(int languageIndex) {
    if (languageIndex < 0 || languageIndex >= kLanguageCount)
        return {};
    return QString::fromLatin1(kLanguages[static_cast<std::size_t>(languageIndex)].code);
}

int LanguageOfCode(const QString& code) {
    for (int k = 0; k < kLanguageCount; ++k)
        if (code == QLatin1String(kLanguages[static_cast<std::size_t>(k)].code))
            return k;
    return -1;
}

int NearestLanguage(const QLocale& locale) {
    // uiLanguages holds the user's preferred languages ("de-AT", "de", "en-US", ...) first to
    // last; the locale's own language comes first in it.
    QStringList names = locale.uiLanguages();
    if (names.isEmpty())
        names.append(locale.name());
    for (const QString& name : std::as_const(names)) {
        const QLocale::Language language = QLocale(name).language();
        if (language == QLocale::C || language == QLocale::AnyLanguage)
            continue;
        const int index = IndexOf(Relative(language));
        if (index >= 0)
            return index;
    }
    return 0;
}

}  // namespace pellucard
