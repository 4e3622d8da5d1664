#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/bytes.h"

namespace pellucard {

// Dialling digits as GSM 11.11 and GSM 04.08 store them: two per byte, the first in the low
// nibble. Nibbles 0-9 are digits, 0xA "*", 0xB "#", 0xC "P" (pause); 0xD..0xF end the number
// (0xF is the filler).

// Type-of-number / numbering-plan byte (GSM 04.08 10.5.4.7): bit 7 set, type of number in bits
// 4..6, numbering plan in bits 0..3.
inline constexpr std::uint8_t kTypeInternational = 0x10;
inline constexpr std::uint8_t kTypeAlphanumeric = 0x50;
inline constexpr std::uint8_t kPlanIsdn = 0x01;

// Longest byte count DecodeDigits accepts; a larger count (such as the 0xFF length byte of an
// empty record) gives no digits.
inline constexpr int kMaxDigitBytes = 30;

// Decodes `count` bytes from `start`, stopping at the first end nibble. Bytes beyond the end of
// `bytes` count as absent: decoding stops there.
std::string DecodeDigits(std::span<const std::uint8_t> bytes, std::size_t start, int count);

// Decodes exactly `digitCount` semi-octets from `start` (an address whose length byte counts
// digits), so that the filler nibble of an odd count is never read. Stops early at an end nibble
// or at the end of `bytes`.
std::string DecodeDigitCount(std::span<const std::uint8_t> bytes, std::size_t start,
                             int digitCount);

// Keeps the characters a SIM can store as dialling digits ("0"-"9", "*", "#", "P"/"p" as "P")
// and drops everything else (blanks, dashes, brackets, dots, a "+"), so that a number typed as
// "030 1234-56" is stored as its digits instead of as garbage nibbles.
std::string DiallingDigits(std::string_view text);

// Writes the dialling digits of `text` (see DiallingDigits) into (maxDigits + 1) / 2 bytes at
// `position`, growing `bytes` when needed, and advances `position` past them. Digits beyond
// maxDigits are dropped; unused nibbles are 0xF.
void EncodeDigits(std::string_view text, int maxDigits, Bytes& bytes, std::size_t& position);

// Swapped semi-octet decimal of the GSM 03.40 time stamp: tens in the low nibble, units in the
// high nibble. A nibble above 9 counts as 0.
int DecodeSwappedDecimal(std::uint8_t byte);
// Encodes a value 0..99 (clamped) the same way.
std::uint8_t EncodeSwappedDecimal(int value);

}  // namespace pellucard
