#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/bytes.h"

namespace pellucard {

// Alpha identifiers (GSM 11.11 annex B): names on the SIM in a field of fixed length, either in
// the GSM default alphabet (one code per byte, 0xFF filler) or in one of three UCS2 forms:
//   0x80  16-bit big-endian characters, FF FF filler;
//   0x81  count, base byte (base = byte * 128), then one byte per character: below 0x80 a GSM
//         code, from 0x80 on base + (byte - 0x80);
//   0x82  count, 16-bit base, then one byte per character as for 0x81.
// A text the GSM default table holds is written in it whatever form is asked for.
enum class AlphaForm : std::uint8_t {
    Ucs2 = 0x80,
    Ucs2Base81 = 0x81,
    Ucs2Base82 = 0x82,
};

// How names outside the GSM alphabet are written into phone book records: one form always, or
// the best for each name.
enum class NameForm {
    Ucs2,        // form 0x80: 16-bit characters
    Ucs2Base81,  // form 0x81: one byte a character above an 8-bit base
    Ucs2Base82,  // form 0x82: one byte a character above a 16-bit base
    BestFit,     // the form that holds the whole name, or else the most of it
};

// The first byte of a field written in `form`.
constexpr std::uint8_t AlphaMark(AlphaForm form) {
    return static_cast<std::uint8_t>(form);
}

// Decodes a whole alpha field. Counts larger than the field are cut to it; nothing is read
// beyond the field.
std::string DecodeAlpha(std::span<const std::uint8_t> field);
// Decodes bytes 0..lastIndex of `bytes` (as far as they exist).
std::string DecodeAlpha(const Bytes& bytes, int lastIndex);

// Encodes a name into a field of `fieldLength` bytes. A text that the GSM default table holds is
// written in it; any other text in the UCS2 form `form`. Form 0x81 or 0x82 falls back to 0x80 when
// the characters it would write do not fit its base. Whole characters only: a text longer than the
// field is cut, never a surrogate pair.
Bytes EncodeAlpha(std::string_view text, std::size_t fieldLength, AlphaForm form);
// Writes the encoding into bytes 0..lastIndex of `bytes`, growing it when needed.
void EncodeAlpha(std::string_view text, int lastIndex, Bytes& bytes, AlphaForm form);

// Number of leading characters of `text` that EncodeAlpha writes with this form.
std::size_t AlphaCharactersHeld(std::string_view text, std::size_t fieldLength, AlphaForm form);

// For a name that needs UCS2: the form that holds the whole name (0x80 when it fits, else 0x81,
// else 0x82), or, when none does, the one that holds the most characters. A name the GSM table
// holds gets 0x80 (the form is not used for it).
AlphaForm ChooseAlphaForm(std::string_view text, std::size_t fieldLength);

// The form `choice` writes `text` in, in a field of `fieldLength` bytes.
AlphaForm AlphaFormFor(NameForm choice, std::string_view text, std::size_t fieldLength);

}  // namespace pellucard
