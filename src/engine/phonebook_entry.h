#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/bytes.h"
#include "engine/codec_alpha.h"
#include "engine/codec_digits.h"

namespace pellucard {

// One abbreviated dialling number record (GSM 11.11 EF ADN, file 6F3A). With record length R
// the name field takes the first X = R - 14 bytes; then come the length of the number part,
// the type-of-number/numbering-plan byte, ten digit bytes, the capability/configuration
// identifier and the extension record identifier.
inline constexpr int kPhoneBookFooterLength = 14;
inline constexpr int kPhoneBookDigitBytes = 10;
inline constexpr int kPhoneBookMaxDigits = 2 * kPhoneBookDigitBytes;

struct PhoneBookEntry {
    std::string name;
    int length = 0xFF;                  // byte X: bytes of type and digits; 0xFF when empty
    std::uint8_t typeOfNumber = 0x70;   // byte X+1 AND 0x70 (0x10 international)
    std::uint8_t numberingPlan = 0x0F;  // byte X+1 AND 0x0F
    std::string digits;                 // dialling digits, without "+"
    std::uint8_t capabilityId = 0xFF;   // byte X+12
    std::uint8_t extensionId = 0xFF;    // byte X+13

    std::uint8_t typeByte = 0xFF;  // byte X+1 as stored
    // False when the record is shorter than its 14-byte footer (a short or failed read):
    // then nothing but the raw bytes is taken from it.
    bool wellFormed = false;
    Bytes raw;  // the record as read, for writing an untouched record back byte for byte

    // The number as the windows show it: "+" and the digits when international.
    std::string Number() const;
    bool IsEmpty() const { return name.empty() && digits.empty(); }
};

// Decodes a record of any length. Safe on any bytes: a record shorter than 14 bytes gives an
// empty, not well-formed entry; the number reads at most its ten digit bytes whatever its
// length byte says.
PhoneBookEntry DecodePhoneBookRecord(const Bytes& record);

// Builds a record of recordLength bytes from a number and a name. The number is trimmed; a
// leading "+" makes it international; characters that are not dialling digits are dropped and
// at most 20 digits are kept. The name is written with the UCS2 alpha form `form` when the GSM
// default table cannot hold it (see EncodeAlpha). Returns an empty array when recordLength is
// below 14 (no room for the number part).
Bytes EncodePhoneBookRecord(std::string_view number, std::string_view name, int recordLength,
                            AlphaForm form);
Bytes EncodePhoneBookRecord(const PhoneBookEntry& entry, int recordLength, AlphaForm form);
// The same with the name in the form `choice` gives it in this record's name field.
Bytes EncodePhoneBookRecord(std::string_view number, std::string_view name, int recordLength,
                            NameForm choice);

}  // namespace pellucard
