#include "engine/card_runs.h"

#include <algorithm>

#include "engine/pellucard.h"

namespace pellucard {

namespace {

// The record files the engine enters itself: the phone book, the short messages and the
// other files of DF Telecom.
class EngineRecordFile final : public RecordFileSteps {
public:
    EngineRecordFile(Pellucard& engine, CardRecordFile file) : engine_(engine), file_(file) {}
    CardResult<int> Enter() override { return EnterCardRecordFile(engine_, file_); }
    int RecordLength() const override { return engine_.RecordLength(file_); }
    CardResult<Bytes> Read(int number) override { return engine_.ReadFileRecord(file_, number); }
    CardOutcome Write(int number, const Bytes& raw) override {
        return engine_.WriteFileRecord(file_, number, raw);
    }
    bool ReaderPresent() const override { return engine_.ReaderPresent(); }

private:
    Pellucard& engine_;
    CardRecordFile file_;
};

// Enters the file again before a retry. Its failure, or a file that now holds no records, stands
// for the outcome of the retry.
CardOutcome EnterAgain(RecordFileSteps& file) {
    const CardResult<int> entered = file.Enter();
    if (entered.value > 0 || !entered.IsDone())
        return entered.outcome;
    return CardOutcome::LinkFailed();
}

// Enters the file for a run; the count is capped by `limit` when it is positive.
bool Begin(RecordFileSteps& file, int limit, const CardRunHooks& hooks, CardRunResult& result) {
    const CardResult<int> entered = file.Enter();
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
    EngineRecordFile steps(engine, file);
    return ReadCardRecords(steps, record, hooks, limit);
}

CardRunResult WriteCardRecords(
    Pellucard& engine, CardRecordFile file,
    const std::function<std::optional<Bytes>(int number, int recordLength)>& recordFor,
    const CardRunHooks& hooks, int limit) {
    EngineRecordFile steps(engine, file);
    return WriteCardRecords(steps, recordFor, hooks, limit);
}

CardRunResult ReadCardRecords(RecordFileSteps& file,
                              const std::function<void(int number, const Bytes& raw)>& record,
                              const CardRunHooks& hooks, int limit) {
    CardRunResult result;
    if (!Begin(file, limit, hooks, result))
        return result;
    for (int number = 1; number <= result.recordCount; ++number) {
        CardResult<Bytes> read = file.Read(number);
        // Reads change nothing on the card: a failed one is asked again, on a freshly entered
        // file, because a lost answer makes the engine forget the file's record length.
        for (int retry = 0; !read.IsDone() && retry < kRecordRetries && file.ReaderPresent();
             ++retry) {
            ++result.retries;
            const CardOutcome entered = EnterAgain(file);
            read = entered.IsDone() ? file.Read(number) : CardResult<Bytes>{{}, entered};
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
    RecordFileSteps& file,
    const std::function<std::optional<Bytes>(int number, int recordLength)>& recordFor,
    const CardRunHooks& hooks, int limit) {
    CardRunResult result;
    if (!Begin(file, limit, hooks, result))
        return result;
    const int recordLength = file.RecordLength();
    for (int number = 1; number <= result.recordCount; ++number) {
        const std::optional<Bytes> raw = recordFor ? recordFor(number, recordLength) : std::nullopt;
        if (!raw) {
            ++result.left;
        } else {
            CardOutcome written = file.Write(number, *raw);
            // Only an update whose answer was lost is sent again, with the same bytes; the file
            // is entered again first, as a lost answer makes the engine forget its layout. A
            // refusal is the card's word and ends the run.
            for (int retry = 0;
                 retry < kRecordRetries && written.IsLinkFailed() && file.ReaderPresent();
                 ++retry) {
                ++result.retries;
                const CardOutcome entered = EnterAgain(file);
                written = entered.IsDone() ? file.Write(number, *raw) : entered;
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
    EngineRecordFile steps(engine, file);
    if (!Begin(steps, int(records.size()), hooks, result))
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
