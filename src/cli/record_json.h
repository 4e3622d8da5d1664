#pragma once

#include <QJsonArray>
#include <QJsonObject>

#include <string>
#include <vector>

#include "engine/bytes.h"
#include "engine/phonebook_entry.h"
#include "engine/sms_record.h"

namespace pellucard::cli {

// The command line tool's JSON forms of card records. A record read from the card also carries
// its bytes ("raw"); a write puts those bytes back unchanged when the fields still say what they
// say, so a backup restores the card byte for byte, and encodes the fields otherwise.

QJsonObject PhoneBookJson(int slot, const PhoneBookEntry& entry);
QJsonObject SmsJson(int slot, const SmsRecord& record);

struct PhoneBookSlot {
    int slot = 0;
    std::string name;
    std::string number;
    Bytes raw;
};

struct SmsSlot {
    int slot = 0;
    int status = 0;
    std::string address;
    std::string text;
    std::string serviceCentre;
    SmsTimeStamp timeStamp;
    int validity = 0;
    bool validityGiven = false;  // "validity" was a number, not null or missing
    Bytes raw;
};

// Parse a JSON array of slots; throw a usage Failure naming the entry that is wrong.
// Entries with a "block" after the first (the later blocks of a USIM phone book, which EF ADN does
// not hold) are left out, and go to `laterBlocks` when it is given.
std::vector<PhoneBookSlot> ParsePhoneBookJson(const QByteArray& json,
                                              std::vector<PhoneBookSlot>* laterBlocks = nullptr);
std::vector<SmsSlot> ParseSmsJson(const QByteArray& json);

// The record to write for a slot: its raw bytes while they still decode to the slot's fields,
// else the slot encoded (engine/record_to_write.h).
Bytes PhoneBookRecordFor(const PhoneBookSlot& slot, int recordLength);
Bytes SmsRecordFor(const SmsSlot& slot, int recordLength);

// The JSON of the largest list the tool writes (10,000 messages with their raw bytes) stays
// well below this; anything larger is no record file.
inline constexpr qint64 kMaxInputFileBytes = 32 * 1024 * 1024;

// The whole of a file, or of stdin for "-" (read to its end); fails on input larger than
// kMaxInputFileBytes, a file before reading it.
QByteArray ReadInputFile(const std::string& path);

}  // namespace pellucard::cli
