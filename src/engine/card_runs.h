#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/bytes.h"
#include "engine/card_outcome.h"
#include "engine/card_record_file.h"

namespace pellucard {

class Pellucard;

// How a run ended.
enum class RunEnding {
    Complete,    // every record of the file was read or handled
    Stopped,     // the user asked to stop; the run ended after the record in hand
    Refused,     // the card refused a record (its status word is kept)
    LinkFailed,  // the reader or the card stopped answering, after the retries
    NotEntered,  // the file could not be selected; nothing was read or written
};

struct CardRunResult {
    RunEnding ending = RunEnding::NotEntered;
    int recordCount = 0;  // records of the file on the card
    int record = 0;       // the record the run ended at (failed or stopped), else the last one
    int done = 0;         // records read, or written
    int left = 0;         // write runs: slots whose card content was left as it was
    int retries = 0;      // repeated reads or updates after a failed link
    CardOutcome failure;  // the failing answer of a Refused or LinkFailed ending

    bool Complete() const { return ending == RunEnding::Complete; }
};

// What a run tells its caller while it goes on. Every member may be empty.
struct CardRunHooks {
    // The file was entered; records follow (nothing is called when it could not be entered).
    std::function<void(int recordCount)> entered;
    // After each record: its number and the file's record count.
    std::function<void(int record, int recordCount)> progress;
    // Lets the caller's event loop run, after each record.
    std::function<void()> yield;
    // Asked after each record; true ends the run there.
    std::function<bool()> stopRequested;
};

// Times a record is asked for again after a failed read or an update lost on the link. The
// reader protocol allows a read, or an update of the same record with the same bytes, to be
// repeated; a CHV command is never repeated (each one costs an attempt).
inline constexpr int kRecordRetries = 2;

// Reads records 1..count of `file` (count: the file's record count, at most `limit` when
// limit > 0) and hands each to `record` as the card's bytes. A read that fails is repeated up to
// kRecordRetries times, the file entered again first; a record still unread ends the run there,
// and what was handed over so far stays the caller's.
CardRunResult ReadCardRecords(Pellucard& engine, CardRecordFile file,
                              const std::function<void(int number, const Bytes& raw)>& record,
                              const CardRunHooks& hooks, int limit = 0);

// Writes records 1..count of `file`. `recordFor` gives the bytes of record n (the file's
// record length is passed along), or nothing when the caller does not know what belongs there:
// that record is left as it is on the card. An update lost on the link is sent again up to
// kRecordRetries times, the same record with the same bytes; a refusal ends the run at once.
CardRunResult WriteCardRecords(
    Pellucard& engine, CardRecordFile file,
    const std::function<std::optional<Bytes>(int number, int recordLength)>& recordFor,
    const CardRunHooks& hooks, int limit = 0);

// Writes a cyclic file whole (EF LND on many cards): `records` newest first, as a read gives
// them. Each is pushed in as the new latest record, the oldest first, so that the file ends up
// in the same order. A push is never sent again (one whose answer was lost may have landed, and
// a second would shift the file); a failed one ends the run, its `record` the one it pushed.
// Records beyond the file's count are not written. A run stopped or failed half way leaves the
// file with the records pushed so far as its latest ones.
CardRunResult WriteCyclicRecords(Pellucard& engine, CardRecordFile file,
                                 const std::vector<Bytes>& records, const CardRunHooks& hooks);

// Enters the file; the value is its record count (0 when it could not be entered).
CardResult<int> EnterCardRecordFile(Pellucard& engine, CardRecordFile file);

// Any linear fixed file as the runs go through it: the runs above on another file of the card
// (the files of a USIM phone book), with the same retries, hooks and endings.
class RecordFileSteps {
public:
    virtual ~RecordFileSteps() = default;
    // Selects the file; the value is its record count.
    virtual CardResult<int> Enter() = 0;
    // The record length learnt when the file was entered.
    virtual int RecordLength() const = 0;
    virtual CardResult<Bytes> Read(int number) = 0;
    virtual CardOutcome Write(int number, const Bytes& raw) = 0;
    // False once the reader went away: nothing is retried then.
    virtual bool ReaderPresent() const = 0;
};

CardRunResult ReadCardRecords(RecordFileSteps& file,
                              const std::function<void(int number, const Bytes& raw)>& record,
                              const CardRunHooks& hooks, int limit = 0);
CardRunResult WriteCardRecords(
    RecordFileSteps& file,
    const std::function<std::optional<Bytes>(int number, int recordLength)>& recordFor,
    const CardRunHooks& hooks, int limit = 0);

}  // namespace pellucard
