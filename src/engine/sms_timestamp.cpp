#include "engine/sms_timestamp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/codec_digits.h"

namespace pellucard {

namespace {

constexpr std::uint8_t kZoneSignBit = 0x08;
constexpr int kMaxZone = 79;  // three bits of tens, one nibble of units

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool SmsTimeStamp::IsZero() const {
    return *this == SmsTimeStamp{};
}

std::array<int, 7> SmsTimeStamp::Values() const {
    return {year, month, day, hour, minute, second, timeZone};
}

SmsTimeStamp SmsTimeStamp::FromValues(const std::array<int, 7>& v) {
    return SmsTimeStamp{v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
}

SmsTimeStamp DecodeSmsTimeStamp(std::span<const std::uint8_t> bytes) {
    std::array<std::uint8_t, kSmsTimeStampLength> b;
    b.fill(0xFF);
    std::copy_n(bytes.begin(), std::min(bytes.size(), b.size()), b.begin());
    if (std::all_of(b.begin(), b.end(), [](std::uint8_t x) { return x == 0xFF; }))
        return {};

    SmsTimeStamp stamp;
    stamp.year = DecodeSwappedDecimal(b[0]);
    stamp.month = DecodeSwappedDecimal(b[1]);
    stamp.day = DecodeSwappedDecimal(b[2]);
    stamp.hour = DecodeSwappedDecimal(b[3]);
    stamp.minute = DecodeSwappedDecimal(b[4]);
    stamp.second = DecodeSwappedDecimal(b[5]);
    const int units = b[6] >> 4;
    const int zone = (b[6] & 0x07) * 10 + (units > 9 ? 0 : units);
    stamp.timeZone = (b[6] & kZoneSignBit) ? -zone : zone;
    return stamp;
}

std::array<std::uint8_t, kSmsTimeStampLength> EncodeSmsTimeStamp(const SmsTimeStamp& stamp) {
    std::array<std::uint8_t, kSmsTimeStampLength> b;
    if (!stamp.IsWritten()) {
        b.fill(0xFF);
        return b;
    }
    b[0] = EncodeSwappedDecimal(stamp.year);
    b[1] = EncodeSwappedDecimal(stamp.month);
    b[2] = EncodeSwappedDecimal(stamp.day);
    b[3] = EncodeSwappedDecimal(stamp.hour);
    b[4] = EncodeSwappedDecimal(stamp.minute);
    b[5] = EncodeSwappedDecimal(stamp.second);
    const int zone = std::min(std::abs(stamp.timeZone), kMaxZone);
    b[6] = EncodeSwappedDecimal(zone);
    if (stamp.timeZone < 0)
        b[6] |= kZoneSignBit;
    return b;
}

std::string FormatSmsTimeStamp(const SmsTimeStamp& stamp, int currentYear) {
    if (stamp.IsZero())
        return {};
    const int century = (2000 + stamp.year <= currentYear) ? 2000 : 1900;
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d (%s%02d)", century + stamp.year,
                  stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second,
                  stamp.timeZone < 0 ? "-" : "", std::abs(stamp.timeZone));
    return text;
}

SmsTimeStamp ParseSmsTimeStamp(std::string_view text) {
    const std::size_t open = text.find('(');
    std::string_view fields = text.substr(0, open);

    std::vector<int> numbers;
    std::size_t i = 0;
    while (i < fields.size() && numbers.size() < 6) {
        if (!IsDigit(fields[i])) {
            ++i;
            continue;
        }
        long value = 0;
        while (i < fields.size() && IsDigit(fields[i])) {
            value = std::min(value * 10 + (fields[i] - '0'), 1000000L);
            ++i;
        }
        numbers.push_back(static_cast<int>(value));
    }
    numbers.resize(6, 0);

    SmsTimeStamp stamp;
    stamp.year = numbers[0] % 100;
    stamp.month = numbers[1];
    stamp.day = numbers[2];
    stamp.hour = numbers[3];
    stamp.minute = numbers[4];
    stamp.second = numbers[5];

    if (open != std::string_view::npos) {
        std::string_view zone = text.substr(open + 1);
        zone = zone.substr(0, zone.find(')'));
        while (!zone.empty() && zone.front() == ' ')
            zone.remove_prefix(1);
        bool negative = !zone.empty() && zone.front() == '-';
        if (!zone.empty() && (zone.front() == '-' || zone.front() == '+'))
            zone.remove_prefix(1);
        int value = 0;
        for (std::size_t k = 0; k < zone.size() && IsDigit(zone[k]) && value < 1000; ++k) {
            value = value * 10 + (zone[k] - '0');
        }
        stamp.timeZone = negative ? -value : value;
    }
    return stamp;
}

}  // namespace pellucard
