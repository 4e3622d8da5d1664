// The shipped catalogue's rules: every message id the program uses is there, every language
// has a text for every message, and the translations keep the placeholders, blanks, markers
// and accelerators of the English text; the help pages match in every language.
#include "catalogue/catalogue.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/qt_printers.h"

using namespace pellucard;

namespace {

const char* const kLanguageCodes[kLanguageCount] = {"en", "nl", "fr", "de", "el", "it", "pt", "es"};

QByteArray ShippedFile() {
    QFile file(QStringLiteral(":/catalogue.tsv"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const CatalogueTable& Raw() {
    static const CatalogueTable table = ParseCatalogue(ShippedFile());
    return table;
}

std::string Describe(int id, int language) {
    return QStringLiteral("message %1, language %2: \"%3\"")
        .arg(id)
        .arg(kLanguageCodes[language], Raw().messages.at(id)[language])
        .toStdString();
}

// Upper case without accents, so that "Όνομα" contains "Ο".
QString Bare(const QString& text) {
    QString bare;
    for (QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            bare += c.toUpper();
    return bare;
}

QStringList Placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    QStringList found;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return found;
}

}  // namespace

// A line the parser skips, or a second line of one id, would lose a message silently.
TEST(Catalogue, ShippedFileParsesWholeAndSortedById) {
    EXPECT_TRUE(CatalogueSkippedLines().isEmpty()) << CatalogueSkippedLines().size();
    ASSERT_FALSE(Raw().messages.empty()) << "the compiled-in catalogue is missing";
    const QList<QByteArray> lines = ShippedFile().replace("\r\n", "\n").split('\n');
    ASSERT_EQ(lines.first(), QByteArray("id\ten\tnl\tfr\tde\tel\tit\tpt\tes"));
    ASSERT_TRUE(lines.last().isEmpty()) << "the file ends with a line feed";
    int previous = -1;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const int id = lines[i].left(lines[i].indexOf('\t')).toInt();
        EXPECT_GT(id, previous) << "line " << i + 1;
        previous = id;
    }
}

TEST(Catalogue, EveryNamedMessageHasATextInEveryLanguageAndEveryMessageAName) {
    std::set<int> named;
    for (MessageId id : kAllMessageIds) {
        EXPECT_TRUE(named.insert(MessageNumber(id)).second) << MessageNumber(id) << " named twice";
        EXPECT_TRUE(CatalogueHas(id)) << MessageNumber(id) << " is named but not in the catalogue";
    }
    for (const auto& [id, row] : Raw().messages) {
        EXPECT_EQ(named.count(id), 1u) << "message " << id << " has no name in message_ids.inc";
        for (int k = 0; k < kLanguageCount; ++k)
            EXPECT_FALSE(row[k].trimmed().isEmpty()) << Describe(id, k);
    }
}

// The program joins, splits and fills texts by these marks: blanks at the ends, placeholders,
// file filters, the pieces around a count, the title's prefix, status words' dashes.
TEST(Catalogue, TranslationsKeepTheFormOfTheEnglishText) {
    for (const auto& [id, row] : Raw().messages) {
        const QString& english = row[0];
        for (int k = 1; k < kLanguageCount; ++k) {
            const QString& text = row[k];
            if (text.isEmpty())
                continue;
            const std::string where = Describe(id, k);
            EXPECT_EQ(text.startsWith(u' '), english.startsWith(u' ')) << where;
            EXPECT_EQ(text.endsWith(u' '), english.endsWith(u' ')) << where;
            EXPECT_EQ(Placeholders(text), Placeholders(english)) << where;
            if (id >= 24000 && id <= 27100) {  // status words
                EXPECT_TRUE(text.startsWith(u'-')) << where;
            }
            EXPECT_EQ(text.endsWith(u"|*"), english.endsWith(u"|*")) << where;
            EXPECT_EQ(text.startsWith(u'\''), english.startsWith(u'\'')) << where;
            if (english.endsWith(u'\'')) {
                EXPECT_TRUE(text.endsWith(u'\'')) << where;
            }
            EXPECT_EQ(text.startsWith(u"Pellucard - ["), english.startsWith(u"Pellucard - ["))
                << where;
            EXPECT_FALSE(text.contains(u'\t') || text.contains(u'\n')) << where;
        }
    }
}

TEST(Catalogue, AcceleratorsKeepTheirFormAndOccurInTheCaption) {
    for (const auto& [id, row] : Raw().messages) {
        const bool englishHasOne = !MenuAccelerator(row[0]).isNull();
        const bool blankBefore = row[0].contains(u" [&");
        for (int k = 0; k < kLanguageCount; ++k) {
            const QString& text = row[k];
            if (text.isEmpty())
                continue;
            const QChar letter = MenuAccelerator(text);
            ASSERT_EQ(!letter.isNull(), englishHasOne) << Describe(id, k);
            EXPECT_EQ(text.count(u'&'), englishHasOne ? 1 : 0) << Describe(id, k);
            if (!englishHasOne)
                continue;
            EXPECT_TRUE(text.endsWith(u']')) << Describe(id, k);
            EXPECT_EQ(text.contains(u" [&"), blankBefore) << Describe(id, k);
            EXPECT_TRUE(letter.isLetter()) << Describe(id, k);
            EXPECT_TRUE(Bare(text.left(text.lastIndexOf(u"[&"))).contains(Bare(QString(letter))))
                << Describe(id, k);
        }
    }
}

namespace {

// The anchor ids of a page's sections, in page order.
QStringList HelpSections(const QString& html) {
    static const QRegularExpression heading(QStringLiteral("<h2 id=\"([a-z-]+)\">"));
    QStringList ids;
    for (const QRegularExpressionMatch& match : heading.globalMatch(html))
        ids.append(match.captured(1));
    return ids;
}

}  // namespace

// Every language has a help file of its own in its language with the English page's sections in
// the same order, each heading with the anchor the help window can be pointed at, and nothing for
// the help browser to fetch.
TEST(Catalogue, EveryLanguageHasAHelpPageWithTheSameSections) {
    EXPECT_EQ(HelpFileName(0), QStringLiteral("Pellucard.html"));
    QSet<QString> names;
    QStringList english;
    for (int k = 0; k < kLanguageCount; ++k) {
        const char* code = kLanguageCodes[k];
        EXPECT_TRUE(Message(MessageId::HelpFile, k).startsWith(u'\\')) << code;
        names.insert(HelpFileName(k));
        QFile file(QStringLiteral(PELLUCARD_SOURCE_DIR "/data/help/") + HelpFileName(k));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << code;
        const QString html = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(html.contains(QStringLiteral("<html lang=\"%1\"").arg(code))) << code;
        if (k == 0) {
            english = HelpSections(html);
            for (const char* section : {"reader", "stop", "undo", "text", "vcard", "backup"})
                EXPECT_TRUE(english.contains(QLatin1String(section))) << section;
            EXPECT_EQ(QSet<QString>(english.begin(), english.end()).size(), english.size());
        }
        EXPECT_EQ(HelpSections(html), english) << code;
        EXPECT_EQ(html.count(QStringLiteral("<h2")), english.size())
            << code << ": a section heading without its anchor id";
        for (const char* outside :
             {"<script", "<img", "<link", "<iframe", "<object", "src=", "url(", "http:", "https:"})
            EXPECT_FALSE(html.contains(QLatin1String(outside), Qt::CaseInsensitive))
                << code << ": " << outside;
    }
    EXPECT_EQ(names.size(), kLanguageCount);
}
