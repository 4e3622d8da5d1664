#include "records/record_find.h"

#include <algorithm>

namespace pellucard {
namespace {

// A skip count this high stands for "anywhere in the word".
constexpr int kAnywhere = 500;

// Letters that a language counts as letters of their own, not as accented forms of another.
bool OwnLetter(QChar c, QLocale::Language language) {
    return language == QLocale::Spanish && (c == u'ñ' || c == u'Ñ');
}

// The letter under a character's accents: its canonical decomposition's first character, as
// far down as it goes ("ΐ" is "ϊ" and an accent, "ϊ" is "ι" and a diaeresis).
QChar BaseLetter(QChar c) {
    while (c.decompositionTag() == QChar::Canonical) {
        const QString parts = c.decomposition();
        if (parts.isEmpty() || !parts.front().isLetter())
            break;
        c = parts.front();
    }
    return c;
}

}  // namespace

QString FoldForFind(QStringView text, QLocale::Language language) {
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // One code unit for one: a surrogate half stays as it is.
        const QChar letter = c.isSurrogate() || OwnLetter(c, language) ? c : BaseLetter(c);
        folded[i] = letter.isSurrogate() ? letter : letter.toCaseFolded();
    }
    return folded;
}

bool MatchWords(const QString& pattern, const QString& text, int& position, int& patternLength) {
    QStringView rest = pattern;
    while (!rest.isEmpty() && rest.front() == u' ') {
        rest = rest.mid(1);
    }
    while (!rest.isEmpty() && rest.back() == u' ') {
        rest.chop(1);
    }
    int skip = 0;
    while (!rest.isEmpty() && (rest.front() == u'?' || rest.front() == u'*')) {
        skip = rest.front() == u'?' ? skip + 1 : kAnywhere;
        rest = rest.mid(1);
    }
    patternLength = int(rest.size());
    if (rest.isEmpty()) {
        return false;
    }
    const QLocale::Language language = QLocale().language();
    const QString wanted = FoldForFind(rest, language);
    const QString folded = FoldForFind(text, language);
    const int length = patternLength;
    int wordStart = 1;
    for (QStringView word : QStringView(folded).split(u' ')) {
        const int wordLength = int(word.size());
        if (wordStart >= position) {
            if (skip == kAnywhere) {
                for (int offset = 0; offset + length <= wordLength; ++offset) {
                    if (word.mid(offset, length) == wanted) {
                        position = wordStart + offset + 1;
                        return true;
                    }
                }
            } else if (wordLength >= skip + length && word.mid(skip, length) == wanted) {
                position = wordStart + skip + 1;
                return true;
            }
        }
        wordStart += wordLength + 1;
    }
    return false;
}

bool FindNextCell(const RecordList& list, FindState& state, const QString& pattern,
                  int lastColumn) {
    const int firstRow = std::max(state.row, 1);
    const int firstColumn = std::max(state.column, 1);
    lastColumn = std::min(lastColumn, list.Columns() - 1);
    for (int row = firstRow; row <= list.LastSlot(); ++row) {
        for (int column = row == firstRow ? firstColumn : 1; column <= lastColumn; ++column) {
            if (MatchWords(pattern, list.Text(row, column), state.position, state.patternLength)) {
                state.row = row;
                state.column = column;
                return true;
            }
            state.position = 0;
        }
    }
    state.row = 0;
    state.column = 0;
    state.position = 0;
    return false;
}

bool FindNextCellWrapping(const RecordList& list, FindState& state, const QString& pattern,
                          int lastColumn) {
    return FindNextCell(list, state, pattern, lastColumn) ||
           FindNextCell(list, state, pattern, lastColumn);
}

}  // namespace pellucard
