#pragma once

#include <QString>
#include <QStringList>

#include "records/record_list.h"

namespace pellucard {

// Where a phone book row keeps what a USIM phone book adds to a name and number (the columns of
// records/usim_columns.h) when it goes into a contact file. The file's 25 contact fields stay as
// they are; the USIM values go into the fields that mean the same:
//   e-mail        -> Personal E-mail (8)
//   second name   -> Nickname (20)
//   second number -> the number field its type names: Mobile Phone (17), Home Telephone (9),
//                    Office Telephone (16), Office Fax (18) or Home Fax (10); a type that names
//                    none of them (or no type) keeps it in Office Telephone
//   group         -> Hobby (21): of the contact fields the one for what a person belongs to
//                    beside name and address; the groups are joined with ", "
// Opening a file reads them back; the second number comes from the first of Mobile Phone, Home
// Telephone, Office Telephone, Office Fax and Home Fax that holds one, its type the English word
// of that field ("Mobile", "Home", "Work", "Fax"), which a write to the card matches to the card's
// own type names (MatchNumberType).
namespace contact_field {
inline constexpr int kPersonalEmail = 8;
inline constexpr int kHomeTelephone = 9;
inline constexpr int kHomeFax = 10;
inline constexpr int kOfficeTelephone = 16;
inline constexpr int kMobilePhone = 17;
inline constexpr int kOfficeFax = 18;
inline constexpr int kNickname = 20;
inline constexpr int kHobby = 21;
}  // namespace contact_field

// The contact field the number of a USIM number type goes to: its words for mobile, home, work
// or office, and fax, in the program's eight languages; Office Telephone for any other type.
int NumberFieldOfType(const QString& type);

// Of `types` (a card's number type names), the one `type` stands for: the same name in any
// letter case, else one of the same kind (a "Mobile" row on a card that calls it "Handy");
// `type` itself when none is.
QString MatchNumberType(const QString& type, const QStringList& types);

// The groups of a row's group cell, and the cell for a list of groups.
QStringList SplitGroups(const QString& cell);
QString JoinGroups(const QStringList& groups);

// Puts the USIM columns of `row` into the contact fields above, an empty column emptying its
// field: what an edit of the column does. The number field the row's second number was read
// from gives way when the number or its type changed.
void KeepUsimColumnsInContactFields(RecordList& list, int row);
// The same for a column that holds a value; an empty one takes the field's value instead, so
// that a contact field that came in another way (an import) is neither lost nor hidden: what
// a save and a list filled from elsewhere do.
void MergeUsimColumnsWithContactFields(RecordList& list, int row);
// Fills the USIM columns of `row` from its contact fields, as a file opened holds them.
void FillUsimColumnsFromContactFields(RecordList& list, int row);

// Whether any of rows 1..used holds a value in a USIM column.
bool HoldsUsimValues(const RecordList& list, int used);

}  // namespace pellucard
