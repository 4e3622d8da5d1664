#pragma once

#include <QString>

#include <cstdint>

namespace pellucard {

// A card's status word in plain words, from the catalogue's texts for the status words of
// GSM 11.11 (and the ISO 7816-4 words a USIM answers with), in language `languageIndex`. Empty
// for a word the catalogue has no text for.
QString StatusWordMeaning(std::uint16_t statusWord, int languageIndex);

// The status word as people read it, with its meaning where the catalogue has one:
// "98 04: access condition not fulfilled", or "6C 21" alone.
QString StatusWordText(std::uint16_t statusWord, int languageIndex);

}  // namespace pellucard
