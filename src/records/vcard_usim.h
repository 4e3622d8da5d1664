#pragma once

#include <QString>

#include "records/record_list.h"
#include "records/vcard.h"

namespace pellucard {

// A USIM phone book entry as a vCard and back: the second number is a TEL typed after its type
// text (TYPE=CELL for "Mobile" or "Handy"); a type text that the types do not give back as it
// is travels beside it as X-PELLUCARD-SECOND-NUMBER-TYPE. The e-mail address is an EMAIL, the
// second name the NICKNAME and the group a CATEGORIES value.

// The key of that extension, after "X-PELLUCARD-".
inline const QString kSecondNumberTypeKey = QStringLiteral("SECOND-NUMBER-TYPE");
// An entry with a second number and no number has one TEL; X-PELLUCARD-SECOND-NUMBER-ONLY:TRUE
// beside it says that it is the second number, where a vCard's only TEL is otherwise the
// number. It says nothing to a contact with several numbers (one was added elsewhere): those
// fill the number first, as every vCard without it does.
inline const QString kSecondNumberOnlyKey = QStringLiteral("SECOND-NUMBER-ONLY");

// Adds the USIM columns of row `row` (a list that has them) to a phone book contact.
void AddUsimFields(VCardContact& contact, const RecordList& list, int row);

// What a USIM phone book entry takes of a contact whose numbers are dialable: the first TEL
// as its number (or as the second number, when it is the only one and marked so), the second
// with its type, the first EMAIL, the NICKNAME, the first CATEGORIES value.
struct UsimEntry {
    QString number;
    QString secondNumber;
    QString numberType;
    QString email;
    QString secondName;
    QString group;
    // The contact without what the entry took: the numbers beyond two, further e-mail
    // addresses and categories, and every property a phone book entry never keeps.
    VCardContact rest;
};
UsimEntry UsimEntryOf(const VCardContact& contact);

}  // namespace pellucard
