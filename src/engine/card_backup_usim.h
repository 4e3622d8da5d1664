#pragma once

#include <vector>

#include "engine/card_backup.h"

// The USIM phone books in a whole-card backup (EF PBR and every file it lists, the counters and
// identifiers beside them), for card_backup.cpp.

namespace pellucard {

// Learns the USIM phone books the card has, the global one first: reads each EF PBR whole and
// enters every file it lists, reads the bodies of EF PSC, EF CC and EF PUID. The record files
// go to `books` without records, their record counts to `counts` in the same order. A phone
// book whose EF PBR the card lacks or refuses to select or read is left out, and so is a listed
// file it lacks; done unless the link failed.
CardOutcome LearnUsimPhoneBooks(Pellucard& engine, std::vector<BackupUsimPhoneBook>& books,
                                std::vector<int>& counts);

// Reads every record of one record file of a phone book through the shared record run.
CardRunResult ReadUsimPhoneBookFile(Pellucard& engine, PhoneBookPlace place, std::uint16_t fileId,
                                    const std::function<void(int number, const Bytes& raw)>& record,
                                    const CardRunHooks& hooks);

// Adds to the plan how each USIM phone book of the backup fits the card; false when the link
// failed.
bool PlanUsimPhoneBooks(Pellucard& engine, const CardBackup& backup, RestorePlan& plan);

// Restores each phone book of the plan that fits, into result.usimPhoneBooks: the records and
// bodies that differ from the card's are written and read back. A refusal ends only its phone
// book; a failed link or the user's stop ends the restore (result.outcome, result.usimFileId).
void RestoreUsimPhoneBooks(Pellucard& engine, const CardBackup& backup, const RestorePlan& plan,
                           const BackupProgress& progress, BackupRunResult& result);

}  // namespace pellucard
