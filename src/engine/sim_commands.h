#pragma once

#include <cstdint>

#include "engine/card_channel.h"
#include "engine/card_outcome.h"

namespace pellucard {

// Command headers of the GSM 11.11 SIM command set, class A0. The reader receives only the
// instruction and the parameters; the class byte stays on the host.
namespace sim {

inline constexpr std::uint8_t kClass = 0xA0;

// Instruction codes of GSM 11.11 9.2 and GSM 11.14; TS 102 221 keeps them for a UICC (where
// the CHV commands are the PIN commands).
namespace ins {
inline constexpr std::uint8_t kSelect = 0xA4;
inline constexpr std::uint8_t kStatus = 0xF2;
inline constexpr std::uint8_t kReadBinary = 0xB0;
inline constexpr std::uint8_t kUpdateBinary = 0xD6;
inline constexpr std::uint8_t kReadRecord = 0xB2;
inline constexpr std::uint8_t kUpdateRecord = 0xDC;
inline constexpr std::uint8_t kSeek = 0xA2;
inline constexpr std::uint8_t kIncrease = 0x32;
inline constexpr std::uint8_t kVerifyChv = 0x20;
inline constexpr std::uint8_t kChangeChv = 0x24;
inline constexpr std::uint8_t kDisableChv = 0x26;
inline constexpr std::uint8_t kEnableChv = 0x28;
inline constexpr std::uint8_t kUnblockChv = 0x2C;
inline constexpr std::uint8_t kInvalidate = 0x04;
inline constexpr std::uint8_t kRehabilitate = 0x44;
inline constexpr std::uint8_t kRunGsmAlgorithm = 0x88;
inline constexpr std::uint8_t kSleep = 0xFA;
inline constexpr std::uint8_t kGetResponse = 0xC0;
inline constexpr std::uint8_t kTerminalProfile = 0x10;
inline constexpr std::uint8_t kEnvelope = 0xC2;
inline constexpr std::uint8_t kFetch = 0x12;
inline constexpr std::uint8_t kTerminalResponse = 0x14;
}  // namespace ins

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

// Judges the answer block of one SIM command. The reader hands back the response data when the
// command produced some, else the two status words, which the table of status words judges. A
// block of other sizes, or none, means the answer was lost on the way.
CardOutcome JudgeAnswer(LinkResult link, const Bytes& block);

// True when P3 of `instruction` counts command data sent to the card (GSM 11.11 9.2: SELECT,
// SEEK, UPDATE BINARY, UPDATE RECORD, INCREASE, the CHV commands, RUN GSM ALGORITHM; GSM 11.14:
// TERMINAL PROFILE, ENVELOPE, TERMINAL RESPONSE); for every other instruction P3 is the length
// of the data expected back. TS 102 221 keeps the same instruction codes for a UICC.
bool CarriesData(std::uint8_t instruction);

// READ RECORD / UPDATE RECORD modes.
inline constexpr std::uint8_t kRecordNext = 0x02;
inline constexpr std::uint8_t kRecordPrevious = 0x03;
inline constexpr std::uint8_t kRecordAbsolute = 0x04;

// A command that may be sent again when its answer was lost on the way: it reads or selects
// and leaves the card as it was. Updates are repeated only by the whole-file runs, which know
// the bytes they write; a CHV command is never repeated (each one may cost an attempt), nor a
// relative record read (it moves the record pointer).
bool MayRepeat(const CommandHeader& header);

}  // namespace sim
}  // namespace pellucard
