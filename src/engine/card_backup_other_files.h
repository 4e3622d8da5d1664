#pragma once

#include <optional>
#include <vector>

#include "engine/card_backup.h"

// The record files a whole-card backup holds beside the phone book and the SMS store (fixed,
// service and last dialled numbers, own numbers, SMS parameters), for card_backup.cpp.

namespace pellucard {

// Enters each of kOtherBackupFiles: the files the card opens go to `files` (without records)
// with their record counts in `counts`. A file the card lacks or refuses is left out; done
// unless the link failed.
CardOutcome LearnOtherFiles(Pellucard& engine, std::vector<BackupFile>& files,
                            std::vector<int>& counts);

// Adds to the plan each other file of the backup as the card has it; false when the link
// failed.
bool PlanOtherFiles(Pellucard& engine, const CardBackup& backup, RestorePlan& plan);

// Whether a restore by `plan` would write `file`: the backup holds it, the card has it with
// records of the same length, and the card's records differ from the backup's. Nothing when
// the card's records could not be read. Lets a caller ask for PIN2 only when the fixed
// dialling numbers are to be written.
std::optional<bool> OtherFileWouldChange(Pellucard& engine, const CardBackup& backup,
                                         const RestorePlan& plan, CardRecordFile file);

// Restores each other file of the plan, one by one, into result.otherFiles. A refusal ends
// only its file; a failed link ends the restore (result.outcome LinkFailed, result.file the
// file).
void RestoreOtherFiles(Pellucard& engine, const CardBackup& backup, const RestorePlan& plan,
                       BackupRunResult& result);

}  // namespace pellucard
