// The shipped catalogue's rules: every message id the program uses is there, every language
// has a text for every message, and the translations keep the placeholders, blanks, markers
// and accelerators of the English text, with accelerators free of clashes within each menu.
#include "catalogue/catalogue.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace pellucard;

namespace {

const char* const kLanguageCodes[kLanguageCount] = {"en", "nl", "fr", "de", "el", "it", "pt", "es"};

const CatalogueTable& Raw() {
    static const CatalogueTable table = [] {
        QFile file(QStringLiteral(":/catalogue.tsv"));
        return file.open(QIODevice::ReadOnly) ? ParseCatalogue(file.readAll()) : CatalogueTable{};
    }();
    return table;
}

QString Describe(int id, int language) {
    return QStringLiteral("message %1, language %2: \"%3\"").arg(id).arg(kLanguageCodes[language], Raw().messages.at(id)[language]);
}

// The menus whose entries carry accelerators, as the main window builds them. A number is a
// message; a text is a caption that the main window keeps in English in every language.
struct MenuEntry {
    MessageId id;
    const char16_t* fixedCaption;
};
struct Menu {
    const char* name;
    std::vector<MenuEntry> entries;
};
const std::vector<Menu>& Menus() {
    static const std::vector<Menu> menus = {
        {"menu bar",
         {{MessageId::FileMenu, nullptr},
          {MessageId::ViewMenu, nullptr},
          {MessageId::HelpMenu, nullptr},
          {MessageId::NameMenu, nullptr}}},
        {"menu bar with Demo",
         {{MessageId::FileMenu, nullptr},
          {MessageId::ViewMenu, nullptr},
          {MessageId::HelpMenu, nullptr},
          {MessageId::NameMenu, nullptr},
          {MessageId::DemoMenu, nullptr}}},
        {"File",
         {{MessageId::NewMenu, nullptr},
          {MessageId::OpenMenu, nullptr},
          {MessageId::RecentFilesMenu, nullptr},
          {MessageId::SaveMenu, nullptr},
          {MessageId::SaveAsMenu, nullptr},
          {MessageId::ImportMenu, nullptr},
          {MessageId::ExportMenu, nullptr},
          {MessageId::SettingComPortMenu, nullptr},
          {MessageId::ExitMenu, nullptr}}},
        {"Import and Export",
         {{MessageId::CommaSeparatedValuesMenu, nullptr},
          {MessageId::TabSeparatedValuesMenu, nullptr}}},
        {"View",
         {{MessageId::SmsRecordMenu, nullptr},
          {MessageId::PhoneBookMenu, nullptr},
          {MessageId::PersonalRecordMenu, nullptr},
          {MessageId::SimCardInformationMenu, nullptr}}},
        {"Help",
         {{MessageId::HelpMenu, nullptr},
          {MessageId::LanguageMenu, nullptr},
          {MessageId::AboutMenu, nullptr}}},
        {"Name",
         {{MessageId::AllPhoneRecordMenu, nullptr},
          {MessageId::UsefulSmsMenu, nullptr},
          {MessageId::EditPhoneRecordMenu, nullptr}}},
    };
    return menus;
}

// The key an accelerator is typed with. A Greek letter sits on the key of the Latin letter
// that the standard Greek keyboard layout puts it on, so Π and P would clash.
QChar AcceleratorKey(QChar letter) {
    static const QString greek = QStringLiteral("ΑΒΨΔΕΦΓΗΙΞΚΛΜΝΟΠΡΣΤΘΩΧΥΖ");
    static const QString latin = QStringLiteral("ABCDEFGHIJKLMNOPRSTUVXYZ");
    const qsizetype at = greek.indexOf(letter.toUpper());
    return at < 0 ? letter.toUpper() : latin[at];
}

// Upper case without accents, so that "Όνομα" contains "Ο".
QString Bare(const QString& text) {
    QString bare;
    for (QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing) bare += c.toUpper();
    return bare;
}

// Texts that are data rather than captions: file names, query fragments, measuring masks and
// the help viewer.
const MessageId kSameInEveryLanguage[] = {MessageId::Data1,
                                          MessageId::ProgramNameBanner,
                                          MessageId::Imsi,
                                          MessageId::IccId,
                                          MessageId::Ok,
                                          MessageId::Pin1,
                                          MessageId::Pin2,
                                          MessageId::NewSmsRecordName,
                                          MessageId::NewPhoneRecordName,
                                          MessageId::PhoneBookFileName,
                                          MessageId::PhoneTotalQuery,
                                          MessageId::SmsTotalQuery,
                                          MessageId::TemplateFileName,
                                          MessageId::HelpViewer,
                                          MessageId::TextWidthMask,
                                          MessageId::NameQueryStart,
                                          MessageId::PhoneQueryPart,
                                          MessageId::SmsTotalQueryPart,
                                          MessageId::PhoneTotalQueryPart,
                                          MessageId::NumberWidthMask,
                                          MessageId::TimeStampWidthMask,
                                          MessageId::ProgramTitle,
                                          MessageId::QueryOrderedByName,
                                          MessageId::QueryNameLike,
                                          MessageId::QueryOrderedByNameAndPhone,
                                          MessageId::OrderByName,
                                          MessageId::ProgramNameHeading};

std::filesystem::path SourceDir() { return std::filesystem::path(PELLUCARD_SOURCE_DIR); }

}  // namespace

