#pragma once

#include <cstdint>
#include <functional>
#include <string>

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

    bool operator==(const CardInfo&) const = default;
};

// The values after the card or reader went away.
CardInfo ResetCardInfo();

// Reads the card information into `info` in the order the windows expect: phase and record
// counts, then the PIN state, and the card's own data (service provider name, IMSI, service
// centre) only when PIN1 does not block it. `yield` runs before each of the slower reads so
// that a user interface can process its events; it may be empty. The card identity (CardId)
// is read separately by the caller, which compares it with the one it knew.
void FindCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield = {});

}  // namespace pellucard
