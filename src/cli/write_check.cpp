#include "cli/write_check.h"

#include <algorithm>
#include <iostream>
#include <map>

#include "cli/cli.h"
#include "engine/phonebook_entry.h"
#include "engine/sms_record.h"

namespace pellucard::cli {
namespace {

// Enough lines to show the kind of loss; the count says the rest.
constexpr std::size_t kLinesShown = 20;

// Long texts are shown by their start: the point is which record, not the whole text.
std::string Shown(const std::string& text) {
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown)
        return text;
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;  // never in the middle of a UTF-8 sequence
    return text.substr(0, cut) + "...";
}

std::string Slot(int slot) {
    return "slot " + std::to_string(slot);
}

}  // namespace

std::vector<int> SlotNumbers(const std::vector<PhoneBookSlot>& slots) {
    std::vector<int> numbers;
    for (const PhoneBookSlot& slot : slots)
        numbers.push_back(slot.slot);
    return numbers;
}

std::vector<int> SlotNumbers(const std::vector<SmsSlot>& slots) {
    std::vector<int> numbers;
    for (const SmsSlot& slot : slots)
        numbers.push_back(slot.slot);
    return numbers;
}

std::vector<std::string> RepeatedSlots(const std::vector<int>& slots) {
    std::map<int, int> times;
    for (int slot : slots)
        ++times[slot];
    std::vector<std::string> losses;
    for (const auto& [slot, count] : times) {
        if (count > 1) {
            losses.push_back(Slot(slot) + " is named " + std::to_string(count) +
                             " times: all but its last entry are left out");
        }
    }
    return losses;
}

std::vector<std::string> PhoneBookLosses(const std::vector<PhoneBookSlot>& slots,
                                         int recordLength) {
    std::vector<std::string> losses;
    for (const PhoneBookSlot& slot : slots) {
        const PhoneBookEntry written =
            DecodePhoneBookRecord(PhoneBookRecordFor(slot, recordLength));
        if (written.name != slot.name) {
            losses.push_back(Slot(slot.slot) + ": the name \"" + Shown(slot.name) +
                             "\" is cut to \"" + written.name + "\"");
        }
        if (written.Number() != slot.number) {
            losses.push_back(Slot(slot.slot) + ": the number \"" + Shown(slot.number) +
                             "\" is written as \"" + written.Number() +
                             "\" (at most 20 digits of 0-9 * # P, a leading +)");
        }
    }
    return losses;
}

std::vector<std::string> SmsLosses(const std::vector<SmsSlot>& slots, int recordLength) {
    std::vector<std::string> losses;
    for (const SmsSlot& slot : slots) {
        if (slot.status == 0)
            continue;  // a free record keeps nothing
        const SmsRecord written = DecodeSmsRecord(SmsRecordFor(slot, recordLength));
        if (written.text != slot.text) {
            losses.push_back(Slot(slot.slot) + ": the message of " +
                             std::to_string(slot.text.size()) + " bytes is cut to " +
                             std::to_string(written.text.size()));
        }
        if (written.AddressText() != slot.address) {
            losses.push_back(Slot(slot.slot) + ": the address \"" + slot.address +
                             "\" is written as \"" + written.AddressText() + "\"");
        }
    }
    return losses;
}

std::vector<std::string> RowsLeftOut(const CardList& cards) {
    if (cards.rowsLeftOut <= 0)
        return {};
    return {std::to_string(cards.rowsLeftOut) + " rows after the first " +
            std::to_string(cards.used) + " are left out: a record file holds no more"};
}

void CheckCardWrite(const std::vector<PhoneBookSlot>& phoneBook,
                    const std::vector<SmsSlot>& messages, bool sms, int recordLength, bool force) {
    std::vector<std::string> losses =
        RepeatedSlots(sms ? SlotNumbers(messages) : SlotNumbers(phoneBook));
    const std::vector<std::string> cut =
        sms ? SmsLosses(messages, recordLength) : PhoneBookLosses(phoneBook, recordLength);
    losses.insert(losses.end(), cut.begin(), cut.end());
    StopOnLosses(losses, force);
}

void StopOnLosses(const std::vector<std::string>& losses, bool force) {
    if (losses.empty())
        return;
    std::string text;
    const std::size_t shown = std::min(losses.size(), kLinesShown);
    for (std::size_t i = 0; i < shown; ++i)
        text += "\n  " + losses[i];
    if (losses.size() > shown)
        text += "\n  and " + std::to_string(losses.size() - shown) + " more";
    if (!force) {
        throw Failure{kCardFailure,
                      "nothing was written, since the output cannot keep every record as given "
                      "(--force writes it cut):" +
                          text};
    }
    std::cerr << "pellucard-cli: written with --force; cut or left out:" << text << '\n';
}

}  // namespace pellucard::cli
