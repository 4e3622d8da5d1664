#pragma once

#include <QString>

#include "shell/card_gate.h"

namespace pellucard {

class Session;

// What one look at the reader found.
enum class PollOutcome {
    NoChange,  // same card, or still no reader or card
    CardRead,  // a new card (or the first one): its information was read into CardInfo
    InfoRead,  // the same card: what could not be read before has been read now
    CardLost,  // the card or the reader went away: CardInfo was reset
};

// One poll of the reader and the card: opens a reader that has appeared, resets a card that has
// been inserted, reads a card's identity to notice that it was swapped for another, and reads
// again what could not be read of the same card before. Yields to the event loop between card
// requests.
PollOutcome pollReaderAndCard(Session& session, CardGate::Hold& hold);

// A card answered and its identity is known: the slow polling period applies.
bool cardIdentified(Session& session);

// What is missing for card work, in the language in force: "Can't find the SIM card reader", or
// "No SIM card in the reader"; empty while a card answers.
QString readerStateText(Session& session);

}  // namespace pellucard
