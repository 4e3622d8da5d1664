#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "engine/status_words.h"
#include "simulator/sim_card.h"

namespace pellucard {

// What the virtual GSM and UICC cards share in their answers.
namespace virtual_card {

// The response data, then the status word SW1 SW2.
inline ApduResponse Reply(std::uint16_t status, Bytes data = {}) {
    return ApduResponse{std::move(data), static_cast<std::uint8_t>(status >> 8),
                        static_cast<std::uint8_t>(status & 0xFF)};
}

// In T=0 an expected length of 00 asks for 256 bytes.
inline std::size_t ExpectedLength(std::uint8_t p3) {
    return p3 == 0 ? 256 : p3;
}

}  // namespace virtual_card

}  // namespace pellucard
