#include "engine/sms_parameters.h"

#include <algorithm>

#include "engine/codec_digits.h"
#include "engine/codec_text.h"

namespace pellucard {

namespace {

std::size_t AlphaTagLength(const Bytes& record) {
    return record.size() - kSmsParametersFixedLength;
}

}  // namespace

std::optional<std::string> ServiceCentreOf(const Bytes& record) {
    if (record.size() < std::size_t(kSmsParametersFixedLength))
        return std::nullopt;
    const std::size_t y = AlphaTagLength(record);
    if (record[y + kSmspIndicators] & kSmspServiceCentreAbsent)
        return std::nullopt;
    const std::size_t address = y + kSmspServiceCentre;
    // The length byte counts the type of number and the digit bytes (GSM 04.11 8.2.5.2).
    const int length = record[address];
    const int digitBytes = std::min(length - 1, kSmspAddressLength - 2);
    if (length == 0xFF || digitBytes <= 0)
        return std::nullopt;
    const std::string digits = DecodeDigits(record, address + 2, digitBytes);
    if (digits.empty())
        return std::nullopt;
    return (record[address + 1] & 0x70) == kTypeInternational ? "+" + digits : digits;
}

ServiceCentreEdit SetServiceCentre(Bytes& record, std::string_view number) {
    if (record.size() < std::size_t(kSmsParametersFixedLength))
        return ServiceCentreEdit::RecordTooShort;
    std::string_view trimmed = TrimBlanks(number);
    const bool international = !trimmed.empty() && trimmed.front() == '+';
    if (international)
        trimmed.remove_prefix(1);
    // Separators people type are dropped; anything else (letters, "*", "#", a pause) cannot
    // be part of an address and refuses the whole number rather than being lost in silence.
    std::string digits;
    for (const char c : trimmed) {
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c != ' ' && c != '-' && c != '(' && c != ')' && c != '.')
            return ServiceCentreEdit::NoDigits;
    }
    if (digits.empty())
        return ServiceCentreEdit::NoDigits;
    if (digits.size() > std::size_t(kServiceCentreMaxDigits))
        return ServiceCentreEdit::TooLong;

    const std::size_t y = AlphaTagLength(record);
    const std::size_t address = y + kSmspServiceCentre;
    Bytes field(std::size_t(kSmspAddressLength), 0xFF);
    field[0] = static_cast<std::uint8_t>(1 + (digits.size() + 1) / 2);
    field[1] =
        static_cast<std::uint8_t>(0x80 | (international ? kTypeInternational : 0) | kPlanIsdn);
    std::size_t position = 2;
    EncodeDigits(digits, kServiceCentreMaxDigits, field, position);
    std::copy(field.begin(), field.end(), record.begin() + std::ptrdiff_t(address));
    record[y + kSmspIndicators] &= static_cast<std::uint8_t>(~kSmspServiceCentreAbsent);
    return ServiceCentreEdit::Done;
}

}  // namespace pellucard
