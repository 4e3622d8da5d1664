#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/bytes.h"

namespace pellucard {

// One record of EF SMSP (GSM 11.11 10.5.6, 3GPP TS 31.102 4.2.27): with record length R, an
// alpha tag of Y = R - 28 bytes, then the parameter indicators, the TP-Destination Address (12
// bytes), the TS-Service Centre Address (12 bytes: its length, type of number, ten digit
// bytes), TP-Protocol Identifier, TP-Data Coding Scheme and TP-Validity Period.
inline constexpr int kSmsParametersFixedLength = 28;
// Offsets from the end of the alpha tag.
inline constexpr int kSmspIndicators = 0;
inline constexpr int kSmspServiceCentre = 13;
inline constexpr int kSmspAddressLength = 12;
// Bit of the parameter indicators for the service centre address: 0 when it is present.
inline constexpr std::uint8_t kSmspServiceCentreAbsent = 0x02;
// At most ten digit bytes after the type of number.
inline constexpr int kServiceCentreMaxDigits = 20;

// The service centre address as text ("+" and the digits when international); nothing when the
// record is too short, its indicators say the address is absent, or it holds no digits.
std::optional<std::string> ServiceCentreOf(const Bytes& record);

enum class ServiceCentreEdit {
    Done,
    RecordTooShort,  // not an SMSP record: shorter than its 28 fixed bytes
    NoDigits,        // not a number a service centre can be called at
    TooLong,         // more than 20 digits
};

// Writes `number` as the record's service centre address and marks it present. Only the
// address's 12 bytes and the indicator bit change; the alpha tag, the other parameters and
// their indicator bits stay as they were. Anything but Done leaves the record untouched.
// The number is trimmed; a leading "+" makes it international; blanks, dashes, dots and
// brackets between the digits are dropped; anything else ("*", "#", letters) refuses it.
ServiceCentreEdit SetServiceCentre(Bytes& record, std::string_view number);

}  // namespace pellucard
