#pragma once

#include <array>

namespace pellucard {

// The widths of a phone book list's seven columns when it shows the USIM columns: name, number,
// second number, type, e-mail, second name, group. `rest` is the room the list has for them,
// `titles` what each column's title needs, `readable` what shows a name or a whole international
// number. The name and number come first: while the list has room, they show `readable`, and the
// USIM columns give up width (down to `narrowest`, their titles cut short) before they do. What
// the titles leave over goes mostly to the name, the numbers and the e-mail. When even the
// narrowest widths do not fit, the list scrolls.
std::array<int, 7> usimColumnWidths(int rest, const std::array<int, 7>& titles, int readable,
                                    int narrowest);

}  // namespace pellucard
