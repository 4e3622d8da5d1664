#pragma once

#include <QJsonArray>

#include <string>
#include <vector>

namespace pellucard::cli {

// The plain-text listing of `phonebook read`, made from the entries its JSON gives (with the
// USIM fields and later blocks' entries when the card has a USIM phone book). Each entry that
// holds something is one line "SLOT<tab>NAME<tab>NUMBER", as a GSM card has always listed it;
// an entry of a later block names its place as "block 2 slot 7". Its USIM fields follow it, one
// to a line, each line beginning with a tab (an empty first column, which no entry has):
//     <tab>number<tab>+441632960456<tab>Work    (the type, when it has one)
//     <tab>e-mail<tab>alice@example.org
//     <tab>second name<tab>Ali
//     <tab>group<tab>Friends
// so that a script takes the lines whose first column is not empty as entries, and the others
// as the fields of the entry above them. A tab or line break within a value shows as a blank.
std::vector<std::string> PhoneBookListing(const QJsonArray& entries);

}  // namespace pellucard::cli
