#pragma once

#include <QJsonArray>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "engine/usim_phonebook.h"

namespace pellucard {
class Pellucard;
}

namespace pellucard::cli {

// The USIM phone book's fields in the phone book's JSON: "numbers" (the additional numbers,
// one {"number", "type"} a slot of the card's ANR files, "" where a slot holds none), "emails"
// (one address a slot of its EMAIL files), "second_name" and "groups" (group names).

// Adds the USIM fields to each entry of `entries` (objects with their "slot") from the card's
// USIM phone book; leaves them as they are on a card without one. Fails when reading fails.
void AddUsimFields(Pellucard& engine, QJsonArray& entries);

// The USIM fields a phone book JSON file gives, by slot; none for another kind of file. Fails
// (usage) on fields of the wrong shape.
struct UsimFields {
    std::optional<std::vector<ContactNumber>> numbers;
    std::optional<std::vector<std::string>> emails;
    std::optional<std::string> secondName;
    std::optional<std::vector<std::string>> groups;
};
std::map<int, UsimFields> ReadUsimFields(const std::string& path);

// Adds to `fields` the slots emptied by a write that the file gives no USIM fields for, with
// every field empty: an entry deleted takes its numbers, e-mails, second name and groups along,
// or the next entry written to its slot would find them there.
void ClearFieldsOfEmptiedSlots(std::map<int, UsimFields>& fields, const std::vector<int>& slots);

// Fails, before anything is written, when the file gives USIM fields and the card has no USIM
// phone book to hold them.
void CheckUsimPhoneBook(Pellucard& engine, const std::map<int, UsimFields>& fields);

// Writes the fields onto the contacts of the card's USIM phone book, each contact whole (its
// name and number as the card now holds them); the value is the count of contacts written.
// Fails, saying which slot and why, when the card has no USIM phone book or refuses a contact.
int WriteUsimFields(Pellucard& engine, const std::map<int, UsimFields>& fields);

}  // namespace pellucard::cli
