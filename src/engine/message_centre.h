#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/card_outcome.h"
#include "engine/sms_parameters.h"

namespace pellucard {

class Pellucard;

// The message centre is the service centre address of the first record of EF SMSP: the
// parameter set a handset sends with unless the user picks another.
inline constexpr int kMessageCentreRecord = 1;

// The message centre as the card holds it; a done outcome with no number when the record holds
// none (or the card's file has no record, or none long enough to be an SMSP record).
CardResult<std::optional<std::string>> ReadMessageCentre(Pellucard& engine);

struct MessageCentreWrite {
    // Done when the number could be written into the record (else nothing was sent).
    ServiceCentreEdit edit = ServiceCentreEdit::Done;
    // What the card answered: the read of the record, or its update.
    CardOutcome outcome;
    // The message centre the record held before (when it was read), and the one it holds
    // after the edit, as the card keeps it ("+" and the digits when international).
    std::optional<std::string> previous;
    std::optional<std::string> number;

    bool Done() const { return edit == ServiceCentreEdit::Done && outcome.IsDone(); }
};

// Reads the record, sets its service centre address and writes it back: every other byte of
// the record goes back as the card held it.
MessageCentreWrite WriteMessageCentre(Pellucard& engine, std::string_view number);

}  // namespace pellucard
