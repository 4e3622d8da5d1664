#pragma once

#include <cstdint>

#include "engine/status_words.h"
#include "platform/card_terminal.h"

namespace pellucard {

// A card's whole answer to one command, after the T=0 exchanges that fetched it.
struct CardReply {
    Bytes data;
    std::uint8_t sw1 = 0x6F;
    std::uint8_t sw2 = 0x00;

    // A reply of status words alone.
    static CardReply Answered(std::uint16_t status) {
        return {
            {}, static_cast<std::uint8_t>(status >> 8), static_cast<std::uint8_t>(status & 0xFF)};
    }

    std::uint16_t Status() const { return static_cast<std::uint16_t>(sw1 << 8 | sw2); }
    // The card executed the command, by the table of status words the engine judges by.
    bool Executed() const { return IsExecuted(Status()); }
    // Response data when there is any, else the two status words: what a reader that fetches
    // response data by itself hands the host.
    Bytes Block() const { return data.empty() ? Bytes{sw1, sw2} : data; }
};

// What ISO/IEC 7816-3 leaves to the host under T=0, which a PC/SC reader passes through:
// response data announced by 61 xx (or 9F xx on a GSM 11.11 card) is fetched with GET RESPONSE,
// as often as the card announces more, and a command answered 6C xx is sent again with P3 = xx.
// Every loop is bounded, so a card that keeps announcing cannot hold the host.
class T0Exchange {
public:
    static constexpr int kMaxGetResponses = 16;

    explicit T0Exchange(CardTerminal& terminal) : terminal_(terminal) {}

    TerminalStatus Exchange(const Bytes& command, CardReply& reply);

    // APDUs sent to the card, GET RESPONSE and repeats included.
    long Apdus() const { return apdus_; }
    void ResetCounters() { apdus_ = 0; }

private:
    TerminalStatus Send(const Bytes& apdu, CardReply& reply);

    CardTerminal& terminal_;
    long apdus_ = 0;
};

}  // namespace pellucard
