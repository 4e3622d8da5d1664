#pragma once

#include <QList>
#include <QString>

#include "records/record_list.h"
#include "windows/card_record_store.h"

namespace pellucard {

class Pellucard;

// The four runs that copy the whole phone book or SMS store between the card and a window's
// SIM list. Each walks every record of the card in order, shows its progress, yields to the
// event loop after every record (the window's Yield pauses the polling) and stops as soon as
// the card has gone. Nothing is rolled back when a run stops early.

inline constexpr int kUpLoadingMessage = 17300;        // "Up Loading Record "
inline constexpr int kUpLoadProblemMessage = 13100;    // "Have Problem in Up Loading Record "
inline constexpr int kDownLoadingMessage = 11600;      // "Down Loading Record "
inline constexpr int kDownLoadProblemMessage = 13200;  // "Have Problem In Down Loading Record "
inline constexpr int kTotalMessage = 16800;            // "Total "
inline constexpr int kRecordsInSimMessage = 18500;     // " Records in Sim Card"
inline constexpr int kMessagesCutMessage = 30300;      // texts too long for the card: write cut?

// Where a run shows its progress: the window's progress bar and status label.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void SetMaximum(int maximum) = 0;
    virtual void SetValue(int value) = 0;
    virtual void SetStatus(const QString& text) = 0;
    // Lets pending interface events run with polling paused.
    virtual void Yield() = 0;
};

struct TransferRun {
    Pellucard& engine;
    TransferProgress& progress;
    // The records a read run put into the list; the write run sends untouched ones back as
    // they were.
    CardRecordStore& store;
    int languageIndex = 0;
};

// The columns whose texts decide whether a row is still the record that was read.
QList<int> PhoneBookCompareColumns();
QList<int> SmsCompareColumns();

// "Total " + count + " Records in Sim Card".
QString TotalText(int count, int languageIndex);

// Reads card records 1..recordCount into rows 1.. of the list (names and numbers). Returns
// false, touching nothing, when the card does not answer at the start. `doneCount` gets the
// number of the last record read.
bool ReadPhoneBook(TransferRun& run, RecordList& list, int recordCount, int& doneCount);
// Writes rows 1..recordCount to the card records of the same number, empty rows as empty
// records. False when the card went away during the run.
bool WritePhoneBook(TransferRun& run, const RecordList& list, int recordCount, int usedCount);

// The same for short messages. `currentYear` decides the century of the time stamp texts.
bool ReadSms(TransferRun& run, RecordList& list, int recordCount, int& doneCount, int currentYear);
// Before writing, names the slots whose text the card cannot hold whole and asks; on No
// nothing is written and the result is false.
bool WriteSms(TransferRun& run, const RecordList& list, int recordCount, int usedCount);

// Slots among 1..recordCount that will be encoded from their texts and whose text is longer
// than a record holds (160 characters of the GSM default alphabet, else 70 UTF-16 units).
QList<int> SmsSlotsToBeCut(const RecordList& list, int recordCount, const CardRecordStore& store,
                           int recordLength);

}  // namespace pellucard
