#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "catalogue/catalogue.h"

namespace pellucard {

// The names by which the first line of a text file may title the fields of a record list, so
// that an import links them without the user's help.

// The two kinds of list an import fills: contacts (the phone book and personal record lists,
// columns 1 to 25 of a contact file, and a USIM phone book's own columns) and messages (the SMS
// lists).
enum class ListKind { Contacts, Messages };

// The catalogue titles of the SMS list's columns 1..8 (nullopt: a column without a title).
inline constexpr std::array<std::optional<MessageId>, 8> kSmsFieldTitles = {
    MessageId::SourceDestinationTitle, std::nullopt,
    MessageId::MessageTitle,           MessageId::StatusTitle,
    MessageId::IncomingTimeTitle,      MessageId::ServiceCentreAddressTitle,
    MessageId::ValidityPeriodTitle,    std::nullopt};

struct ColumnNames {
    // The column's title in each of the eight languages (a file exported in one language
    // imports in any other) and as earlier versions spelt it.
    QStringList titles;
    // The keys of the command line tool's JSON and the titles that contact exports (Google
    // Contacts CSV, Outlook CSV) give the same field.
    QStringList others;
    // The column takes the parts of a person's name (first, middle and last name, each in a
    // column of its own), joined by blanks.
    bool takesNameParts = false;
    // When nothing in the file fills column `movesTo` (also offered), what would fill this
    // column fills that one instead: a file's only name is the contact's alias, the name that
    // the phone book and every list show first.
    int movesTo = 0;
};

ColumnNames NamesOfColumn(ListKind kind, int column);

// True when `name` titles a part of a person's name in a contact export: "First Name",
// "Middle Name", "Last Name", "Given Name", "Additional Name", "Family Name".
bool IsNamePart(const QString& name);

}  // namespace pellucard
