#include "cli/write_check.h"

#include <algorithm>
#include <map>

#include "engine/phonebook_entry.h"
#include "engine/sms_record.h"

namespace pellucard::cli {
namespace {

template <typename Slot>
Losses EarlierEntries(const std::vector<Slot>& slots) {
    std::map<int, std::size_t> last;
    for (std::size_t i = 0; i < slots.size(); ++i)
        last[slots[i].slot] = i;
    Losses losses;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (last[slots[i].slot] == i)
            continue;
        losses.push_back(
            Loss::Dropped(slots[i].slot, {}, EntryText(slots[i]),
                          "the slot is named again further on; its last entry is kept"));
    }
    return losses;
}

constexpr const char* kDialable = "a number holds at most 20 digits of 0-9 * # P, a leading +";

}  // namespace

std::string EntryText(const PhoneBookSlot& slot) {
    if (slot.number.empty())
        return slot.name;
    return slot.name.empty() ? slot.number : slot.name + ", " + slot.number;
}

std::string EntryText(const SmsSlot& slot) {
    return slot.address.empty() ? slot.text : slot.address + ": " + slot.text;
}

Losses RepeatedSlots(const std::vector<PhoneBookSlot>& slots) {
    return EarlierEntries(slots);
}

Losses RepeatedSlots(const std::vector<SmsSlot>& slots) {
    return EarlierEntries(slots);
}

Losses PhoneBookLosses(const std::vector<PhoneBookSlot>& slots, int recordLength) {
    Losses losses;
    const std::string nameBytes =
        "the card's records hold " +
        std::to_string(std::max(0, recordLength - kPhoneBookFooterLength)) + " bytes of name";
    for (const PhoneBookSlot& slot : slots) {
        const PhoneBookEntry written =
            DecodePhoneBookRecord(PhoneBookRecordFor(slot, recordLength));
        if (written.name != slot.name) {
            losses.push_back(Loss::Cut(slot.slot, "name", slot.name, written.name, nameBytes));
        }
        if (written.Number() != slot.number) {
            losses.push_back(
                Loss::Cut(slot.slot, "number", slot.number, written.Number(), kDialable));
        }
    }
    return losses;
}

Losses SmsLosses(const std::vector<SmsSlot>& slots, int recordLength) {
    Losses losses;
    for (const SmsSlot& slot : slots) {
        if (slot.status == 0)
            continue;  // a free record keeps nothing
        const SmsRecord written = DecodeSmsRecord(SmsRecordFor(slot, recordLength));
        if (written.text != slot.text) {
            losses.push_back(Loss::Cut(slot.slot, "text", slot.text, written.text,
                                       "one SMS record holds 160 GSM or 70 UCS2 characters"));
        }
        if (written.AddressText() != slot.address) {
            losses.push_back(
                Loss::Cut(slot.slot, "address", slot.address, written.AddressText(), kDialable));
        }
    }
    return losses;
}

Losses RowsLeftOut(const CardList& cards) {
    if (cards.rowsLeftOut <= 0)
        return {};
    const int first = cards.used + 1;
    const int last = cards.used + cards.rowsLeftOut;
    const std::string records =
        first == last ? "record " + std::to_string(first)
                      : "records " + std::to_string(first) + " to " + std::to_string(last);
    return {Loss::Dropped(0, records + " of the file", {},
                          "a record file holds " + std::to_string(cards.used) + " at most")};
}

void CheckCardWrite(const std::vector<PhoneBookSlot>& phoneBook,
                    const std::vector<SmsSlot>& messages, bool sms, int recordLength, bool force) {
    Losses losses = sms ? RepeatedSlots(messages) : RepeatedSlots(phoneBook);
    const Losses cut =
        sms ? SmsLosses(messages, recordLength) : PhoneBookLosses(phoneBook, recordLength);
    losses.insert(losses.end(), cut.begin(), cut.end());
    StopOnLosses(losses, force);
}

}  // namespace pellucard::cli
