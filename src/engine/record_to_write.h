#pragma once

#include <optional>
#include <string>

#include "engine/bytes.h"
#include "engine/codec_alpha.h"
#include "engine/phonebook_entry.h"
#include "engine/sms_record.h"
#include "engine/sms_timestamp.h"

namespace pellucard {

// What a write sends to the card for one slot, decided the same way for the windows' lists and
// the command line tool's files. A slot that still says what the record read from it said goes
// back as the very bytes that were read: a list or a file cannot carry everything a record holds
// (the alpha form of a name, an extension record, a user data header, an alphanumeric sender, a
// status report, an absolute validity period), so encoding it again would damage records that
// nobody touched, a peer's among them. A slot that was edited, or whose record has another
// length than the card's, is encoded from its fields by the engine's encoders.

// A phone book slot: its name and number as text.
struct PhoneBookFields {
    std::string name;
    std::string number;

    bool operator==(const PhoneBookFields&) const = default;
};

// A short message slot. Only what a record of its status holds is compared (SameFields): the
// time stamp of a received message, the validity of an outgoing one, nothing but the status of a
// slot that holds no message.
struct SmsFields {
    int status = kSmsFree;
    std::string address;
    std::string text;
    std::string serviceCentre;
    SmsTimeStamp timeStamp;
    int validity = 0;
};

// The fields of a record as read from the card.
PhoneBookFields PhoneBookFieldsOf(const PhoneBookEntry& entry);
SmsFields SmsFieldsOf(const SmsRecord& record);

bool SameFields(const PhoneBookFields& a, const PhoneBookFields& b);
bool SameFields(const SmsFields& a, const SmsFields& b);

// A record read from a slot of the card: its bytes, and the fields they were read as.
template <class Fields>
struct RecordAsRead {
    Bytes bytes;
    Fields fields;
};

// Whether a write sends `read` back unchanged: the slot still holds the fields it was read as,
// and the card's records have its length. False when nothing was read there.
template <class Fields>
bool KeepsRecordAsRead(const Fields& slot, const std::optional<RecordAsRead<Fields>>& read,
                       int recordLength) {
    return read && static_cast<int>(read->bytes.size()) == recordLength &&
           SameFields(slot, read->fields);
}

// The record a write sends for a slot: the bytes read there, or the slot encoded for records of
// `recordLength` bytes (names in the form `names` gives them).
Bytes PhoneBookRecordToWrite(const PhoneBookFields& slot,
                             const std::optional<RecordAsRead<PhoneBookFields>>& read,
                             int recordLength, NameForm names);
Bytes SmsRecordToWrite(const SmsFields& slot, const std::optional<RecordAsRead<SmsFields>>& read,
                       int recordLength);

}  // namespace pellucard
