#pragma once

namespace pellucard {

// Columns of the phone book lists: slot number, name, number, 23 columns the contact files
// keep for the personal records, and the mark column.
namespace phone_column {
inline constexpr int kName = 1;
inline constexpr int kNumber = 2;
inline constexpr int kFieldCount = 2;
inline constexpr int kMark = 26;
inline constexpr int kCount = 27;
}  // namespace phone_column

// What a USIM phone book keeps beside a name and number (EF ANR with its EF AAS type, EF EMAIL,
// EF SNE, EF GRP with its EF GAS names), in the columns after the phone book's mark column.
namespace usim_column {
inline constexpr int kSecondNumber = 27;
inline constexpr int kNumberType = 28;
inline constexpr int kEmail = 29;
inline constexpr int kSecondName = 30;
inline constexpr int kGroup = 31;
inline constexpr int kCount = 32;
}  // namespace usim_column

// Columns of the SMS lists. The typed text (2) is kept apart from the text as it is shown,
// broken into the lines it occupies (3); the validity period is shown as text (7) and kept as
// its GSM 03.40 relative code (8).
namespace sms_column {
inline constexpr int kAddress = 1;
inline constexpr int kText = 2;
inline constexpr int kShown = 3;
inline constexpr int kStatus = 4;
inline constexpr int kTimeStamp = 5;
inline constexpr int kServiceCentre = 6;
inline constexpr int kValidityText = 7;
inline constexpr int kValidity = 8;
inline constexpr int kFieldCount = 8;
inline constexpr int kMark = 9;
inline constexpr int kCount = 10;
}  // namespace sms_column

}  // namespace pellucard
