#pragma once

#include <QString>

#include <optional>
#include <string>

#include "engine/card_info.h"
#include "shell/card_gate.h"

namespace pellucard {

class Session;

// A count or counter that was read and is `value`; false when it was not read.
inline bool IsKnown(const std::optional<int>& count, int value) {
    return count.has_value() && *count == value;
}
// A count or counter that was read and is above 0.
inline bool isKnownAboveZero(const std::optional<int>& count) {
    return count.has_value() && *count > 0;
}

// An identity long enough to be a card's (the poll compares identities only then).
inline bool hasCardIdentity(const std::optional<std::string>& cardId) {
    return cardId && cardId->size() > 2;
}

// The identity as the windows show it: "-" while no card is known.
inline QString cardIdText(const CardInfo& info) {
    return info.CardId ? QString::fromStdString(*info.CardId) : QStringLiteral("-");
}

// Opens the reader if it is not open yet, then looks for a card in it (unless the reader service
// says for certain that there is none). True when a card answered its reset.
bool findReaderAndCard(Session& session, CardGate::Hold& hold);

// The engine's readings of the card information (engine/card_info.h) into the session's, which
// the windows see as it fills: each yields to the event loop between the slower reader requests,
// and whatever the windows changed meanwhile is kept.

// Reads everything the windows show about a newly found card. The identity (CardId) is read by
// the poll.
void readCardInfo(Session& session, CardGate::Hold& hold);

// Reads it all again for the card in hand after a run changed its files. The card was not reset
// in between, so what the engine knows of it still holds: PIN1 verified stays verified (GSM
// 11.11: until the card is reset), where readCardInfo would take it for a card never seen and
// show it closed.
void readCardInfoAgain(Session& session, CardGate::Hold& hold);

// Re-reads the CHV state (ReadPinCounters).
void readPinCounters(Session& session, CardGate::Hold& hold);

// Reads again what the last reading of the same card could not (CardInfo::HasUnread); true when
// anything was read now.
bool readUnreadCardInf(Session& session, CardGate::Hold& hold);

// Reads the data that only an open card gives (ReadOpenCardInf); nothing while PIN1 blocks it.
void readOpenCardInf(Session& session, CardGate::Hold& hold);

}  // namespace pellucard
