// Reading the tab-separated catalogue: escapes, line ends and malformed lines.
#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

using namespace pellucard;

namespace {

const QByteArray kHeader = "id\ten\tnl\tfr\tde\tel\tit\tpt\tes\n";

QByteArray Line(const QByteArray& id, const QByteArray& text) {
    QByteArray line = id;
    for (int k = 0; k < kLanguageCount; ++k)
        line += '\t' + text;
    return line + '\n';
}

}  // namespace

// Escapes, blanks at the ends, UTF-8, a byte-order mark and CR LF line ends.
TEST(CatalogueParse, ReadsEscapesBlanksUtf8AndWindowsLineEnds) {
    QByteArray data =
        "\xEF\xBB\xBF" + kHeader + Line("18000", "a\\tb\\nc\\\\d") + Line("11600", " Αποθήκευση ");
    data.replace("\n", "\r\n");
    const CatalogueTable table = ParseCatalogue(data);
    ASSERT_TRUE(table.skippedLines.isEmpty());
    ASSERT_EQ(table.messages.size(), 2u);
    EXPECT_EQ(table.messages.at(18000)[3], QStringLiteral("a\tb\nc\\d"));
    EXPECT_EQ(table.messages.at(11600)[4], QStringLiteral(" Αποθήκευση "));
}

TEST(CatalogueParse, SkipsMalformedLinesAndKeepsTheRest) {
    const QByteArray data =
        kHeader                                        // line 1
        + Line("100", "Alias:")                        // 2 good
        + "200\tAbout [&A]\tOver [&O]\n"               // 3 too few fields
        + Line("300", "x").replace("\n", "\textra\n")  // 4 too many fields
        + Line("40O", "x")                             // 5 id not a number
        + Line("450", "x")                             // 6 not a message id
        + Line("100000", "x")                          // 7 beyond the last message
        + Line("-100", "x")                            // 8 negative
        + Line("100", "again")                         // 9 repeats an id
        + Line("500", "bad \\q escape")                // 10 unknown escape
        + Line("600", "ends in \\")                    // 11 lone backslash
        + Line("700", "bad \xC3 utf-8")                // 12 invalid UTF-8
        + "800\t\tAnnuleren\tAnnuler\tAbbrechen\tΆκυρο\tAnnulla\tCancelar\tCancelar\n"  // 13 no
                                                                                        // English
        + "\n"                       // 14 blank: ignored
        + Line("900", "Clean All");  // 15 good
    const CatalogueTable table = ParseCatalogue(data);
    EXPECT_EQ(table.skippedLines, (QList<int>{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    ASSERT_EQ(table.messages.size(), 2u);
    EXPECT_EQ(table.messages.at(100)[0], QStringLiteral("Alias:"));
    EXPECT_EQ(table.messages.at(900)[0], QStringLiteral("Clean All"));
}

TEST(MenuAccelerator, ReadsTheBracketedLetter) {
    EXPECT_EQ(MenuAccelerator(QStringLiteral("File [&F]")), QChar(u'F'));
    EXPECT_EQ(MenuAccelerator(QStringLiteral("Exit[&e]")), QChar(u'E'));
    EXPECT_EQ(MenuAccelerator(QStringLiteral("Αποθήκευση [&σ]")), QChar(u'Σ'));
    EXPECT_TRUE(MenuAccelerator(QStringLiteral("Language")).isNull());
    EXPECT_TRUE(MenuAccelerator(QStringLiteral("Broken [&")).isNull());
    EXPECT_TRUE(MenuAccelerator(QStringLiteral("Broken [&FF]")).isNull());
}
