#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/bytes.h"
#include "engine/card_outcome.h"
#include "engine/card_runs.h"

namespace pellucard {

class Pellucard;

// A whole-card backup: the card's identity and every record of its phone book (EF ADN) and
// SMS store (EF SMS) exactly as the card held them, record n at index n - 1.
struct CardBackup {
    std::string iccid;
    std::string phase;
    int phoneBookRecordLength = 0;
    int smsRecordLength = 0;
    std::vector<Bytes> phoneBook;
    std::vector<Bytes> sms;

    int RecordCount() const { return int(phoneBook.size() + sms.size()); }
};

// How a backup or restore ended. The runs over each file are the shared record runs (with their
// retries and stop request); Mismatch means that a record read back differently from what was
// written.
enum class BackupOutcome { Done, Refused, LinkFailed, Stopped, Mismatch };

struct BackupRunResult {
    BackupOutcome outcome = BackupOutcome::Done;
    int done = 0;   // records read, or written and read back unchanged
    int total = 0;  // records the run set out to do
    // Restore: records written to the card, the phone book's first (a record refused or lost
    // on the link is not counted), whether or not they were read back.
    int written = 0;
    CardRecordFile file = CardRecordFile::PhoneBook;  // where it ended, when not Done
    int record = 0;
    CardOutcome failure;  // the card's answer when Refused, or the lost one when LinkFailed

    bool Ok() const { return outcome == BackupOutcome::Done; }
};

// After each record: records done and the total of the run. Returning false stops the run
// after that record.
using BackupProgress = std::function<bool(int done, int total)>;

// Reads the card's identity and every phone book and SMS record.
BackupRunResult ReadCardBackup(Pellucard& engine, CardBackup& backup,
                               const BackupProgress& progress = {});

// What a restore onto the card in the reader would do.
struct RestorePlan {
    std::string cardIccid;
    bool otherCard = false;    // the card's ICCID is not the backup's
    int phoneBookRecords = 0;  // the records that will be written
    int smsRecords = 0;
    int phoneBookBeyond = 0;  // backup records beyond the card's files, not written
    int smsBeyond = 0;
    // The card's phone book records have another length: names and numbers are written anew
    // in it instead of byte for byte.
    bool phoneBookReencoded = false;
    bool smsLengthDiffers = false;  // SMS records of another length cannot be written
};

// Enters both files to learn their sizes; false when the card does not answer.
bool PlanRestore(Pellucard& engine, const CardBackup& backup, RestorePlan& plan);

// Writes the records of the plan, then reads them back and compares each with what was
// written. Records beyond the card's files are not written.
BackupRunResult RestoreCardBackup(Pellucard& engine, const CardBackup& backup,
                                  const RestorePlan& plan, const BackupProgress& progress = {});

}  // namespace pellucard
