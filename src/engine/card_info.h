#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/card_info_item.h"

namespace pellucard {

class Pellucard;

// What the program knows about the card in the reader. The windows and the command line tool
// read it the same way (FindCardInf and the readings below). Nothing is guessed: a text the
// card did not give holds "-", a count or counter it did not give holds nothing, which is never
// taken for 0 (a counter shown as 0 reads as a blocked code).
struct CardInfo {
    // Bytes of an EF ADN record when the card did not say: a 40-character name plus 14 bytes.
    static constexpr int kUsualPhoneRecordLength = 54;

    // ICCID digits; none while no card is known. Empty after a check found another card, until
    // its identity is read again. Read by the caller, which compares it with the one it knew.
    std::optional<std::string> CardId;
    std::string SimPhase = "-";
    std::string Imsi = "-";
    std::string ServiceProviderName = "-";
    // The message centre: the service centre address of the first SMS parameter record.
    std::string ServiceCentreNumber = "-";
    // The own numbers (OwnNumbersText), "-" when the card gave none.
    std::string OwnNumbers = "-";
    std::optional<int> MaxPhoneRecords;
    std::optional<int> MaxSmsRecords;
    std::optional<int> MaxLastDialRecords;
    std::optional<int> PhoneRecordLength;  // bytes of one EF ADN record
    // CHV1 check off, or passed since the card status was read. Kept as last read when the
    // lock state cannot be read.
    bool Pin1Open = false;
    std::optional<int> Pin1Attempts;
    std::optional<int> Pin2Attempts;
    std::optional<int> Puk1Attempts;
    std::optional<int> Puk2Attempts;
    // Items whose last read failed on the link (no answer, or a reply cut short); an item the
    // card answered for, even with a refusal or "nothing to give", is not listed.
    std::vector<CardInfoItem> Unread;

    bool operator==(const CardInfo&) const = default;
    // Something read for every card (phase, record counts, attempt counters) is not known;
    // ReadUnreadCardInf tries again.
    bool HasUnread() const;
};

// An item's name for messages: "ICCID", "PIN1 attempts", ...
const char* CardInfoItemName(CardInfoItem item);

// Asks the engine for one item: its text when the card gave it. A failed exchange (not a card
// that has no such item) puts the item into `unread`; an answer of the card takes it out.
std::optional<std::string> AskCardInfo(Pellucard& engine, CardInfoItem item,
                                       std::vector<CardInfoItem>& unread);

// Reads the card information of a newly found card into `info`: phase and record counts, then
// the PIN state, and the card's own data (service provider name, IMSI, service centre, own
// numbers) only when
// PIN1 does not block it (those of the card read before are forgotten first). A card that has
// only just answered its reset may not give its CHV state at once: a second pass catches up.
// `yield` runs before each of the slower reads so that a user interface can process its events;
// it may change `info` (it is the caller's object).
void FindCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield = {});

// Reads the CHV state again: lock state and the attempts left of PIN1, PIN2 and their unblock
// codes. A counter the card does not give is unknown afterwards; the lock state stays as it was.
void ReadPinCounters(Pellucard& engine, CardInfo& info);

// Reads the data only an open card gives (service provider name, IMSI, service centre number,
// own numbers), each after a yield. Does nothing while PIN1 blocks access.
void ReadOpenCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield = {});

// Reads again what the last reading of the same card could not (HasUnread); true when a value
// changed.
bool ReadUnreadCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield = {});

}  // namespace pellucard
