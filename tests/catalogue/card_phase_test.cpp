// The card's phase in the catalogue's words of each language.
#include "catalogue/card_phase.h"

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "support/qt_printers.h"

using namespace pellucard;

TEST(PhaseText, UsesTheCatalogueWordsOfTheLanguage) {
    constexpr int kGerman = 3, kGreek = 4, kItalian = 5;
    EXPECT_EQ(PhaseText("Phase 2+", kGreek), QString("Φάση 2+"));
    EXPECT_EQ(PhaseText("Phase 2", kItalian), QString("Fase 2"));
    EXPECT_EQ(PhaseText("Phase 1", kGreek), QString("Φάση 1"));
    // What is no phase of the engine's stays as it is.
    for (const char* other : {"-", "", "Phase ", "Phase x", "phase 2"})
        EXPECT_EQ(PhaseText(other, kGerman), QString(other)) << other;
}
