#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/card_info_item.h"

namespace pellucard {

class Pellucard;

// What the program knows about the card in the reader, as the windows show it.
struct CardInfo {
    std::string CardId = "-";
    std::string SimPhase = "-";
    std::string Imsi = "-";
    std::string ServiceProviderName = "-";
    std::string ServiceCentreNumber = "-";
    int MaxPhoneRecords = 0;
    int MaxSmsRecords = 0;
    int MaxLastDialRecords = 0;
    int PhoneRecordLength = 54;
    bool Pin1Open = false;
    int Pin1Attempts = 0;
    int Pin2Attempts = 0;
    int Puk1Attempts = 0;
    int Puk2Attempts = 0;
    // Items the reader or card failed to give (the link failed, or the reply was cut): their
    // fields above hold the "not read" values and must not be shown as the card's answer.
    std::vector<CardInfoItem> Unread;

    bool operator==(const CardInfo&) const = default;
};

// An item's name for messages: "ICCID", "PIN1 attempts", ...
const char* CardInfoItemName(CardInfoItem item);

// Asks the engine for one item: its text when the card gave it. On a failed exchange (not a card
// that has no such item) the item goes into `unread`.
std::optional<std::string> AskCardInfo(Pellucard& engine, CardInfoItem item,
                                       std::vector<CardInfoItem>& unread);

// The values after the card or reader went away.
CardInfo ResetCardInfo();

// Reads the card information into `info` in the order the windows expect: phase and record
// counts, then the PIN state, and the card's own data (service provider name, IMSI, service
// centre) only when PIN1 does not block it. `yield` runs before each of the slower reads so
// that a user interface can process its events; it may be empty. The card identity (CardId)
// is read separately by the caller, which compares it with the one it knew. An item whose read
// failed on the link is listed in info.Unread; one the card does not have is not.
void FindCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield = {});

}  // namespace pellucard
