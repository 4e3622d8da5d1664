#pragma once

#include <cstdint>

#include "engine/card_channel.h"

namespace pellucard {

// Command headers of the GSM 11.11 SIM command set, class A0. The reader receives only the
// instruction and the parameters; the class byte stays on the host.
namespace sim {

inline constexpr std::uint8_t kClass = 0xA0;

CommandHeader Select();
CommandHeader Status(std::uint8_t length);
CommandHeader ReadBinary(std::uint8_t offsetHigh, std::uint8_t offsetLow, std::uint8_t length);
CommandHeader UpdateBinary(std::uint8_t offsetHigh, std::uint8_t offsetLow, std::uint8_t length);
CommandHeader ReadRecord(std::uint8_t record, std::uint8_t mode, std::uint8_t length);
CommandHeader UpdateRecord(std::uint8_t record, std::uint8_t mode, std::uint8_t length);
CommandHeader Seek(std::uint8_t type, std::uint8_t length);
CommandHeader Increase();
CommandHeader VerifyChv(std::uint8_t chv);
CommandHeader ChangeChv(std::uint8_t chv);
CommandHeader DisableChv();
CommandHeader EnableChv();
CommandHeader UnblockChv(std::uint8_t chv);
CommandHeader Invalidate();
CommandHeader Rehabilitate();
CommandHeader RunGsmAlgorithm();
CommandHeader Sleep();
CommandHeader GetResponse(std::uint8_t length);
CommandHeader TerminalProfile(std::uint8_t length);
CommandHeader Envelope(std::uint8_t length);
CommandHeader Fetch(std::uint8_t length);
CommandHeader TerminalResponse(std::uint8_t length);

// READ RECORD / UPDATE RECORD modes.
inline constexpr std::uint8_t kRecordNext = 0x02;
inline constexpr std::uint8_t kRecordPrevious = 0x03;
inline constexpr std::uint8_t kRecordAbsolute = 0x04;

}  // namespace sim
}  // namespace pellucard
