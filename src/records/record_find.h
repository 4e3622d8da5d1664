#pragma once

#include <QLocale>
#include <QString>

#include "records/record_list.h"

namespace pellucard {

// Where the last find of a list stopped. Row and column 0 mean "from the top"; the
// character position is 1-based and lies just after the start of the last match, so the
// next find goes on in the same cell behind it.
struct FindState {
    int row = 0;
    int column = 0;
    int position = 0;
    int patternLength = 0;
};

// Searches the cells from the state's cell on (row by row, columns 1..lastColumn) for
// MatchWords. On a match the state holds the cell and the position and the result is
// true; the window makes the cell current and scrolls it to the top-left of the view.
// At the end of the list the state goes back to the top and the result is false.
bool FindNextCell(const RecordList& list, FindState& state, const QString& pattern, int lastColumn);

// FindNextCell, and when it reaches the end without a match, once more from the top.
bool FindNextCellWrapping(const RecordList& list, FindState& state, const QString& pattern,
                          int lastColumn);

// Looks for the pattern in the words (split at single blanks) of `text` that start at or
// after `position`. The pattern matches the start of a word; each leading "?" skips one
// letter of the word; a leading "*" lets it match anywhere inside the word (but a "?"
// after a "*" matches nothing). Letter case and accents are ignored as the language of the
// default locale (the language in force) reads letters: "e" finds "É", "ο" finds "Ό", but in
// Spanish "n" does not find "ñ", a letter of its own there (FoldForFind). On a match `position`
// becomes one past the 1-based position of the match's first character. `patternLength` gets the
// length of the pattern without its wildcards; an empty pattern never matches.
bool MatchWords(const QString& pattern, const QString& text, int& position, int& patternLength);

// `text` with every letter in the form find compares: case folded, and without the accents
// that `language` does not count as letters of their own. Keeps the length, so that a position
// in the folded text is the same position in `text`.
QString FoldForFind(QStringView text, QLocale::Language language);

}  // namespace pellucard
