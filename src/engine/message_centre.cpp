#include "engine/message_centre.h"

#include "engine/card_runs.h"
#include "engine/pellucard.h"

namespace pellucard {

namespace {

// The first record of EF SMSP as the card holds it, read by the shared card runs (a read lost
// on the link is asked again); an empty value when the file has no record.
CardResult<Bytes> ReadFirstRecord(Pellucard& engine) {
    CardResult<Bytes> first{{}, CardOutcome::Done()};
    const CardRunResult run = ReadCardRecords(
        engine, CardRecordFile::SmsParameters,
        [&first](int, const Bytes& raw) { first.value = raw; }, {}, kMessageCentreRecord);
    if (run.Complete())
        return first;
    // Entered, but without records.
    if (run.ending == RunEnding::NotEntered && run.failure.IsDone())
        return first;
    return {{}, run.failure};
}

}  // namespace

CardResult<std::optional<std::string>> ReadMessageCentre(Pellucard& engine) {
    const CardResult<Bytes> record = ReadFirstRecord(engine);
    if (!record.IsDone())
        return {std::nullopt, record.outcome};
    return {ServiceCentreOf(record.value), record.outcome};
}

MessageCentreWrite WriteMessageCentre(Pellucard& engine, std::string_view number) {
    MessageCentreWrite result;
    CardResult<Bytes> record = ReadFirstRecord(engine);
    result.outcome = record.outcome;
    if (!record.IsDone())
        return result;
    result.previous = ServiceCentreOf(record.value);
    result.edit = SetServiceCentre(record.value, number);
    if (result.edit != ServiceCentreEdit::Done)
        return result;
    result.number = ServiceCentreOf(record.value);
    // Through the card runs: an update whose answer was lost is sent again with the same bytes.
    const CardRunResult run = WriteCardRecords(
        engine, CardRecordFile::SmsParameters,
        [&record](int recordNumber, int) -> std::optional<Bytes> {
            if (recordNumber != kMessageCentreRecord)
                return std::nullopt;
            return record.value;
        },
        {}, kMessageCentreRecord);
    result.outcome = run.Complete() ? CardOutcome::Done() : run.failure;
    return result;
}

}  // namespace pellucard
