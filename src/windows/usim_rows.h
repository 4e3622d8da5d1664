#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/usim_phonebook.h"
#include "records/record_list.h"

namespace pellucard {

// A USIM contact in a phone book row: the row shows one additional number with its type and
// one e-mail address (the first slot that holds one, else the first slot), the second name and
// the groups. A contact with more numbers or addresses keeps the rest out of sight; writing the
// row back puts what it shows into the slots it came from and leaves the others as they were.

struct UsimRowFields {
    QString secondNumber;
    QString type;
    QString email;
    QString secondName;
    QString group;  // the group names, ", " between them

    bool operator==(const UsimRowFields&) const = default;
};

// The slot a contact shows of its numbers and of its e-mails.
std::size_t shownNumberSlot(const UsimContact& contact);
std::size_t shownEmailSlot(const UsimContact& contact);

UsimRowFields rowFieldsOf(const UsimContact& contact);
UsimRowFields usimFieldsOfRow(const RecordList& list, int row);
void setUsimFieldsOfRow(RecordList& list, int row, const UsimRowFields& fields);

// `base` with the row's fields in the slots it shows, the type and group names matched to the
// card's (`types`, `groups`: those its block offers); a name the card does not offer stays as
// typed, for the card to refuse. A row without a name and number is no contact: every field
// empty, so that nothing of a deleted entry stays behind.
UsimContact contactWithRowFields(UsimContact base, const UsimRowFields& fields, bool rowHoldsEntry,
                                 const std::vector<std::string>& types,
                                 const std::vector<std::string>& groups);

// The contact with every field the USIM phone book adds emptied, its slots kept.
UsimContact withoutUsimFields(UsimContact contact);

// Whether two contacts differ in what the USIM phone book adds to the name and number.
bool usimFieldsDiffer(const UsimContact& a, const UsimContact& b);

// What the phone book window knows of the USIM phone book of the card it last read.
struct UsimCardBook {
    bool present = false;  // the card read last has a USIM phone book
    int generation = -1;   // that card (Session::cardGeneration)
    // The contact each row read from the card showed, by the row's tag: a row moved or copied
    // keeps its contact's numbers and addresses that it does not show.
    std::map<qint32, UsimContact> byTag;
    // What the card holds in each slot, as last read or written.
    std::map<int, UsimContact> bySlot;
    // The number types and group names the card offers (of its first block).
    std::vector<std::string> numberTypes;
    std::vector<std::string> groupNames;

    // The contact a row of slot `slot` with tag `tag`, `name` and `number` stands for before
    // its shown fields are put in: the one read into it (by its tag), else the card's contact of
    // that slot when the row's name or number is the one the card holds there (a row whose name
    // or number was edited has lost its tag, yet is still that contact). None for a row of
    // another contact: it inherits nothing of the one it replaces.
    std::optional<UsimContact> baseFor(qint32 tag, int slot, const QString& name,
                                       const QString& number) const;
};

}  // namespace pellucard
