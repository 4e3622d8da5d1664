#pragma once

#include <functional>
#include <vector>

#include "simulator/sim_card.h"

namespace pellucard::testing {

// A card whose answers a test writes down: an answer to reset and, per APDU header prefix, the
// response. Every APDU it receives is recorded.
class ScriptedCard final : public SimCard {
public:
    Bytes atr{0x3B, 0x16, 0x94, 0x71, 0x01, 0x01, 0x05, 0x02, 0x00};
    std::function<ApduResponse(const Bytes&)> answer = [](const Bytes&) {
        return ApduResponse{{}, 0x90, 0x00};
    };
    std::vector<Bytes> received;
    int powerOns = 0;

    Bytes PowerOn() override {
        ++powerOns;
        return atr;
    }
    ApduResponse Transmit(const Bytes& apdu) override {
        received.push_back(apdu);
        return answer(apdu);
    }
};

}  // namespace pellucard::testing
