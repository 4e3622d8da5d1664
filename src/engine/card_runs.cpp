#include "engine/card_runs.h"

#include <algorithm>

#include "engine/pellucard.h"

namespace pellucard {

namespace {

int RecordLengthOf(const Pellucard& engine, CardRecordFile file) {
    return engine.RecordLength(file);
}

CardResult<Bytes> ReadOne(Pellucard& engine, CardRecordFile file, int number) {
    return engine.ReadFileRecord(file, number);
}

CardOutcome WriteOne(Pellucard& engine, CardRecordFile file, int number, const Bytes& raw) {
    return engine.WriteFileRecord(file, number, raw);
}

// Enters the file again before a retry. Its failure, or a file that now holds no records, stands
// for the outcome of the retry.
CardOutcome EnterAgain(Pellucard& engine, CardRecordFile file) {
    const CardResult<int> entered = EnterCardRecordFile(engine, file);
    if (entered.value > 0 || !entered.IsDone())
        return entered.outcome;
    return CardOutcome::LinkFailed();
}

// Enters the file for a run; the count is capped by `limit` when it is positive.
bool Begin(Pellucard& engine, CardRecordFile file, int limit, const CardRunHooks& hooks,
           CardRunResult& result) {
    const CardResult<int> entered = EnterCardRecordFile(engine, file);
    if (entered.value <= 0) {
        result.ending = RunEnding::NotEntered;
        result.failure = entered.outcome;
        return false;
    }
    result.recordCount = limit > 0 ? std::min(entered.value, limit) : entered.value;
    if (hooks.entered)
        hooks.entered(result.recordCount);
    return true;
}

// After record `number` was handled: progress, yield, and the user's stop.
bool Continue(const CardRunHooks& hooks, int number, CardRunResult& result) {
    if (hooks.progress)
        hooks.progress(number, result.recordCount);
    if (hooks.yield)
        hooks.yield();
    result.record = number;
    if (hooks.stopRequested && hooks.stopRequested() && number < result.recordCount) {
        result.ending = RunEnding::Stopped;
        return false;
    }
    return true;
}

void Fail(CardRunResult& result, int number, const CardOutcome& outcome) {
    result.record = number;
    result.failure = outcome;
    result.ending = outcome.IsRefused() ? RunEnding::Refused : RunEnding::LinkFailed;
}

// Every record of the file was handled.
CardRunResult Completed(CardRunResult& result) {
    result.ending = RunEnding::Complete;
    result.record = result.recordCount;
    return result;
}

}  // namespace

CardResult<int> EnterCardRecordFile(Pellucard& engine, CardRecordFile file) {
    const CardOutcome entered = engine.EnterRecordFile(file);
    if (!entered.IsDone())
        return {0, entered};
    return {engine.RecordCount(file), entered};
}

CardRunResult ReadCardRecords(Pellucard& engine, CardRecordFile file,
                              const std::function<void(int number, const Bytes& raw)>& record,
                              const CardRunHooks& hooks, int limit) {
    CardRunResult result;
    if (!Begin(engine, file, limit, hooks, result))
        return result;
    for (int number = 1; number <= result.recordCount; ++number) {
        CardResult<Bytes> read = ReadOne(engine, file, number);
        // Reads change nothing on the card: a failed one is asked again, on a freshly entered
        // file, because a lost answer makes the engine forget the file's record length.
        for (int retry = 0; !read.IsDone() && retry < kRecordRetries && engine.ReaderPresent();
             ++retry) {
            ++result.retries;
            const CardOutcome entered = EnterAgain(engine, file);
            read =
                entered.IsDone() ? ReadOne(engine, file, number) : CardResult<Bytes>{{}, entered};
        }
        if (!read.IsDone()) {
            Fail(result, number, read.outcome);
            return result;
        }
        if (record)
            record(number, read.value);
        ++result.done;
        if (!Continue(hooks, number, result))
            return result;
    }
    return Completed(result);
}

CardRunResult WriteCardRecords(
    Pellucard& engine, CardRecordFile file,
    const std::function<std::optional<Bytes>(int number, int recordLength)>& recordFor,
    const CardRunHooks& hooks, int limit) {
    CardRunResult result;
    if (!Begin(engine, file, limit, hooks, result))
        return result;
    const int recordLength = RecordLengthOf(engine, file);
    for (int number = 1; number <= result.recordCount; ++number) {
        const std::optional<Bytes> raw = recordFor ? recordFor(number, recordLength) : std::nullopt;
        if (!raw) {
            ++result.left;
        } else {
            CardOutcome written = WriteOne(engine, file, number, *raw);
            // Only an update whose answer was lost is sent again, with the same bytes; the file
            // is entered again first, as a lost answer makes the engine forget its layout. A
            // refusal is the card's word and ends the run.
            for (int retry = 0;
                 retry < kRecordRetries && written.IsLinkFailed() && engine.ReaderPresent();
                 ++retry) {
                ++result.retries;
                const CardOutcome entered = EnterAgain(engine, file);
                written = entered.IsDone() ? WriteOne(engine, file, number, *raw) : entered;
            }
            if (!written.IsDone()) {
                Fail(result, number, written);
                return result;
            }
            ++result.done;
        }
        if (!Continue(hooks, number, result))
            return result;
    }
    return Completed(result);
}

CardRunResult WriteCyclicRecords(Pellucard& engine, CardRecordFile file,
                                 const std::vector<Bytes>& records, const CardRunHooks& hooks) {
    CardRunResult result;
    if (records.empty())
        return Completed(result);
    if (!Begin(engine, file, int(records.size()), hooks, result))
        return result;
    // Progress counts the records pushed; the record named on failure is the card's number of
    // the record being restored.
    int pushed = 0;
    for (int number = result.recordCount; number >= 1; --number) {
        const CardOutcome written = engine.PushCyclicRecord(file, records[std::size_t(number - 1)]);
        if (!written.IsDone()) {
            Fail(result, number, written);
            return result;
        }
        ++result.done;
        if (!Continue(hooks, ++pushed, result))
            return result;
    }
    return Completed(result);
}

}  // namespace pellucard
