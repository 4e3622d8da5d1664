#pragma once

#include "windows/transfer_runs.h"
#include "windows/usim_rows.h"

namespace pellucard {

// The USIM phone book's part of the phone book window's runs, after the runs of the ADN records
// (readPhoneBook, writePhoneBook): slot n of the list is contact n of the card's USIM phone book
// (the global one, else the USIM application's own).

// Reads the USIM phone book into the USIM columns of rows 1..doneCount and into `book`. A card
// without one is no failure: `book` says it has none and the columns are emptied. False when the
// run ended early (the status label says where and why).
bool readUsimFields(TransferRun& run, RecordList& list, int doneCount, UsimCardBook& book);

// Writes the USIM fields of the slots the ADN run wrote (run.writtenSlots) whose fields differ
// from what the card holds, each contact whole through the engine, which writes only the records
// that change; a slot whose name or number alone the ADN run changed is visited too, so that the
// USIM phone book marks and counts the change once and gives a new entry its identifier. A
// contact the card refuses is named in the status label with the reason, and the others are
// still written; false when one was refused or the run could not go on. On a card without a
// USIM phone book the rows' USIM values are not written, and the status label says of which
// records.
bool writeUsimFields(TransferRun& run, const RecordList& list, UsimCardBook& book);

}  // namespace pellucard
