// Status words in plain words, from the catalogue's texts.
#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "catalogue/status_words.h"
#include "engine/status_words.h"

using namespace pellucard;

TEST(StatusWords, NameTheWordAndItsMeaning) {
    EXPECT_EQ(StatusWordText(0x9804, 0), QStringLiteral("98 04: access condition not fulfilled"));
    EXPECT_EQ(StatusWordText(0x6A82, 0), QStringLiteral("6A 82: File not found"));
    EXPECT_EQ(StatusWordText(0x6F00, 0),
              QStringLiteral("6F 00: technical problem with no diagnostic given"));
    EXPECT_EQ(StatusWordText(0x6728, 0), QStringLiteral("67 28: incorrect parameter P3"));
    // A word the catalogue has no text for is still named.
    EXPECT_EQ(StatusWordText(0x6C21, 0), QStringLiteral("6C 21"));
}

TEST(StatusWords, TextsKeptInPiecesAreWhole) {
    const QString memory = StatusWordMeaning(0x6581, 0);
    EXPECT_TRUE(memory.startsWith(QStringLiteral("Memory failure")));
    EXPECT_TRUE(memory.endsWith(QStringLiteral("may also bring this error")));
    EXPECT_TRUE(StatusWordMeaning(0x9300, 0).endsWith(QStringLiteral("are allowed")));
    EXPECT_TRUE(StatusWordMeaning(0x9202, 0).contains(QStringLiteral("'2' times")));
}

// Every meaning has its text in every language, without the catalogue's list mark.
TEST(StatusWords, EveryMeaningOfTheTableHasItsTextInEveryLanguage) {
    for (const StatusWordEntry& entry : StatusWordTable()) {
        if (entry.meaning == StatusMeaning::None)
            continue;
        for (int language = 0; language < kLanguageCount; ++language) {
            const QString meaning = StatusWordMeaning(entry.pattern, language);
            EXPECT_FALSE(meaning.isEmpty() || meaning.startsWith(QLatin1Char('-')))
                << std::hex << entry.pattern << " in language " << language;
        }
    }
}
