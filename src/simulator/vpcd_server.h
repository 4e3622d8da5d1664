#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "simulator/sim_card.h"

namespace pellucard {

// vsmartcard's vpcd is a reader driver for pcscd that waits for a card on a TCP port; the card
// side connects and both exchange frames of a 2-byte big-endian length and the data. A 1-byte
// frame from the reader is a control code (00 power off, 01 power on, 02 reset, 04 send the
// answer to reset, which is the only one answered); any longer frame is a command APDU,
// answered with the response data and the status words.
struct VpcdOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 35963;
    // Pulls the card out when this many APDUs were answered: the next one is never answered and
    // the card stays out, as when a person pulls it in the middle of a command. Negative: never.
    long pullAfter = -1;
};

// Serves `card` to vpcd until `stop` is set, connecting again whenever pcscd goes away and comes
// back. `note` hears about the connection (one line each). False with `error` set only when the
// options cannot work (an unknown host).
bool ServeCardToVpcd(SimCard& card, const VpcdOptions& options, const std::atomic<bool>& stop,
                     const std::function<void(const std::string&)>& note, std::string& error);

}  // namespace pellucard
