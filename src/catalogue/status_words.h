#pragma once

#include <QString>

#include <cstdint>

namespace pellucard {

// A card's status word in plain words, in language `languageIndex`: the catalogue's text for the
// meaning that the engine's table of status words gives it. Empty for a word the catalogue has
// no text for.
QString StatusWordMeaning(std::uint16_t statusWord, int languageIndex);

// The status word as people read it, with its meaning where the catalogue has one:
// "98 04: access condition not fulfilled", or "6C 21" alone.
QString StatusWordText(std::uint16_t statusWord, int languageIndex);

}  // namespace pellucard
