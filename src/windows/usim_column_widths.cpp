#include "windows/usim_column_widths.h"

#include <algorithm>
#include <numeric>

namespace pellucard {

namespace {

constexpr std::size_t kFirstUsimColumn = 2;  // after the name and number
// How what is left over after the titles is shared: the name, the numbers and the e-mail hold
// the longest texts.
constexpr std::array<int, 7> kShares = {30, 22, 10, 0, 28, 0, 0};

}  // namespace

std::array<int, 7> usimColumnWidths(int rest, const std::array<int, 7>& titles, int readable,
                                    int narrowest) {
    std::array<int, 7> widths = titles;
    widths[0] = std::max(titles[0], readable);
    widths[1] = std::max(titles[1], readable);
    const int needed = std::accumulate(widths.begin(), widths.end(), 0);
    if (rest >= needed) {
        const int spare = rest - needed;
        const int shares = std::accumulate(kShares.begin(), kShares.end(), 0);
        for (std::size_t i = 0; i < widths.size(); ++i)
            widths[i] += spare * kShares[i] / shares;
        return widths;
    }
    // Too little room: the USIM columns shrink first.
    const int usimLeast = static_cast<int>(widths.size() - kFirstUsimColumn) * narrowest;
    const int firstTwo = widths[0] + widths[1];
    const int firstRoom = std::max(rest - usimLeast, titles[0] + titles[1]);
    if (firstTwo > firstRoom) {
        for (std::size_t i = 0; i < kFirstUsimColumn; ++i)
            widths[i] = std::max(titles[i], widths[i] * firstRoom / firstTwo);
    }
    // Each USIM column gives up what its title needs beyond the narrowest width, all in the
    // same proportion, so that together they fill the room left exactly.
    const int usimRoom = std::max(rest - widths[0] - widths[1], usimLeast);
    int beyond = 0;
    for (std::size_t i = kFirstUsimColumn; i < widths.size(); ++i)
        beyond += std::max(titles[i] - narrowest, 0);
    for (std::size_t i = kFirstUsimColumn; i < widths.size(); ++i) {
        const int own = std::max(titles[i] - narrowest, 0);
        widths[i] = narrowest + (beyond > 0 ? own * (usimRoom - usimLeast) / beyond : 0);
    }
    return widths;
}

}  // namespace pellucard
