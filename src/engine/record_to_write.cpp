#include "engine/record_to_write.h"

namespace pellucard {

namespace {

bool IsOutgoing(int status) {
    return status == kSmsSent || status == kSmsToBeSent;
}
bool IsIncoming(int status) {
    return status == kSmsRead || status == kSmsToBeRead;
}

}  // namespace

PhoneBookFields PhoneBookFieldsOf(const PhoneBookEntry& entry) {
    return {entry.name, entry.Number()};
}

SmsFields SmsFieldsOf(const SmsRecord& record) {
    SmsFields fields;
    fields.status = record.status;
    fields.address = record.AddressText();
    fields.text = record.text;
    fields.serviceCentre = record.ServiceCentreNumber();
    fields.timeStamp = record.timeStamp;
    fields.validity = record.validity;
    return fields;
}

bool SameFields(const PhoneBookFields& a, const PhoneBookFields& b) {
    return a == b;
}

bool SameFields(const SmsFields& a, const SmsFields& b) {
    if (a.status != b.status)
        return false;
    const bool incoming = IsIncoming(a.status);
    const bool outgoing = IsOutgoing(a.status);
    if (!incoming && !outgoing)
        return true;  // a free slot: whatever its bytes still hold is nobody's message
    return a.address == b.address && a.text == b.text && a.serviceCentre == b.serviceCentre &&
           (!incoming || a.timeStamp == b.timeStamp) && (!outgoing || a.validity == b.validity);
}

Bytes PhoneBookRecordToWrite(const PhoneBookFields& slot,
                             const std::optional<RecordAsRead<PhoneBookFields>>& read,
                             int recordLength, NameForm names) {
    if (KeepsRecordAsRead(slot, read, recordLength))
        return read->bytes;
    return EncodePhoneBookRecord(slot.number, slot.name, recordLength, names);
}

Bytes SmsRecordToWrite(const SmsFields& slot, const std::optional<RecordAsRead<SmsFields>>& read,
                       int recordLength) {
    if (KeepsRecordAsRead(slot, read, recordLength))
        return read->bytes;
    return EncodeSmsRecord(slot.address, slot.text, slot.status, slot.timeStamp, slot.serviceCentre,
                           slot.validity, static_cast<std::size_t>(std::max(recordLength, 0)));
}

}  // namespace pellucard
