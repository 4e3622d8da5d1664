#include "engine/card_runs.h"

#include <algorithm>

#include "engine/pellucard.h"

namespace pellucard {

namespace {

int RecordLengthOf(const Pellucard& engine, CardRecordFile file) {
    return file == CardRecordFile::PhoneBook ? engine.PhoneBookRecordLength()
                                             : engine.SmsRecordLength();
}

bool ReadOne(Pellucard& engine, CardRecordFile file, int number, Bytes& raw) {
    return file == CardRecordFile::PhoneBook ? engine.GetPhoneBook(raw, number)
                                             : engine.GetSMS(raw, number);
}

bool WriteOne(Pellucard& engine, CardRecordFile file, int number, const Bytes& raw) {
    return file == CardRecordFile::PhoneBook ? engine.SetPhoneBook(raw, number)
                                             : engine.SetSMS(number, raw);
}

// Enters the file for a run; the count is capped by `limit` when it is positive.
bool Begin(Pellucard& engine, CardRecordFile file, int limit, const CardRunHooks& hooks,
           CardRunResult& result) {
    const int count = EnterCardRecordFile(engine, file);
    if (count <= 0) {
        result.ending = RunEnding::NotEntered;
        result.failure = engine.LastOutcome();
        return false;
    }
    result.recordCount = limit > 0 ? std::min(count, limit) : count;
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

int EnterCardRecordFile(Pellucard& engine, CardRecordFile file) {
    if (file == CardRecordFile::PhoneBook) {
        return engine.EnterPhoneBook() && engine.LastOutcome().IsDone()
                   ? engine.PhoneBookRecordCount()
                   : 0;
    }
    return engine.EnterSMSBook() && engine.LastOutcome().IsDone() ? engine.SmsRecordCount() : 0;
}

CardRunResult ReadCardRecords(Pellucard& engine, CardRecordFile file,
                              const std::function<void(int number, const Bytes& raw)>& record,
                              const CardRunHooks& hooks, int limit) {
    CardRunResult result;
    if (!Begin(engine, file, limit, hooks, result))
        return result;
    for (int number = 1; number <= result.recordCount; ++number) {
        Bytes raw;
        bool read = ReadOne(engine, file, number, raw);
        // Reads change nothing on the card: a failed one is asked again, on a freshly entered
        // file, because a lost answer makes the engine forget the file's record length.
        for (int retry = 0; !read && retry < kRecordRetries && engine.ReaderPresent(); ++retry) {
            ++result.retries;
            if (EnterCardRecordFile(engine, file) > 0)
                read = ReadOne(engine, file, number, raw);
        }
        if (!read) {
            Fail(result, number, engine.LastOutcome());
            return result;
        }
        if (record)
            record(number, raw);
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
            bool written = WriteOne(engine, file, number, *raw);
            // Only an update whose answer was lost is sent again, with the same bytes; the file
            // is entered again first, as a lost answer makes the engine forget its layout. A
            // refusal is the card's word and ends the run.
            for (int retry = 0; !written && retry < kRecordRetries &&
                                engine.LastOutcome().IsLinkFailed() && engine.ReaderPresent();
                 ++retry) {
                ++result.retries;
                if (EnterCardRecordFile(engine, file) > 0)
                    written = WriteOne(engine, file, number, *raw);
            }
            if (!written) {
                Fail(result, number, engine.LastOutcome());
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
