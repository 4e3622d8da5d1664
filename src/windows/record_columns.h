#pragma once

#include "records/usim_columns.h"

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
