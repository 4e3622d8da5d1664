#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/bytes.h"

namespace pellucard {

// Texts cross the engine as UTF-8; the card codecs work on Unicode code points. These helpers
// convert between the two and to and from the big-endian UTF-16 that SIM cards call UCS2.

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// Decodes UTF-8. A byte that does not start a well-formed sequence (including overlong forms and
// encoded surrogates) becomes U+FFFD, so every input gives some text and nothing is skipped.
std::u32string Utf8ToUtf32(std::string_view text);

void AppendUtf8(std::string& out, char32_t c);
std::string Utf32ToUtf8(std::u32string_view text);

// Number of UTF-16 code units of a character: 2 outside the Basic Multilingual Plane.
inline int Utf16Units(char32_t c) {
    return c > 0xFFFF ? 2 : 1;
}
int Utf16Units(std::u32string_view text);

// Appends a character as big-endian UTF-16 (a surrogate pair outside the BMP).
void AppendUtf16Be(Bytes& out, char32_t c);

// Decodes big-endian UTF-16 byte pairs into UTF-8. Surrogate pairs become their character, a
// lone surrogate becomes U+FFFD, U+0000 is dropped. With stopAtFfff, the pair FF FF ends the text
// (the filler of SIM alpha fields). An odd trailing byte is ignored.
std::string Utf16BeToUtf8(std::span<const std::uint8_t> bytes, bool stopAtFfff);

}  // namespace pellucard
