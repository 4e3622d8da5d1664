#pragma once

#include <map>
#include <set>

#include "cli/loss_report.h"
#include "cli/usim_contacts.h"
#include "engine/usim_phonebook.h"

namespace pellucard::cli {

// phonebook write and add check the USIM fields they are about to write against the card's
// USIM phone book before the first record is written: a refusal found only after the names and
// numbers went onto the card would leave them without their fields.

// Every value of `fields` the card's USIM phone book would refuse (a number type or group it
// does not offer, more numbers or e-mails than it has room for, a text or number it cannot
// hold whole, no free record left), one loss each, the contacts checked in one go so that two
// cannot both count on the last free record. The refused values are taken out of `fields`:
// each contact keeps there what the card holds instead, so that with --force the rest is
// written.
Losses CheckUsimFieldsOnCard(const UsimPhoneBook& book, UsimFieldsBySlot& fields);

// The fields a file gives for entries that add leaves out as already on the card (by the slot
// that holds each), where the card holds something else: one loss each, so that a second add
// of the same file never hides them.
Losses DuplicateFieldLosses(const UsimPhoneBook& book, const UsimFieldsBySlot& fields);

// The contacts of EF ADN's `slots` as `book` holds them (UsimEntriesBefore without reading the
// card again).
std::map<int, UsimContact> UsimEntriesOf(const UsimPhoneBook& book, const std::set<int>& slots);

}  // namespace pellucard::cli
