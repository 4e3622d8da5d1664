#pragma once

#include <string>
#include <string_view>

namespace pellucard {

// Removes blanks (space, tab, CR, LF) from both ends.
std::string_view TrimBlanks(std::string_view text);

// Carriage return + line feed, a lone carriage return and a lone line feed all become carriage
// return + line feed, the line break the windows and the text files use.
std::string NormaliseLineBreaks(std::string_view text);

}  // namespace pellucard
