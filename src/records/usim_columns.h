#pragma once

namespace pellucard {

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

}  // namespace pellucard
