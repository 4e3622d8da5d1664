#include "shell/language_choice.h"

#include <QSettings>

#include "catalogue/languages.h"

namespace pellucard {
namespace {
// Stored as the language's code, so that the setting reads the same whatever order the
// catalogue's languages come in.
constexpr char kLanguageKey[] = "language";
}  // namespace

int startLanguage(std::optional<int> commandLine, QSettings* settings, const QLocale& desktop) {
    if (commandLine) {
        rememberLanguage(settings, *commandLine);
        return *commandLine;
    }
    if (const std::optional<int> remembered = rememberedLanguage(settings))
        return *remembered;
    return NearestLanguage(desktop);
}

void rememberLanguage(QSettings* settings, int languageIndex) {
    const QString code = LanguageCode(languageIndex);
    if (settings == nullptr || code.isEmpty())
        return;
    settings->setValue(QLatin1String(kLanguageKey), code);
}

std::optional<int> rememberedLanguage(QSettings* settings) {
    if (settings == nullptr)
        return std::nullopt;
    const int index = LanguageOfCode(settings->value(QLatin1String(kLanguageKey)).toString());
    if (index < 0)
        return std::nullopt;
    return index;
}

}  // namespace pellucard
