#pragma once

#include <QList>
#include <QSet>
#include <QString>

#include <functional>

#include "engine/card_record_file.h"
#include "catalogue/catalogue.h"
#include "engine/card_runs.h"
#include "records/record_list.h"
#include "windows/card_record_store.h"

namespace pellucard {

class Pellucard;

// The four runs that copy the whole phone book or SMS store between the card and a window's
// SIM list: thin adapters over the engine's whole-file runs (engine/card_runs.h), which retry
// a lost report, stop at a refusal and at the user's stop. These turn records into rows and
// back, show the progress and say how the run ended. Nothing is rolled back when a run stops
// early: rows already filled stay filled, records already written stay written.
//
// A write run writes a slot only when the list knows what belongs there: a record read from
// this card, or a row the user put there (its tag is 0). A slot whose tag is
// kUnknownSlotTag, that holds a record read from another card, or that the user chose to leave,
// is left as it is on the card. A whole write says how many records it wrote and how many slots
// it left.

// Where a run shows its progress: the window's progress bar and status label.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual void setStatus(const QString& text) = 0;
    // Lets pending interface events run with polling paused.
    virtual void yield() = 0;
    // The user asked the run to stop after the record in hand.
    virtual bool stopRequested() { return false; }
};

struct TransferRun {
    Pellucard& engine;
    TransferProgress& progress;
    // The records a read run put into the list; the write run sends untouched ones back as
    // they were.
    CardRecordStore& store;
    int languageIndex = 0;
    // The card now in the reader (Session::cardGeneration); a read remembers it, and a write
    // sends back only what was read from this very card.
    int cardGeneration = 0;
    // Read runs: called once the card's file was entered, before its first record comes (never
    // when it could not be entered).
    std::function<void()> entered = {};
    // Write runs: slots the user chose to leave as they are on the card.
    QSet<int> leaveAlone = {};
    // Write runs: the slots written, as the run ended.
    QList<int> writtenSlots = {};
    // Write runs: how the run of the records ended.
    RunEnding writeEnding = RunEnding::NotEntered;
};

// The columns whose texts decide whether a row is still the record that was read.
QList<int> phoneBookCompareColumns();
QList<int> smsCompareColumns();

// The end of a whole read: the records read from the card, and how many of them hold an entry.
QString readTotalText(int read, int holdingEntry, int languageIndex);
// Slot numbers as people read them: "1-6, 9, 12-250".
QString slotRanges(const QList<int>& numbers);

// Reads card records 1..recordCount into rows 1.. of the list (names and numbers). Returns
// false when the run ended early, and false, touching nothing, when the file could not be
// entered; the status label says where and why, with the card's status word in plain words.
// `doneCount` gets the number of the last record read. `file` is the phone book or another file
// in its record layout (fixed, service or last dialled numbers, own numbers).
bool readPhoneBook(TransferRun& run, RecordList& list, int recordCount, int& doneCount,
                   CardRecordFile file = CardRecordFile::PhoneBook);
// Writes rows 1..recordCount that the list knows to the card records of the same number, empty
// rows as empty records. False when the run ended early (the status label says why).
bool writePhoneBook(TransferRun& run, const RecordList& list, int recordCount, int usedCount,
                    CardRecordFile file = CardRecordFile::PhoneBook);

// The same for short messages. `currentYear` decides the century of the time stamp texts.
bool readSms(TransferRun& run, RecordList& list, int recordCount, int& doneCount, int currentYear);
// Before writing, names the slots whose text the card cannot hold whole and asks; on No
// nothing is written and the result is false.
bool writeSms(TransferRun& run, const RecordList& list, int recordCount, int usedCount);

// Slots among 1..recordCount that will be encoded from their texts and whose text is longer
// than a record holds (160 characters of the GSM default alphabet, else 70 UTF-16 units).
QList<int> smsSlotsToBeCut(const RecordList& list, int recordCount, const CardRecordStore& store,
                           int recordLength);

// For runs built on these: the hooks that show a run's progress under `messageId` (and count
// the records done), and how a read ended, as the runs above show them.
CardRunHooks transferHooks(TransferRun& run, MessageId messageId, int* doneCount);
bool showTransferReadEnding(TransferRun& run, const CardRunResult& result);

}  // namespace pellucard
