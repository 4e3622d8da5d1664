#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pellucard {

using Bytes = std::vector<std::uint8_t>;

// Upper-case hex without separators ("A0A4000002").
std::string ToHex(const Bytes& bytes);
// A file identifier as four hex digits ("4F3A").
std::string FileIdHex(std::uint16_t fileId);

// Parses hex in either case; blanks are ignored. Returns false on an odd digit count or a
// character that is not a hex digit.
bool FromHex(std::string_view text, Bytes& out);

}  // namespace pellucard
