#include "engine/card_runs.h"

#include <algorithm>

#include "engine/pellucard.h"

namespace pellucard {

namespace {

int RecordLengthOf(const Pellucard& engine, CardRecordFile file) {
    return file == CardRecordFile::PhoneBook ? engine.PhoneBookRecordLength()
                                             : engine.SmsRecordLength();
}

CardResult<Bytes> ReadOne(Pellucard& engine, CardRecordFile file, int number) {
    return file == CardRecordFile::PhoneBook ? engine.ReadPhoneBookRecord(number)
                                             : engine.ReadSmsRecord(number);
}

CardOutcome WriteOne(Pellucard& engine, CardRecordFile file, int number, const Bytes& raw) {
    return file == CardRecordFile::PhoneBook ? engine.WritePhoneBookRecord(number, raw)
                                             : engine.WriteSmsRecord(number, raw);
}

// The phone book and the short messages, through the engine's own entries to them.
class EngineRecordFile final : public RecordFileSteps {
public:
    EngineRecordFile(Pellucard& engine, CardRecordFile file) : engine_(engine), file_(file) {}
    CardResult<int> Enter() override { return EnterCardRecordFile(engine_, file_); }
    int RecordLength() const override { return RecordLengthOf(engine_, file_); }
    CardResult<Bytes> Read(int number) override { return ReadOne(engine_, file_, number); }
    CardOutcome Write(int number, const Bytes& raw) override {
        return WriteOne(engine_, file_, number, raw);
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
    const bool phoneBook = file == CardRecordFile::PhoneBook;
    const CardOutcome entered = phoneBook ? engine.EnterPhoneBook() : engine.EnterSmsFile();
    if (!entered.IsDone())
        return {0, entered};
    return {phoneBook ? engine.PhoneBookRecordCount() : engine.SmsRecordCount(), entered};
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

}  // namespace pellucard
