#pragma once

#include <QString>

namespace pellucard {

// The message catalogue: every caption and message of the program in eight languages.
// A message has an English id (its number times 100); its text in language k
// (0 English, 1 Dutch, 2 French, 3 German, 4 Greek, 5 Italian, 6 Portuguese, 7 Spanish)
// is catalogue entry id + k.
inline constexpr int kLanguageCount = 8;

// Text of catalogue entry `entry` (= id + language index). A text that a language lacks
// falls back to the English text; an unknown id gives an empty string.
QString CatalogueText(int entry);

// Text of message `id` in language `languageIndex`.
inline QString Message(int id, int languageIndex) { return CatalogueText(id + languageIndex); }

// True when the catalogue holds message `id` (an English text exists).
bool CatalogueHas(int id);

}  // namespace pellucard
