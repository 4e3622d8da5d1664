#include "engine/codec_digits.h"

#include <algorithm>

namespace pellucard {

namespace {

// Character of a digit nibble, or 0 for an end nibble.
char DigitCharacter(unsigned nibble) {
    if (nibble <= 9)
        return static_cast<char>('0' + nibble);
    switch (nibble) {
        case 0xA:
            return '*';
        case 0xB:
            return '#';
        case 0xC:
            return 'P';
        default:
            return 0;
    }
}

// Nibble of a dialling character, or -1 for a character a SIM cannot store.
int DigitNibble(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    switch (c) {
        case '*':
            return 0xA;
        case '#':
            return 0xB;
        case 'P':
        case 'p':
            return 0xC;
        default:
            return -1;
    }
}

}  // namespace

std::string DecodeDigits(std::span<const std::uint8_t> bytes, std::size_t start, int count) {
    std::string digits;
    if (count <= 0 || count > kMaxDigitBytes)
        return digits;
    return DecodeDigitCount(bytes, start, count * 2);
}

std::string DecodeDigitCount(std::span<const std::uint8_t> bytes, std::size_t start,
                             int digitCount) {
    std::string digits;
    for (int i = 0; i < digitCount; ++i) {
        std::size_t index = start + static_cast<std::size_t>(i / 2);
        if (index < start || index >= bytes.size())
            break;
        unsigned nibble = (i % 2 == 0) ? (bytes[index] & 0x0F) : (bytes[index] >> 4);
        char c = DigitCharacter(nibble);
        if (c == 0)
            break;
        digits.push_back(c);
    }
    return digits;
}

std::string DiallingDigits(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (DigitNibble(c) < 0)
            continue;
        digits.push_back(c == 'p' ? 'P' : c);
    }
    return digits;
}

void EncodeDigits(std::string_view text, int maxDigits, Bytes& bytes, std::size_t& position) {
    if (maxDigits <= 0)
        return;
    const std::string digits = DiallingDigits(text);
    const std::size_t byteCount = static_cast<std::size_t>(maxDigits + 1) / 2;
    if (bytes.size() < position + byteCount)
        bytes.resize(position + byteCount, 0xFF);
    for (std::size_t i = 0; i < byteCount * 2; ++i) {
        unsigned nibble = 0xF;
        if (i < digits.size() && i < static_cast<std::size_t>(maxDigits)) {
            nibble = static_cast<unsigned>(DigitNibble(digits[i]));
        }
        std::uint8_t& target = bytes[position + i / 2];
        if (i % 2 == 0) {
            target = static_cast<std::uint8_t>((target & 0xF0) | nibble);
        } else {
            target = static_cast<std::uint8_t>((target & 0x0F) | (nibble << 4));
        }
    }
    position += byteCount;
}

int DecodeSwappedDecimal(std::uint8_t byte) {
    int tens = byte & 0x0F;
    int units = byte >> 4;
    return (tens > 9 ? 0 : tens) * 10 + (units > 9 ? 0 : units);
}

std::uint8_t EncodeSwappedDecimal(int value) {
    value = std::clamp(value, 0, 99);
    return static_cast<std::uint8_t>((value % 10) << 4 | (value / 10));
}

}  // namespace pellucard
