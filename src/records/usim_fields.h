#pragma once

#include <QList>
#include <QString>

#include <array>

#include "catalogue/catalogue.h"
#include "records/record_list.h"
#include "records/usim_columns.h"

namespace pellucard {

// A phone book list carries the fields of a USIM phone book when it has their columns
// (usim_columns.h) and titles them; a GSM card's list has none, or leaves them untitled, and
// its exchange stays name and number.

// The USIM columns in order: second number, its type, e-mail, second name, group.
inline constexpr std::array<int, 5> kUsimColumns = {usim_column::kSecondNumber,
                                                    usim_column::kNumberType, usim_column::kEmail,
                                                    usim_column::kSecondName, usim_column::kGroup};

// Their catalogue titles, in the same order.
inline constexpr std::array<MessageId, 5> kUsimColumnTitles = {
    MessageId::SecondNumberTitle, MessageId::NumberTypeTitle, MessageId::EmailTitle,
    MessageId::SecondNameTitle, MessageId::GroupTitle};

bool HasUsimColumns(const RecordList& list);

// kUsimColumns for a list that has them; empty for any other.
QList<int> UsimColumnsOf(const RecordList& list);

// The vCard TEL types ("cell", "home", "work", "fax", "pager") that the type text of a number
// says in any of the program's eight languages: "Mobile", "Handy", "Bureau", "Fax privé",
// "Telefone (casa)". Empty when the text is empty or holds a word that is none of them.
QStringList VCardTypesOfNumberType(const QString& text);

// The type text of a number that a vCard gives these types: "Mobile", "Home", "Work", "Fax",
// "Home fax", "Work fax", "Pager"; empty for a voice number or one without types.
QString NumberTypeOfVCardTypes(const QStringList& types);

}  // namespace pellucard
