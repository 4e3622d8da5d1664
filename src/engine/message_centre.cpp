#include "engine/message_centre.h"

#include "engine/pellucard.h"

namespace pellucard {

namespace {

// The first record of EF SMSP as the card holds it; an empty value when the file has none.
CardResult<Bytes> ReadFirstRecord(Pellucard& engine) {
    const CardOutcome entered = engine.EnterRecordFile(CardRecordFile::SmsParameters);
    if (!entered.IsDone())
        return {{}, entered};
    if (engine.RecordCount(CardRecordFile::SmsParameters) < kMessageCentreRecord)
        return {{}, entered};
    return engine.ReadFileRecord(CardRecordFile::SmsParameters, kMessageCentreRecord);
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
    // A lost answer is not sent again: the card runs repeat updates, a single write does not.
    result.outcome =
        engine.WriteFileRecord(CardRecordFile::SmsParameters, kMessageCentreRecord, record.value);
    return result;
}

}  // namespace pellucard
