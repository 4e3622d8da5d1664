#pragma once

#include <vector>

#include "cli/loss_report.h"
#include "cli/record_json.h"
#include "cli/record_rows.h"

namespace pellucard::cli {

// Checks made before a card write or a conversion writes anything: whatever the output
// could not keep as given (a name or number longer than the card's record holds, characters
// a dialling number cannot hold, a message longer than one SMS record, a slot named twice,
// rows beyond what the output holds) becomes a Loss, one for each field or record.

// The earlier entries of a slot named more than once: only the last entry of each is kept.
Losses RepeatedSlots(const std::vector<PhoneBookSlot>& slots);
Losses RepeatedSlots(const std::vector<SmsSlot>& slots);

// The fields whose card record, encoded for records of `recordLength` bytes, would not give
// back the name and number (the address and text) as given.
Losses PhoneBookLosses(const std::vector<PhoneBookSlot>& slots, int recordLength);
Losses SmsLosses(const std::vector<SmsSlot>& slots, int recordLength);

// Rows of a text file that the list could not take (beyond its last slot).
Losses RowsLeftOut(const CardList& cards);

// Everything a card write of these slots into records of `recordLength` bytes would lose;
// stops before the first record is written unless `force`.
void CheckCardWrite(const std::vector<PhoneBookSlot>& phoneBook,
                    const std::vector<SmsSlot>& messages, bool sms, int recordLength, bool force);

// A phone book entry or a message in a few words, for a loss that drops it whole.
std::string EntryText(const PhoneBookSlot& slot);
std::string EntryText(const SmsSlot& slot);

}  // namespace pellucard::cli
