#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/bytes.h"

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

enum class CardFileKind { PhoneBook, Sms };

// How a backup or restore run ended. Refused carries the card's status word; LinkFailed means
// no answer came; Mismatch that a record read back differently from what was written.
enum class CardRunOutcome { Done, Refused, LinkFailed, Stopped, Mismatch };

struct CardRunResult {
    CardRunOutcome outcome = CardRunOutcome::Done;
    int done = 0;   // records read, or written and read back unchanged
    int total = 0;  // records the run set out to do
    CardFileKind file = CardFileKind::PhoneBook;  // where it ended, when not Done
    int record = 0;
    std::uint16_t statusWord = 0;  // Refused only

    bool Ok() const { return outcome == CardRunOutcome::Done; }
};

// Told after each record; returning false stops the run after that record.
using CardRunProgress = std::function<bool(int done, int total)>;

// Reads the card's identity and every phone book and SMS record.
CardRunResult ReadCardBackup(Pellucard& engine, CardBackup& backup,
                             const CardRunProgress& progress = {});

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

// Writes the records of the plan, each read back and compared with what was written. Records
// beyond the card's files are not written.
CardRunResult RestoreCardBackup(Pellucard& engine, const CardBackup& backup,
                                const RestorePlan& plan, const CardRunProgress& progress = {});

}  // namespace pellucard
