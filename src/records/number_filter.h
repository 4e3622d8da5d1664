#pragma once

#include <QString>

namespace pellucard {

struct FilteredNumber {
    QString text;         // what the field is to hold
    int lengthLimit = 0;  // the field's new length limit
    // The typed text held a character that a dialling number cannot have: the field shows
    // InvalidNumberCharacter once for this change (ShowInvalidNumberMessage).
    bool invalidCharacter = false;
};

// Filters the text of a dialling-number field after each change. Digits, "#", "*", "p"
// and "P" pass; "+" passes only as the first character of the result, and then the field
// may hold one character more than `lengthLimit` so that the "+" does not count against
// the number; everything else is dropped.
FilteredNumber FilterNumber(const QString& typed, int lengthLimit);

// The error box for a refused character (critical icon, OK).
void ShowInvalidNumberMessage(int languageIndex);

}  // namespace pellucard
