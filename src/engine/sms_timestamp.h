#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pellucard {

// The service centre time stamp of GSM 03.40 (9.2.3.11): seven bytes of swapped semi-octets,
// year (two digits), month, day, hour, minute, second and time zone. The time zone counts
// quarter hours from UTC; bit 3 of its byte is the sign.
struct SmsTimeStamp {
    int year = 0;  // two digits, 0..99
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int timeZone = 0;  // signed quarter hours: -28 is UTC-07:00, 8 is UTC+02:00

    // A time stamp whose year is 0 or less is written as seven 0xFF bytes (no time stamp).
    bool IsWritten() const { return year > 0; }
    bool IsZero() const;

    // The seven values in stamp order, as the engine's callers exchange them.
    std::array<int, 7> Values() const;
    static SmsTimeStamp FromValues(const std::array<int, 7>& values);

    bool operator==(const SmsTimeStamp&) const = default;
};

inline constexpr std::size_t kSmsTimeStampLength = 7;

// Decodes seven bytes (missing bytes count as 0xFF). Seven 0xFF bytes give an all-zero stamp.
SmsTimeStamp DecodeSmsTimeStamp(std::span<const std::uint8_t> bytes);
// Encodes the stamp; values are clamped to what the bytes can hold (0..99, zone -79..79).
std::array<std::uint8_t, kSmsTimeStampLength> EncodeSmsTimeStamp(const SmsTimeStamp& stamp);

// The time stamp as the SMS list shows it: "2006/06/06 05:31:03 (-28)", every field after the
// year in two digits, the zone signed. The century is 20 when 2000 + year is not later than
// currentYear, else 19. An all-zero stamp (none on the card) gives an empty text.
std::string FormatSmsTimeStamp(const SmsTimeStamp& stamp, int currentYear);

// Reads that text back: the six numbers before the parenthesis (the year by its last two
// digits) and the signed number between the parentheses. Missing parts read as 0.
SmsTimeStamp ParseSmsTimeStamp(std::string_view text);

}  // namespace pellucard
