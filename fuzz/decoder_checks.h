#pragma once

// What must hold for the decoders on any input. Shared by the libFuzzer targets and by the
// corpus replay test of the default test run; each check returns nullptr or what went wrong.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/codec_alpha.h"
#include "engine/codec_digits.h"
#include "engine/codec_utf.h"
#include "engine/phonebook_entry.h"
#include "engine/sms_record.h"
#include "engine/sms_timestamp.h"

namespace pellucard::fuzz {

inline bool IsValidUtf8(std::string_view text) {
    return Utf32ToUtf8(Utf8ToUtf32(text)) == text;
}

inline bool IsDialString(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '*' || c == '#' || c == 'P'))
            return false;
    }
    return true;
}

// Input: a phone book record of any length.
inline const char* CheckDecodePhoneBook(const std::uint8_t* data, std::size_t size) {
    const Bytes record(data, data + size);
    const PhoneBookEntry entry = DecodePhoneBookRecord(record);
    if (entry.raw != record)
        return "raw bytes not kept";
    if (!IsValidUtf8(entry.name))
        return "name is not UTF-8";
    if (!IsDialString(entry.digits))
        return "digits hold a character that is not a digit";
    if (entry.digits.size() > static_cast<std::size_t>(kPhoneBookMaxDigits)) {
        return "more than 20 digits";
    }
    if (!entry.wellFormed && !entry.IsEmpty())
        return "short record decoded to an entry";
    if (size < static_cast<std::size_t>(kPhoneBookFooterLength) || size > 255)
        return nullptr;
    // Writing the entry back keeps its number and gives a record of the same length.
    for (AlphaForm form : {AlphaForm::Ucs2, AlphaForm::Ucs2Base81, AlphaForm::Ucs2Base82}) {
        const Bytes rewritten = EncodePhoneBookRecord(entry, static_cast<int>(size), form);
        if (rewritten.size() != size)
            return "rewritten record has another length";
        const PhoneBookEntry again = DecodePhoneBookRecord(rewritten);
        if (again.Number() != entry.Number())
            return "number changed on rewrite";
        if (!IsValidUtf8(again.name))
            return "rewritten name is not UTF-8";
    }
    return nullptr;
}

// Input: an SMS record of any length.
inline const char* CheckDecodeSms(const std::uint8_t* data, std::size_t size) {
    const Bytes record(data, data + size);
    const SmsRecord sms = DecodeSmsRecord(record);
    if (sms.raw != record)
        return "raw bytes not kept";
    if (!IsValidUtf8(sms.text))
        return "text is not UTF-8";
    if (!IsValidUtf8(sms.AddressText()))
        return "address is not UTF-8";
    if (!IsValidUtf8(sms.ServiceCentreNumber()))
        return "service centre is not UTF-8";
    // 160 septets decode to at most 160 characters of at most 3 UTF-8 bytes, doubled by line
    // break normalisation; 70 UCS2 units to at most 280 bytes.
    if (sms.text.size() > 960)
        return "text longer than the user data allows";
    if (sms.userDataHeader.size() > kSmsMaxUcs2Bytes)
        return "header longer than the user data";
    if (sms.concatenation &&
        (sms.concatenation->partCount > 255 || sms.concatenation->reference > 0xFFFF)) {
        return "concatenation out of range";
    }
    if (!sms.IsMessage() && (!sms.text.empty() || !sms.AddressText().empty())) {
        return "a record that is no message has texts";
    }
    // The time stamp text reads back to the same stamp.
    const std::string stampText = FormatSmsTimeStamp(sms.timeStamp, 2024);
    if (ParseSmsTimeStamp(stampText) != sms.timeStamp)
        return "time stamp text does not read back";
    // The window writes what it read: that must give a record that decodes to the same
    // status, address and service centre number.
    const Bytes rewritten = EncodeSmsRecord(sms.AddressText(), sms.text, sms.status, sms.timeStamp,
                                            sms.ServiceCentreNumber(), sms.validity);
    if (rewritten.size() != kSmsRecordLength)
        return "rewritten record has another length";
    const SmsRecord again = DecodeSmsRecord(rewritten);
    if (again.truncated)
        return "rewritten record is truncated";
    if (sms.IsMessage() && again.status != sms.status)
        return "status changed on rewrite";
    if (!IsValidUtf8(again.text))
        return "rewritten text is not UTF-8";
    return nullptr;
}

inline std::u32string WithoutCurrencySign(std::u32string text) {
    for (char32_t& c : text) {
        if (c == U'\u00A4')
            c = U'$';
    }
    return text;
}

// Input: an alpha identifier field.
inline const char* CheckDecodeAlpha(const std::uint8_t* data, std::size_t size) {
    const std::string text = DecodeAlpha(std::span<const std::uint8_t>(data, size));
    if (!IsValidUtf8(text))
        return "text is not UTF-8";
    const std::size_t characters = Utf8ToUtf32(text).size();
    for (AlphaForm form : {AlphaForm::Ucs2, AlphaForm::Ucs2Base81, AlphaForm::Ucs2Base82}) {
        const Bytes field = EncodeAlpha(text, size, form);
        if (field.size() != size)
            return "encoded field has another length";
        if (AlphaCharactersHeld(text, size, form) > characters)
            return "holds more than it has";
        // What was written decodes to the leading characters of the text (the currency sign
        // may be written as GSM 0x24, which this program shows as "$").
        const std::u32string back = WithoutCurrencySign(Utf8ToUtf32(DecodeAlpha(field)));
        const std::u32string expected = WithoutCurrencySign(Utf8ToUtf32(text));
        if (expected.compare(0, back.size(), back) != 0)
            return "field does not decode back";
    }
    const AlphaForm chosen = ChooseAlphaForm(text, size);
    if (chosen != AlphaForm::Ucs2 && chosen != AlphaForm::Ucs2Base81 &&
        chosen != AlphaForm::Ucs2Base82)
        return "no form chosen";
    return nullptr;
}

// Input: byte 0 the byte count, byte 1 the start index, then the digit bytes.
inline const char* CheckDecodeDigits(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return nullptr;
    const int count = data[0];
    const std::size_t start = data[1];
    const std::span<const std::uint8_t> bytes(data + 2, size - 2);
    const std::string digits = DecodeDigits(bytes, start, count);
    if (!IsDialString(digits))
        return "not a dial string";
    if (digits.size() > 2u * static_cast<std::size_t>(count))
        return "more digits than nibbles";
    const std::string exact = DecodeDigitCount(bytes, start, count);
    if (!IsDialString(exact) || exact.size() > static_cast<std::size_t>(count)) {
        return "digit count not kept";
    }
    // Encoding the digits gives them back.
    Bytes encoded;
    std::size_t position = 0;
    EncodeDigits(digits, static_cast<int>(digits.size()), encoded, position);
    if (position != (digits.size() + 1) / 2)
        return "position not advanced by the byte count";
    if (DecodeDigitCount(encoded, 0, static_cast<int>(digits.size())) != digits) {
        return "digits do not encode back";
    }
    return nullptr;
}

}  // namespace pellucard::fuzz
