// The language a run starts in and Qt's own texts in it: the desktop's locale picks the first
// language, the user's choice is remembered for the next start, the command line wins for its
// run, and message boxes speak the language in force.
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#include "catalogue/catalogue.h"
#include "catalogue/languages.h"
#include "records/program_settings.h"
#include "shell/language_choice.h"
#include "shell/qt_language.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr int kEnglish = 0, kDutch = 1, kFrench = 2, kGerman = 3, kGreek = 4, kItalian = 5,
              kPortuguese = 6, kSpanish = 7;

// One start of the program as main() makes it: the language is chosen before the main window
// opens, from the command line, the settings and the desktop's locale.
class ProgramStart final : public SessionRig {
public:
    ProgramStart(const QLocale& desktop, std::optional<int> commandLine = std::nullopt) {
        registerShellWindows(factory);
        session->setLanguageIndex(startLanguage(commandLine, ProgramSettings(), desktop));
        main = std::make_unique<MainWindow>(*session, factory, kTestPeriods);
        main->show();
        main->start();
    }
    ~ProgramStart() override { main.reset(); }
    PinDialogLauncher& pinLauncher() override { return main->pinDialogs(); }

    QAction* languageEntry(int k) {
        return main->findChild<QAction*>(QStringLiteral("languageAction_%1").arg(k));
    }
    // The language the window speaks, told by its File menu and the checked language entry.
    bool speaks(int k) {
        auto* file = main->findChild<QMenu*>("fileMenu");
        return file->title() == Message(MessageId::FileMenu, k) && languageEntry(k)->isChecked() &&
               session->languageIndex() == k;
    }

    WindowFactory factory;
    std::unique_ptr<MainWindow> main;
};

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        settingsFolder = std::make_unique<QTemporaryDir>();
        AttachSettings(std::make_unique<QSettings>(settingsFolder->filePath("pellucard.ini"),
                                                   QSettings::IniFormat));
    }
    void cleanup() {
        applyQtLanguage(kEnglish);
        AttachSettings(nullptr);
    }

    void desktopLocalePicksTheNearestLanguage_data();
    void desktopLocalePicksTheNearestLanguage();
    void startLanguageFollowsTheCommandLineTheChoiceThenTheDesktop();
    void menuChoiceSurvivesARestart();
    void messageBoxesSpeakTheLanguageInForce();

private:
    std::unique_ptr<QTemporaryDir> settingsFolder;
};

void LanguageTest::desktopLocalePicksTheNearestLanguage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("language");
    QTest::newRow("Austria") << "de_AT" << kGerman;
    QTest::newRow("Brazil") << "pt_BR" << kPortuguese;
    QTest::newRow("Catalan") << "ca_ES" << kSpanish;
    QTest::newRow("Sweden: none near") << "sv_SE" << kEnglish;
}

void LanguageTest::desktopLocalePicksTheNearestLanguage() {
    QFETCH(QString, locale);
    QFETCH(int, language);
    QCOMPARE(NearestLanguage(QLocale(locale)), language);
}

// The command line wins for its run and is remembered; then the remembered choice; then the
// desktop, whose language is no choice of the user's and is not remembered. A remembered code
// the catalogue does not know (written by hand, or by a later version) counts as none.
void LanguageTest::startLanguageFollowsTheCommandLineTheChoiceThenTheDesktop() {
    QSettings* settings = ProgramSettings();
    const QLocale belgium(QLocale::French, QLocale::Belgium);
    QCOMPARE(startLanguage(std::nullopt, settings, belgium), kFrench);
    QVERIFY(!rememberedLanguage(settings));
    rememberLanguage(settings, kDutch);
    QCOMPARE(startLanguage(std::nullopt, settings, belgium), kDutch);
    QCOMPARE(startLanguage(kSpanish, settings, belgium), kSpanish);
    QCOMPARE(startLanguage(std::nullopt, settings, belgium), kSpanish);
    settings->setValue("language", "fi");
    QCOMPARE(startLanguage(std::nullopt, settings, QLocale(QLocale::Italian)), kItalian);
}

// The choice in the menu is remembered for the next start.
void LanguageTest::menuChoiceSurvivesARestart() {
    {
        ProgramStart first(QLocale(QLocale::French, QLocale::Belgium));
        QVERIFY(first.speaks(kFrench));
        first.languageEntry(kGreek)->trigger();
        QVERIFY(first.speaks(kGreek));
    }
    ProgramSettings()->sync();
    ProgramStart second(QLocale(QLocale::French, QLocale::Belgium));
    QVERIFY(second.speaks(kGreek));
    QCOMPARE(ProgramSettings()->value("language").toString(), QString("el"));
}

// Qt's own texts follow the language in force: its translation where Qt has one (the
// Brazilian one standing in for European Portuguese), else the catalogue's words (Greek).
void LanguageTest::messageBoxesSpeakTheLanguageInForce() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    QCOMPARE(applyQtLanguage(kPortuguese), QFile::exists(folder + "/qtbase_pt_BR.qm"));
    QVERIFY(!applyQtLanguage(kGreek));

    ProgramStart start(QLocale(QLocale::English, QLocale::UnitedStates));
    start.languageEntry(kGreek)->trigger();
    QMessageBox greek(QMessageBox::Question, "Pellucard", "?",
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(greek.button(QMessageBox::Yes)->text(), Message(MessageId::Yes, kGreek));

    start.languageEntry(kGerman)->trigger();
    // Sorting and finding follow the default locale.
    QCOMPARE(QLocale().language(), QLocale::German);
    if (!QFile::exists(folder + "/qtbase_de.qm"))
        QSKIP(
            "Qt's German translation (qtbase_de.qm, Debian package qt6-translations-l10n) is "
            "not installed; scripts/setup.sh installs it");
    QMessageBox german(QMessageBox::Question, "Pellucard", "?",
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(german.button(QMessageBox::Yes)->text(), QString("&Ja"));

    // Back in English, Qt speaks English again.
    start.languageEntry(kEnglish)->trigger();
    QMessageBox english(QMessageBox::Question, "Pellucard", "?", QMessageBox::Yes);
    QCOMPARE(english.button(QMessageBox::Yes)->text(), QString("&Yes"));
}

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
