#pragma once

#include <QJsonArray>

#include <map>
#include <memory>
#include <optional>
#include <set>
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
// (one address a slot of its EMAIL files), "second_name" and "groups" (group names). The
// entries of EF ADN are those of EF PBR's first block; the entries of each later block follow
// them with their "block" (2 on) and "slot" (the record in that block's ADN file), their "name"
// and "number" beside the fields.

// Where an entry sits: block 1 is the card's EF ADN, whose records the slots are.
struct UsimSlot {
    int block = 1;
    int slot = 0;
    auto operator<=>(const UsimSlot&) const = default;
};
// "slot 7", "block 2 slot 7".
std::string UsimSlotText(const UsimSlot& at);

// Whether an entry of `name` and `number` is the contact `held` of its slot: its name or its
// number (not empty) is the one held there. A file cannot tell more, and a corrected name or
// number must not cost the contact the fields the file does not give; another contact must not
// inherit them.
bool IsSameContact(const std::string& name, const std::string& number, const UsimContact& held);

// Adds the USIM fields to each entry of `entries` (objects with their "slot") from the card's
// USIM phone book, then an entry for each record of its later blocks; leaves `entries` as they
// are on a card without one, and on a card that refuses a file of it (told in one warning line
// on standard error). Fails when the link fails.
void AddUsimFields(Pellucard& engine, QJsonArray& entries);

// The USIM fields a phone book JSON file gives, by block and slot; none for another kind of
// file. Fails (usage) on fields of the wrong shape, or on a later block's slot named twice.
struct UsimFields {
    std::optional<std::vector<ContactNumber>> numbers;
    std::optional<std::vector<std::string>> emails;
    std::optional<std::string> secondName;
    std::optional<std::vector<std::string>> groups;
    // An entry of a later block: its name and number ("" when the entry gives none).
    std::optional<std::string> name;
    std::optional<std::string> number;
};
using UsimFieldsBySlot = std::map<UsimSlot, UsimFields>;
UsimFieldsBySlot ReadUsimFields(const std::string& path);

// Adds to `fields` the slots of EF ADN emptied by a write that the file gives no USIM fields
// for, with every field empty: an entry deleted takes its numbers, e-mails, second name and
// groups along, or the next entry written to its slot would find them there.
void ClearFieldsOfEmptiedSlots(UsimFieldsBySlot& fields, const std::vector<int>& slots);

// Fails, before anything is written, when the file gives USIM fields or later blocks' entries
// and the card has no USIM phone book to hold them.
void CheckUsimPhoneBook(Pellucard& engine, const UsimFieldsBySlot& fields);

// What the card's USIM phone book holds in the slots of EF ADN a write of names and numbers is
// about to write, read before it does; nothing on a card without a USIM phone book.
std::optional<std::map<int, UsimContact>> UsimEntriesBefore(Pellucard& engine,
                                                            const std::set<int>& slots);

// What WriteUsimFields wrote: the contacts whose fields changed, and the entries whose change
// was kept in the phone book's bookkeeping (EF UID, EF PBC, EF CC).
struct UsimWritten {
    int contacts = 0;
    int changesCounted = 0;
};

// Writes the fields onto the contacts of the card's USIM phone book, each contact whole (a
// first-block contact's name and number as the card now holds them), and keeps the bookkeeping
// of the EF ADN slots in `adnBefore` (as UsimEntriesBefore read them) whose names or numbers the
// write of names and numbers changed: each changed entry is counted once, with its fields.
// Fails, saying which slot and why, when the card has no USIM phone book, has no such slot, or
// refuses a contact.
UsimWritten WriteUsimFields(Pellucard& engine, const UsimFieldsBySlot& fields,
                            const std::map<int, UsimContact>& adnBefore = {});

// WriteUsimFields after a complete run of EF ADN records; a failure keeps what was written in a
// virtual card's image before it goes on to the caller.
UsimWritten WriteUsimFieldsKeepingCard(ReaderSession& session, const UsimFieldsBySlot& fields,
                                       const std::optional<std::map<int, UsimContact>>& adnBefore);

// What a summary line adds for the USIM phone book: "; USIM fields of N contacts written" when
// the file gave fields or some were written, "; changes of N USIM contacts marked and counted"
// when any were.
std::string UsimWrittenText(const UsimWritten& written, bool fieldsGiven);

// After a run of EF ADN records that a stop or a refusal ended part way: writes the fields and
// keeps the bookkeeping of the slots the run wrote (those before the record it ended at, and
// that record when stopped), as no later run could tell that they changed. A failure of its own
// is told on standard error; the run's ending stays the command's.
void WriteUsimFieldsOfPartialRun(Pellucard& engine, const CardRunResult& run,
                                 const UsimFieldsBySlot& fields,
                                 const std::map<int, UsimContact>& adnBefore);

// The card's USIM phone book read whole (the global one, else the application's); nothing on a
// card without one. Fails when reading fails.
std::unique_ptr<UsimPhoneBook> ReadUsimPhoneBook(Pellucard& engine);

}  // namespace pellucard::cli
