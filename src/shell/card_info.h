#pragma once

#include <QString>

#include <optional>

#include "shell/card_gate.h"

namespace pellucard {

class Session;

// What the program last read about the card in the reader. Every window reads it; the polling
// timer and the PIN dialogs write it. A field that could not be read holds its "not read" value:
// "-" for a text, nothing for a count or an attempt counter, which is never taken for 0 (a
// counter shown as 0 reads as a blocked code).
struct CardInfoRecord {
    static constexpr int kResetPhoneRecordLength = 54;  // a 40-character name plus 14 bytes

    // ICCID digits; none while no card is known. Empty after a check found another card, until
    // the poll reads the identity again.
    std::optional<QString> CardId;
    QString SimPhase = QStringLiteral("-");
    QString Imsi = QStringLiteral("-");
    QString ServiceProviderName = QStringLiteral("-");
    QString ServiceCentreNumber = QStringLiteral("-");
    std::optional<int> MaxPhoneRecords;
    std::optional<int> MaxSmsRecords;
    std::optional<int> MaxLastDialRecords;
    int PhoneRecordLength = kResetPhoneRecordLength;  // bytes of one EF ADN record
    // CHV1 check off, or passed since the card status was read. Kept as last read when the
    // lock state cannot be read.
    bool Pin1Open = false;
    std::optional<int> Pin1Attempts;
    std::optional<int> Pin2Attempts;
    std::optional<int> Puk1Attempts;
    std::optional<int> Puk2Attempts;

    bool operator==(const CardInfoRecord&) const = default;
    // Something the poll reads for every card (phase, record counts, attempt counters) could
    // not be read; the next poll tries again.
    bool hasUnread() const;
};

// A count or counter that was read and is `value`; false when it was not read.
inline bool IsKnown(const std::optional<int>& count, int value) {
    return count.has_value() && *count == value;
}
// A count or counter that was read and is above 0.
inline bool isKnownAboveZero(const std::optional<int>& count) {
    return count.has_value() && *count > 0;
}

// An identity long enough to be a card's (the poll compares identities only then).
inline bool hasCardIdentity(const std::optional<QString>& cardId) {
    return cardId && cardId->size() > 2;
}

// The identity as the windows show it: "-" while no card is known.
inline QString cardIdText(const CardInfoRecord& info) {
    return info.CardId.value_or(QStringLiteral("-"));
}

// Opens the reader if it is not open yet, then looks for a card in it (unless the reader service
// says for certain that there is none). True when a card answered its reset.
bool findReaderAndCard(Session& session, CardGate::Hold& hold);

// Reads everything the windows show about a newly found card into the session's card information,
// yielding to the event loop between the slower reader requests. The identity (CardId) is read
// by the poll.
void readCardInfo(Session& session, CardGate::Hold& hold);

// Re-reads the CHV state: lock state and the attempts left of PIN1, PIN2 and their unblock codes.
// A counter the card does not give is unknown afterwards; the lock state stays as it was.
void readPinCounters(Session& session, CardGate::Hold& hold);

// Reads again what the last reading of the same card could not (hasUnread); true when anything
// was read now.
bool readUnreadCardInf(Session& session, CardGate::Hold& hold);

// Reads the data that only an open card gives (service provider name, IMSI, service centre
// number), each after a yield. Does nothing while PIN1 blocks access.
void readOpenCardInf(Session& session, CardGate::Hold& hold);

}  // namespace pellucard
