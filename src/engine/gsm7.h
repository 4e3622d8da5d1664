#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/bytes.h"

namespace pellucard {

// The GSM 03.38 default alphabet: 128 seven-bit codes, plus the extension table reached through
// the escape code 0x1B. Tables are built on first use and shared (read-only) afterwards.

inline constexpr std::uint8_t kGsmEscape = 0x1B;

// Character of a default-alphabet code (the low 7 bits are used). 0x09 reads as U+00E7 and 0x24
// as "$", as this program has always shown them. The escape code itself reads as a blank, which
// is what GSM 03.38 asks of a reader that meets an escape it cannot follow.
char32_t GsmToText(std::uint8_t code);

// Default-alphabet code of a character, or -1 when the default table has none. Extension-table
// characters ("[", "€", ...) have none here: text that needs them is written as UCS2.
int TextToGsm(char32_t c);

// Character of an extension-table code (the code after an escape), or 0 when it has none.
char32_t GsmExtensionToText(std::uint8_t code);
// Extension-table code of a character, or -1.
int TextToGsmExtension(char32_t c);

// Decodes unpacked GSM codes (one per element) as UTF-8 text. An escape followed by an
// extension code gives the extension character; an escape followed by a code the extension
// table lacks gives that code's default character; two escapes give a blank; an escape at the
// very end gives nothing.
std::string GsmCodesToText(std::span<const std::uint8_t> codes);

// GSM 03.38 packing: septet i occupies bits bitOffset + 7i onwards, least significant first.
// Unpacking returns at most `count` septets and only those whose seven bits all lie inside
// `packed`.
std::vector<std::uint8_t> UnpackSeptets(std::span<const std::uint8_t> packed, std::size_t count,
                                        std::size_t bitOffset = 0);
Bytes PackSeptets(std::span<const std::uint8_t> septets);

// True when every character has a default-alphabet code (with allowExtension, or an
// extension-table code).
bool FitsGsmAlphabet(std::u32string_view text, bool allowExtension = false);

// What a message text costs, for an editor that shows the 160-septet / 70-unit limits.
struct SmsTextMeasure {
    bool gsmDefault = true;   // every character in the default table: written 7-bit
    bool gsmExtended = true;  // every character in the default or extension table
    int septets = 0;     // 7-bit length, extension characters counting two (valid if gsmExtended)
    int utf16Units = 0;  // UCS2 length in 16-bit units (a character outside the BMP counts two)
    int characters = 0;  // Unicode characters
};
SmsTextMeasure MeasureSmsText(std::string_view utf8);

}  // namespace pellucard
