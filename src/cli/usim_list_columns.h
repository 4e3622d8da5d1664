#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <map>
#include <optional>

#include "cli/loss_report.h"
#include "cli/record_rows.h"
#include "cli/usim_contacts.h"

namespace pellucard::cli {

// A phone book list's USIM columns (records/usim_columns.h) in the tool's vCard, text and .SPB
// files. A row shows of a USIM contact what the phone book window shows: one additional number
// with its type and one e-mail address (the first slot that holds one), the second name, and
// the groups joined with ", ". A column left untitled is one the file did not give.

// Gives the list the five USIM columns, titled.
void AddUsimColumns(CardList& cards);

// Whether phone book JSON carries a USIM phone book's fields (an entry of the first block with
// "numbers", "emails", "second_name" or "groups").
bool HoldsUsimFields(const QJsonArray& entries);

// Puts the fields of the JSON's first-block entries into the USIM columns of the list (row n
// for slot n). Gives what the columns have no room for: numbers and e-mails beyond the one a
// row shows.
Losses FillUsimColumns(CardList& cards, const QJsonArray& entries);

// The entries of a USIM phone book's later blocks that hold something: a file of slots has no
// place for them.
Losses LaterBlockLosses(const QJsonArray& entries);

// The JSON fields of a row ("numbers", "emails", "second_name", "groups") from the columns the
// list titles; nothing for a list without USIM columns.
void AddUsimJson(QJsonObject& entry, const RecordList& list, int row);

// Whether the contact field `column` of a row holds what one of its USIM columns carries (the
// e-mail in Personal E-mail, the second name in Nickname, the groups in Hobby, the second
// number in a number field): a file that keeps the columns keeps it.
bool CarriedByUsimColumns(const RecordList& list, int row, int column);

// A row's name and number, and its USIM values, each only when its column is titled.
struct UsimRow {
    QString name;
    QString number;
    std::optional<QString> secondNumber;
    QString type;
    std::optional<QString> email;
    std::optional<QString> secondName;
    std::optional<QString> group;
};
// The rows in use that hold a name or number, by slot; none for a list without USIM columns.
std::map<int, UsimRow> UsimRowsOf(const CardList& cards);

// The values of those rows as losses, for a card that has no USIM phone book to hold them.
Losses UsimRowLosses(const std::map<int, UsimRow>& rows);

// Whether a file's row is the contact the card holds in its slot (IsSameContact).
bool IsContactHeld(const UsimContact& held, const UsimRow& row);

// The fields to write onto the card's contacts of those slots. A row of the contact the slot
// holds puts its number and e-mail into the slot the contact shows and leaves its other slots
// (and the fields the file does not give) as the card holds them; a row of another contact
// starts from empty slots, so it inherits nothing of the contact it replaces. Type and group
// names are matched to the ones the card offers (a name it does not offer is kept as given,
// for the card to refuse).
UsimFieldsBySlot UsimFieldsForCard(const UsimPhoneBook& book, const std::map<int, UsimRow>& rows);

}  // namespace pellucard::cli
