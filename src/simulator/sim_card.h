#pragma once

#include "engine/bytes.h"

namespace pellucard {

// A card's answer to one command APDU: the response data and the status words.
struct ApduResponse {
    Bytes data;
    std::uint8_t sw1 = 0x6F;
    std::uint8_t sw2 = 0x00;

    std::uint16_t Status() const { return static_cast<std::uint16_t>(sw1 << 8 | sw2); }
};

// A smart card as its contacts see it: a reset that gives the answer to reset, and T=0
// command APDUs (CLA INS P1 P2 P3 [data]). A GSM 11.11 card answers SELECT with 9F xx and
// hands the response data out through GET RESPONSE, as a real T=0 card does.
class SimCard {
public:
    virtual ~SimCard() = default;
    virtual Bytes PowerOn() = 0;
    virtual ApduResponse Transmit(const Bytes& apdu) = 0;
};

}  // namespace pellucard
