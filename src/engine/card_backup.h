#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/bytes.h"
#include "engine/card_outcome.h"
#include "engine/card_runs.h"
#include "engine/usim_phonebook_backup.h"

namespace pellucard {

class Pellucard;

// A record file of the card beside the phone book and the SMS store, held byte for byte:
// record n at index n - 1 (in a cyclic file record 1 is the latest).
struct BackupFile {
    CardRecordFile file = CardRecordFile::OwnNumbers;
    int recordLength = 0;
    bool cyclic = false;
    std::vector<Bytes> records;

    bool operator==(const BackupFile&) const = default;
};

// The files a backup holds beside the phone book and the SMS store, when the card has them.
inline constexpr CardRecordFile kOtherBackupFiles[] = {
    CardRecordFile::FixedDialling, CardRecordFile::ServiceDialling, CardRecordFile::OwnNumbers,
    CardRecordFile::LastDialled, CardRecordFile::SmsParameters};

// A whole-card backup: the card's identity and every record of its phone book (EF ADN) and
// SMS store (EF SMS) exactly as the card held them, record n at index n - 1, and the other
// record files the card has (a file it lacks or keeps closed is not held), and its USIM phone
// books (none on a GSM card).
struct CardBackup {
    std::string iccid;
    std::string phase;
    int phoneBookRecordLength = 0;
    int smsRecordLength = 0;
    std::vector<Bytes> phoneBook;
    std::vector<Bytes> sms;
    std::vector<BackupFile> otherFiles;
    std::vector<BackupUsimPhoneBook> usimPhoneBooks;

    int RecordCount() const { return int(phoneBook.size() + sms.size()); }
    const BackupFile* Find(CardRecordFile file) const;
};

// What became of one of the other files in a restore.
enum class OtherFileEnding {
    Unchanged,      // the card already held the backup's records: nothing was written
    Written,        // the records that differed were written and read back unchanged
    NotOnCard,      // the card has no such file, or would not open it
    LengthDiffers,  // the card's records have another length
    NeedsPin2,      // the fixed dialling numbers differ, and PIN2 was not verified
    Refused,        // the card refused a read or an update (failure holds its status word)
    Mismatch,       // a record read back differently from what was written
    LinkFailed,     // the link failed here, which ended the whole restore
};

struct OtherFileRestore {
    CardRecordFile file = CardRecordFile::OwnNumbers;
    OtherFileEnding ending = OtherFileEnding::Unchanged;
    int written = 0;  // records written
    int record = 0;   // the record it ended at, for Refused and Mismatch
    CardOutcome failure;

    bool Restored() const {
        return ending == OtherFileEnding::Unchanged || ending == OtherFileEnding::Written;
    }
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
    // The file of a USIM phone book it ended in instead, when not 0 (`file` then says nothing).
    std::uint16_t usimFileId = 0;
    int record = 0;
    CardOutcome failure;  // the card's answer when Refused, or the lost one when LinkFailed
    // Restore: the records that read back differently from what was written, in order.
    std::vector<CardRecordRef> differing;

    // Restore of the other files (when the plan asks for it), one entry a file of the plan.
    std::vector<OtherFileRestore> otherFiles;
    // Restore of the USIM phone books (with the other files), one entry a phone book of the plan.
    std::vector<UsimPhoneBookRestore> usimPhoneBooks;

    bool Ok() const { return outcome == BackupOutcome::Done; }
    // Ok, and every other file and USIM phone book of the plan was written or already held the
    // backup's records.
    bool AllRestored() const;
    // The identifier of the file it ended in.
    std::uint16_t FileId() const;
};

// After each record: records done and the total of the run. Returning false stops the run
// after that record.
using BackupProgress = std::function<bool(int done, int total)>;

// Reads the card's identity, every phone book and SMS record, and every record of the other
// files the card has (a file it refuses to open is left out; a failed link ends the backup).
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

    // The other files are restored only when the caller asks; the fixed dialling numbers only
    // once it has verified PIN2 (without it they are reported as not written).
    bool restoreOtherFiles = false;
    bool pin2Verified = false;
    struct OtherFile {
        CardRecordFile file = CardRecordFile::OwnNumbers;
        int recordCount = 0;  // the card's; 0 when it has no such file
        int recordLength = 0;
    };
    std::vector<OtherFile> otherFiles;  // each file of the backup, as the card has it
    // Each USIM phone book of the backup, as it fits the card; restored with the other files.
    std::vector<UsimPhoneBookPlan> usimPhoneBooks;
};

// Enters the files to learn their sizes; false when the card does not answer.
bool PlanRestore(Pellucard& engine, const CardBackup& backup, RestorePlan& plan);

// The phone book record that a restore writes for `record` into a card whose records are
// `length` bytes: the record itself when the lengths agree, else its name and number written
// anew, the name in the form that holds the most of it (and cut where even that cannot).
Bytes PhoneBookRecordForLength(const Bytes& record, int length);

// What a restore does when a record reads back differently: end there, or go on writing and
// checking the other file and list every such record.
enum class ReadBackCheck { StopAtFirstDifference, CheckEveryRecord };

// Writes the records of the plan, then reads them back and compares each with what was
// written. Records beyond the card's files are not written. Then, when the plan asks, each
// other file: the records that differ from the card's are written (a cyclic file whole) and
// read back; a refusal there ends that file only, a failed link the whole restore. Then the
// same for each USIM phone book whose layout on the card is the backup's.
BackupRunResult RestoreCardBackup(Pellucard& engine, const CardBackup& backup,
                                  const RestorePlan& plan, const BackupProgress& progress = {},
                                  ReadBackCheck check = ReadBackCheck::StopAtFirstDifference);

}  // namespace pellucard
