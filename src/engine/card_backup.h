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

// One record of the phone book or the SMS store; record numbers count from 1.
struct CardRecordRef {
    CardRecordFile file = CardRecordFile::PhoneBook;
    int record = 0;

    bool operator==(const CardRecordRef&) const = default;
};

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
    // Restore: the records that read back differently from what was written, in order.
    std::vector<CardRecordRef> differing;

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
    int phoneBookRecordLength = 0;  // the card's
    // The card's phone book records have another length: names and numbers are written anew
    // in it instead of byte for byte.
    bool phoneBookReencoded = false;
    bool smsLengthDiffers = false;  // SMS records of another length cannot be written
};

// Enters both files to learn their sizes; false when the card does not answer.
bool PlanRestore(Pellucard& engine, const CardBackup& backup, RestorePlan& plan);

// The phone book record that a restore writes for `record` into a card whose records are
// `length` bytes: the record itself when the lengths agree, else its name and number written
// anew, the name in the form that holds the most of it (and cut where even that cannot).
Bytes PhoneBookRecordForLength(const Bytes& record, int length);

// What a restore does when a record reads back differently: end there, or go on writing and
// checking the other file and list every such record.
enum class ReadBackCheck { StopAtFirstDifference, CheckEveryRecord };

// Writes the records of the plan, then reads them back and compares each with what was
// written. Records beyond the card's files are not written.
BackupRunResult RestoreCardBackup(Pellucard& engine, const CardBackup& backup,
                                  const RestorePlan& plan, const BackupProgress& progress = {},
                                  ReadBackCheck check = ReadBackCheck::StopAtFirstDifference);

}  // namespace pellucard
