#include "engine/phonebook_entry.h"

#include <algorithm>

#include "engine/codec_alpha.h"
#include "engine/codec_digits.h"
#include "engine/codec_text.h"

namespace pellucard {

std::string PhoneBookEntry::Number() const {
    if (digits.empty())
        return {};
    return typeOfNumber == kTypeInternational ? "+" + digits : digits;
}

PhoneBookEntry DecodePhoneBookRecord(const Bytes& record) {
    PhoneBookEntry entry;
    entry.raw = record;
    if (record.size() < static_cast<std::size_t>(kPhoneBookFooterLength))
        return entry;
    entry.wellFormed = true;

    const std::size_t x = record.size() - kPhoneBookFooterLength;
    entry.name = DecodeAlpha(std::span<const std::uint8_t>(record.data(), x));
    entry.length = record[x];
    entry.typeByte = record[x + 1];
    entry.typeOfNumber = entry.typeByte & 0x70;
    entry.numberingPlan = entry.typeByte & 0x0F;
    entry.capabilityId = record[x + 12];
    entry.extensionId = record[x + 13];

    // The length byte counts the type byte too. 0xFF (empty record) and other counts past
    // kMaxDigitBytes give no digits; any other count reads at most the ten digit bytes.
    const int digitBytes = entry.length - 1;
    if (digitBytes > 0 && digitBytes <= kMaxDigitBytes) {
        entry.digits = DecodeDigits(record, x + 2, std::min(digitBytes, kPhoneBookDigitBytes));
    }
    return entry;
}

Bytes EncodePhoneBookRecord(std::string_view number, std::string_view name, int recordLength,
                            AlphaForm form) {
    if (recordLength < kPhoneBookFooterLength)
        return {};
    Bytes record(static_cast<std::size_t>(recordLength), 0xFF);
    const std::size_t x = record.size() - kPhoneBookFooterLength;

    std::string_view trimmed = TrimBlanks(number);
    const bool international = !trimmed.empty() && trimmed.front() == '+';
    if (international)
        trimmed.remove_prefix(1);
    std::string digits = DiallingDigits(trimmed);
    if (digits.size() > static_cast<std::size_t>(kPhoneBookMaxDigits)) {
        digits.resize(kPhoneBookMaxDigits);
    }

    if (!digits.empty()) {
        record[x] = static_cast<std::uint8_t>(1 + (digits.size() + 1) / 2);
        record[x + 1] =
            static_cast<std::uint8_t>(0x80 | (international ? kTypeInternational : 0) | kPlanIsdn);
        std::size_t position = x + 2;
        EncodeDigits(digits, kPhoneBookMaxDigits, record, position);
    }
    // An empty number keeps length, type and digit bytes at 0xFF.

    EncodeAlpha(name, static_cast<int>(x) - 1, record, form);
    return record;
}

Bytes EncodePhoneBookRecord(const PhoneBookEntry& entry, int recordLength, AlphaForm form) {
    return EncodePhoneBookRecord(entry.Number(), entry.name, recordLength, form);
}

Bytes EncodePhoneBookRecord(std::string_view number, std::string_view name, int recordLength,
                            NameForm choice) {
    const int field = std::max(recordLength - kPhoneBookFooterLength, 0);
    return EncodePhoneBookRecord(number, name, recordLength,
                                 AlphaFormFor(choice, name, static_cast<std::size_t>(field)));
}

}  // namespace pellucard
