#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pellucard {
class Pellucard;
}

namespace pellucard::cli {

// What `info` shows beside the card information: the subscriber's own numbers (EF MSISDN) and
// the message centre (the first EF SMSP record).
struct OwnNumber {
    int record = 0;
    std::string name;
    std::string number;
};

struct CardNumbers {
    // Nothing when the card did not give them: its files closed by PIN1, no such file, or a
    // failed link (then named in `unread`).
    std::optional<std::vector<OwnNumber>> ownNumbers;
    std::optional<std::string> messageCentre;
    bool messageCentreKnown = false;  // the record was read (it may hold none)
    std::vector<std::string> unread;  // "own numbers", "message centre"
};

// Reads both while PIN1 leaves the card's files open; a file the card refuses or lacks is
// unknown, one whose reading failed on the link is unread as well.
CardNumbers ReadCardNumbers(Pellucard& engine);

}  // namespace pellucard::cli
