#pragma once

#include <string>
#include <vector>

#include "cli/record_json.h"
#include "cli/record_rows.h"

namespace pellucard::cli {

// Checks made before a card write or a conversion writes anything: whatever the output
// could not keep as given (a name or number longer than the card's record holds, characters
// a dialling number cannot hold, a message longer than one SMS record, a slot named twice,
// rows beyond what the output holds) is listed, one line per record.

// Slots named more than once in a JSON file: only the last entry of each would be kept.
std::vector<std::string> RepeatedSlots(const std::vector<int>& slots);
std::vector<int> SlotNumbers(const std::vector<PhoneBookSlot>& slots);
std::vector<int> SlotNumbers(const std::vector<SmsSlot>& slots);

// The slots whose card record, encoded for records of `recordLength` bytes, would not give
// back the name and number (the address and text) as given.
std::vector<std::string> PhoneBookLosses(const std::vector<PhoneBookSlot>& slots, int recordLength);
std::vector<std::string> SmsLosses(const std::vector<SmsSlot>& slots, int recordLength);

// Rows of a text file that the list could not take (beyond its last slot).
std::vector<std::string> RowsLeftOut(const CardList& cards);

// Nothing lost: returns. Without `force`, fails with exit status 1 naming what would be
// lost, before anything is written; with it, tells on stderr what is cut or left out.
void StopOnLosses(const std::vector<std::string>& losses, bool force);

// Everything a card write of these slots into records of `recordLength` bytes would lose;
// stops before the first record is written unless `force`.
void CheckCardWrite(const std::vector<PhoneBookSlot>& phoneBook,
                    const std::vector<SmsSlot>& messages, bool sms, int recordLength, bool force);

}  // namespace pellucard::cli
