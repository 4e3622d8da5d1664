// Find ignores letter case and accents as the language in force reads letters.
#include <QLocale>

#include <gtest/gtest.h>

#include "records/record_find.h"
#include "support/qt_printers.h"

using namespace pellucard;

namespace {

// The 1-based position at which `pattern` is found in `text`, or 0.
int Found(const QString& pattern, const QString& text) {
    int position = 0;
    int length = 0;
    return MatchWords(pattern, text, position, length) ? position - 1 : 0;
}

class InLanguage {
public:
    explicit InLanguage(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
    ~InLanguage() { QLocale::setDefault(previous_); }

private:
    QLocale previous_;
};

}  // namespace

TEST(FindInLanguage, IgnoresCaseAndAccentsButNotOtherLetters) {
    InLanguage french(QLocale::French);
    EXPECT_EQ(Found("helene", "Hélène Dupré"), 1);
    EXPECT_EQ(Found("*PRÉ", "Helene Dupre"), 10);  // accents in the pattern count as little
    EXPECT_EQ(Found("οδος", "ΟΔΌΣ Αθηνάς"), 1);    // tonos and final sigma
    EXPECT_EQ(Found("*ι", "ΐ"), 1);                // iota with diaeresis and tonos
    // Letters without an accent to take away stay what they are.
    EXPECT_EQ(Found("o", "Ødegård"), 0);
    EXPECT_EQ(Found("ss", "Straße"), 0);
}

TEST(FindInLanguage, SpanishKeepsEnyeALetterOfItsOwn) {
    {
        InLanguage spanish(QLocale::Spanish);
        EXPECT_EQ(Found("nunez", "Núñez"), 0);
        EXPECT_EQ(Found("nuñez", "NÚÑEZ"), 1);
    }
    InLanguage german(QLocale::German);
    EXPECT_EQ(Found("nunez", "Núñez"), 1);
}

TEST(FindInLanguage, FoldingKeepsPositions) {
    const QString text = QStringLiteral("Ἀθῆναι 😀 Ñandú");
    const QString folded = FoldForFind(text, QLocale::English);
    ASSERT_EQ(folded.size(), text.size());
    EXPECT_EQ(folded, QStringLiteral("αθηναι 😀 nandu"));
}
