#include "shell/qt_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QStringList>
#include <QTranslator>

#include "catalogue/catalogue.h"
#include "catalogue/languages.h"

namespace pellucard {
namespace {

// For a language Qt has no translation of (Debian ships none of Greek): the buttons of the
// program's message boxes in the catalogue's words, so that a question is not answered in
// English. Everything else of Qt stays English.
class CatalogueButtonTexts final : public QTranslator {
public:
    CatalogueButtonTexts(int languageIndex, QObject* parent)
        : QTranslator(parent), language_(languageIndex) {}

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QPlatformTheme") != 0)
            return {};
        const struct {
            const char* source;
            MessageId id;
        } buttons[] = {{"&Yes", MessageId::Yes},
                       {"&No", MessageId::No},
                       {"Cancel", MessageId::Cancel},
                       {"OK", MessageId::Ok}};
        for (const auto& button : buttons) {
            if (qstrcmp(sourceText, button.source) == 0)
                return Message(button.id, language_);
        }
        return {};
    }
    bool isEmpty() const override { return false; }

private:
    int language_;
};

// The application's one translator of Qt's texts; it goes with the application object.
QPointer<QTranslator>& installed() {
    static QPointer<QTranslator> translator;
    return translator;
}

// The locale of a language in force: the desktop's own when it speaks that language (so that a
// user in Austria or Brazil keeps the country's ways), else the catalogue's.
QLocale localeInForce(int languageIndex) {
    const QLocale catalogue = LanguageLocale(languageIndex);
    const QLocale desktop = QLocale::system();
    return desktop.language() == catalogue.language() ? desktop : catalogue;
}

// The translation files to try for a locale, best first. Qt has no European Portuguese
// qtbase file; the Brazilian one reads far better to a Portuguese user than English does.
QStringList qtFileNames(const QLocale& locale) {
    const QString name = locale.name();  // "pt_PT"
    QStringList files{QStringLiteral("qtbase_") + name,
                      QStringLiteral("qtbase_") + name.section(u'_', 0, 0)};
    if (locale.language() == QLocale::Portuguese)
        files.append(QStringLiteral("qtbase_pt_BR"));
    return files;
}

}  // namespace

bool applyQtLanguage(int languageIndex) {
    const QLocale locale = localeInForce(languageIndex);
    QLocale::setDefault(locale);
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        return false;
    if (QTranslator* before = installed()) {
        QCoreApplication::removeTranslator(before);
        delete before;
    }
    if (locale.language() == QLocale::English)
        return true;  // Qt's texts are English
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(application);
    for (const QString& file : qtFileNames(locale)) {
        if (translator->load(file, folder)) {
            QCoreApplication::installTranslator(translator);
            installed() = translator;
            return true;
        }
    }
    delete translator;
    translator = new CatalogueButtonTexts(languageIndex, application);
    QCoreApplication::installTranslator(translator);
    installed() = translator;
    return false;
}

}  // namespace pellucard
