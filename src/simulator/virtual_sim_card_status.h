#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "simulator/sim_card.h"

namespace pellucard {

// The status words the virtual card answers with (GSM 11.11 9.4, and ISO/IEC 7816-4 where
// GSM 11.11 has none), as SW1 << 8 | SW2.
namespace sim_status {
inline constexpr std::uint16_t kOk = 0x9000;
inline constexpr std::uint16_t kResponseData = 0x9F00;  // | length of the response data
inline constexpr std::uint16_t kNoEfSelected = 0x9400;
inline constexpr std::uint16_t kOutOfRange = 0x9402;  // invalid address, record not found
inline constexpr std::uint16_t kFileNotFound = 0x9404;
inline constexpr std::uint16_t kFileInconsistent = 0x9408;  // command does not fit the file
inline constexpr std::uint16_t kAccessDenied = 0x9804;      // also: wrong code, attempts left
inline constexpr std::uint16_t kContradictsChvStatus = 0x9808;
inline constexpr std::uint16_t kContradictsInvalidation = 0x9810;
inline constexpr std::uint16_t kBlocked = 0x9840;      // wrong code and none left, or blocked
inline constexpr std::uint16_t kWrongLength = 0x6700;  // | the right P3 where there is one
inline constexpr std::uint16_t kWrongData = 0x6A80;    // a new CHV that is not 4 to 8 digits
inline constexpr std::uint16_t kWrongP1P2 = 0x6B00;
inline constexpr std::uint16_t kUnknownInstruction = 0x6D00;
inline constexpr std::uint16_t kWrongClass = 0x6E00;
inline constexpr std::uint16_t kNoResponseData = 0x6F00;  // GET RESPONSE with nothing waiting
}  // namespace sim_status

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