TEST(Catalogue, ShippedFileParsesWithoutSkippingALine) {
    EXPECT_TRUE(CatalogueSkippedLines().isEmpty()) << CatalogueSkippedLines().size() << " lines skipped";
    ASSERT_FALSE(Raw().messages.empty()) << "the compiled-in catalogue is missing";
}

TEST(Catalogue, ShippedFileIsSortedById) {
    QFile file(QStringLiteral(":/catalogue.tsv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().replace("\r\n", "\n").split('\n');
    ASSERT_EQ(lines.first(), QByteArray("id\ten\tnl\tfr\tde\tel\tit\tpt\tes"));
    ASSERT_TRUE(lines.last().isEmpty()) << "the file ends with a line feed";
    int previous = -1;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const int id = lines[i].left(lines[i].indexOf('\t')).toInt();
        EXPECT_GT(id, previous) << "line " << i + 1;
        previous = id;
    }
}

TEST(Catalogue, NamesEveryMessageOnceAndHoldsEveryNamedMessage) {
    std::set<int> named;
    for (MessageId id : kAllMessageIds) {
        EXPECT_TRUE(named.insert(MessageNumber(id)).second)
            << "message " << MessageNumber(id) << " has two names";
        EXPECT_TRUE(CatalogueHas(id))
            << "message " << MessageNumber(id) << " is named but not in the catalogue";
        for (int k = 0; k < kLanguageCount; ++k)
            EXPECT_FALSE(Message(id, k).isEmpty())
                << "message " << MessageNumber(id) << ", language " << k;
    }
    for (const auto& [id, row] : Raw().messages)
        EXPECT_EQ(named.count(id), 1u) << "message " << id << " has no name in message_ids.inc";
    EXPECT_FALSE(CatalogueHas(10000));  // message number 100 does not exist
    EXPECT_FALSE(CatalogueHas(101));
}

TEST(Catalogue, EveryMessageHasEightTexts) {
    int texts = 0;
    for (const auto& [id, row] : Raw().messages) {
        for (int k = 0; k < kLanguageCount; ++k) {
            if (!row[k].isEmpty()) ++texts;
            EXPECT_FALSE(row[k].trimmed().isEmpty()) << Describe(id, k).toStdString();
        }
    }
    EXPECT_EQ(texts, int(Raw().messages.size()) * kLanguageCount);
}

TEST(Catalogue, UnknownEntriesAreEmpty) {
    EXPECT_EQ(Message(MessageId::LanguageGreek, 4), QStringLiteral("Ελληνικά"));
    EXPECT_TRUE(CatalogueText(10000).isEmpty());                  // no such message
    EXPECT_TRUE(CatalogueText(MessageNumber(MessageId::WrongPinCode) + kLanguageCount).isEmpty());  // no such language
    EXPECT_TRUE(CatalogueText(-1).isEmpty());
}

TEST(Catalogue, TranslationsKeepTheBlanksAtTheEnds) {
    for (const auto& [id, row] : Raw().messages) {
        const QString& english = row[0];
        for (int k = 1; k < kLanguageCount; ++k) {
            const QString& text = row[k];
            if (text.isEmpty()) continue;
            EXPECT_EQ(text.endsWith(u' '), english.endsWith(u' ')) << Describe(id, k).toStdString();
            EXPECT_EQ(text.startsWith(u' '), english.startsWith(u' ')) << Describe(id, k).toStdString();
        }
    }
}

TEST(Catalogue, TranslationsKeepTheMarkersOfTheirForm) {
    for (const auto& [id, row] : Raw().messages) {
        const QString& english = row[0];
        for (int k = 1; k < kLanguageCount; ++k) {
            const QString& text = row[k];
            if (text.isEmpty()) continue;
            const std::string where = Describe(id, k).toStdString();
            if (id >= 24000 && id <= 27100) {  // status words
                EXPECT_TRUE(text.startsWith(u'-')) << where;
            }
            EXPECT_EQ(text.endsWith(u"|*"), english.endsWith(u"|*")) << where;      // file filters
            EXPECT_EQ(text.startsWith(u'\''), english.startsWith(u'\'')) << where;  // pieces around a count
            if (english.endsWith(u'\'')) {  // the piece before a count ends in a quote
                EXPECT_TRUE(text.endsWith(u'\'')) << where;
            }
            EXPECT_EQ(text.startsWith(u"Pellucard - ["), english.startsWith(u"Pellucard - [")) << where;
            EXPECT_FALSE(text.contains(u'\t') || text.contains(u'\n')) << where;
        }
    }
}

TEST(Catalogue, TranslationsKeepThePlaceholdersOfTheEnglishText) {
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    auto placeholders = [](const QString& text) {
        QStringList found;
        for (auto it = placeholder.globalMatch(text); it.hasNext();)
            found.append(it.next().captured());
        found.sort();
        return found;
    };
    for (const auto& [id, row] : Raw().messages) {
        const QStringList english = placeholders(row[0]);
        for (int k = 1; k < kLanguageCount; ++k) {
            if (!row[k].isEmpty()) {
                EXPECT_EQ(placeholders(row[k]), english) << Describe(id, k).toStdString();
            }
        }
    }
}

TEST(Catalogue, DataTextsAreTheSameInEveryLanguage) {
    for (MessageId id : kSameInEveryLanguage)
        for (int k = 1; k < kLanguageCount; ++k)
            EXPECT_EQ(Message(id, k), Message(id, 0))
                << Describe(MessageNumber(id), k).toStdString();
}

TEST(Catalogue, AcceleratorsKeepTheirFormAndOccurInTheCaption) {
    for (const auto& [id, row] : Raw().messages) {
        const QStringList english{row[0]};
        for (int k = 0; k < kLanguageCount; ++k) {
            if (row[k].isEmpty()) continue;
            const QStringList texts{row[k]};
            const std::string where = Describe(id, k).toStdString();
            ASSERT_EQ(texts.size(), english.size()) << where;
            for (qsizetype e = 0; e < texts.size(); ++e) {
                const QString& text = texts[e];
                const bool englishHasOne = !MenuAccelerator(english[e]).isNull();
                const bool blankBefore = english[e].contains(u" [&");
                const QChar letter = MenuAccelerator(text);
                ASSERT_EQ(!letter.isNull(), englishHasOne) << where;
                EXPECT_EQ(text.count(u'&'), englishHasOne ? 1 : 0) << where;
                if (!englishHasOne) continue;
                EXPECT_TRUE(text.endsWith(u']')) << where;
                EXPECT_EQ(text.contains(u" [&"), blankBefore) << where;
                EXPECT_TRUE(letter.isLetter()) << where;
                EXPECT_TRUE(Bare(text.left(text.lastIndexOf(u"[&"))).contains(Bare(QString(letter)))) << where;
            }
        }
    }
}

TEST(Catalogue, AcceleratorsDoNotClashWithinAMenu) {
    for (int k = 0; k < kLanguageCount; ++k) {
        for (const Menu& menu : Menus()) {
            QMap<QChar, QString> taken;
            for (const MenuEntry& entry : menu.entries) {
                const QString caption = entry.fixedCaption ? QString::fromUtf16(entry.fixedCaption)
                                                           : Message(entry.id, k);
                const QChar letter = MenuAccelerator(caption);
                if (letter.isNull()) continue;
                const QChar key = AcceleratorKey(letter);
                EXPECT_FALSE(taken.contains(key)) << kLanguageCodes[k] << " " << menu.name << ": \""
                                                  << caption.toStdString() << "\" and \"" << taken.value(key).toStdString() << "\"";
                taken.insert(key, caption);
            }
        }
    }
}

TEST(Catalogue, LanguageMenuNamesAreDistinctInEveryLanguage) {
    for (int k = 0; k < kLanguageCount; ++k) {
        QSet<QString> names;
        for (MessageId name : kLanguageNames)
            names.insert(Message(name, k));
        EXPECT_EQ(names.size(), kLanguageCount) << kLanguageCodes[k];
    }
}

TEST(Catalogue, GreekIsWrittenInGreekLetters) {
    static const QRegularExpression greekLetter(QStringLiteral("[\\x{0370}-\\x{03FF}]"));
    static const QRegularExpression latin1Letter(QStringLiteral("[\\x{00C0}-\\x{00FF}]"));  // a code page read as Latin-1
    int greekTexts = 0;
    for (const auto& [id, row] : Raw().messages) {
        const QString& text = row[4];
        EXPECT_FALSE(text.contains(latin1Letter)) << Describe(id, 4).toStdString();
        if (text.contains(greekLetter)) ++greekTexts;
    }
    EXPECT_GT(greekTexts, 250);
}

TEST(Catalogue, VersionLinesNameOneVersionInEveryLanguage) {
    static const QRegularExpression version(QStringLiteral("\\d+\\.\\d+\\.\\d+"));
    for (MessageId id : {MessageId::ProgramVersion, MessageId::ProgramDescription}) {
        const QString english = version.match(Message(id, 0)).captured();
        ASSERT_FALSE(english.isEmpty()) << MessageNumber(id);
        for (int k = 1; k < kLanguageCount; ++k)
            EXPECT_EQ(version.match(Message(id, k)).captured(), english)
                << MessageNumber(id) << " " << k;
    }
}

TEST(Catalogue, EveryLanguageHasItsOwnHelpFile) {
    QSet<QString> names;
    for (int k = 0; k < kLanguageCount; ++k) {
        EXPECT_TRUE(Message(MessageId::HelpFile, k).startsWith(u'\\')) << k;
        const QString name = HelpFileName(k);
        names.insert(name);
        const std::filesystem::path path = SourceDir() / "data" / "help" / name.toStdString();
        std::ifstream file(path);
        ASSERT_TRUE(file.good()) << path;
        const std::string html((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_NE(html.find(std::string("<html lang=\"") + kLanguageCodes[k] + "\""), std::string::npos) << path;
    }
    EXPECT_EQ(names.size(), kLanguageCount);
    EXPECT_EQ(HelpFileName(0), QStringLiteral("Pellucard.html"));
}

namespace {

QString HelpPage(int languageIndex) {
    const std::filesystem::path path =
        SourceDir() / "data" / "help" / HelpFileName(languageIndex).toStdString();
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The anchor ids of a page's sections, in page order.
QStringList HelpSections(const QString& html) {
    static const QRegularExpression heading(QStringLiteral("<h2 id=\"([a-z-]+)\">"));
    QStringList ids;
    for (const QRegularExpressionMatch& match : heading.globalMatch(html))
        ids.append(match.captured(1));
    return ids;
}

// The first tag that closes out of turn or stays open; empty when every tag is closed in order.
QString UnbalancedTag(const QString& html) {
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)[^>]*>"));
    static const QSet<QString> empty{QStringLiteral("meta"), QStringLiteral("br"),
                                     QStringLiteral("hr")};
    QStringList open;
    for (const QRegularExpressionMatch& match : tag.globalMatch(html)) {
        const QString name = match.captured(2).toLower();
        if (empty.contains(name))
            continue;
        if (match.captured(1).isEmpty())
            open.append(name);
        else if (open.isEmpty() || open.takeLast() != name)
            return match.captured(0);
    }
    return open.isEmpty() ? QString() : QStringLiteral("<%1>").arg(open.last());
}

}  // namespace

// Every translation has the English page's sections in the same order, each heading carries the
// anchor the help window can be pointed at, and the page is plain HTML that the help browser
// shows by itself: tags closed in order, no scripts, no pictures or other files to fetch.
TEST(Catalogue, HelpPagesHaveTheSameSectionsInEveryLanguage) {
    const QStringList english = HelpSections(HelpPage(0));
    for (const char* section : {"reader", "stop", "undo", "text", "vcard", "backup"})
        EXPECT_TRUE(english.contains(QLatin1String(section))) << section;
    EXPECT_EQ(QSet<QString>(english.begin(), english.end()).size(), english.size());
    for (int k = 0; k < kLanguageCount; ++k) {
        const QString html = HelpPage(k);
        ASSERT_FALSE(html.isEmpty()) << kLanguageCodes[k];
        EXPECT_EQ(HelpSections(html), english) << kLanguageCodes[k];
        EXPECT_EQ(html.count(QStringLiteral("<h2")), english.size())
            << kLanguageCodes[k] << ": a section heading without its anchor id";
        EXPECT_EQ(UnbalancedTag(html), QString()) << kLanguageCodes[k];
        for (const char* outside :
             {"<script", "<img", "<link", "<iframe", "<object", "src=", "url(", "http:", "https:"})
            EXPECT_FALSE(html.contains(QLatin1String(outside), Qt::CaseInsensitive))
                << kLanguageCodes[k] << ": " << outside;
    }
}
