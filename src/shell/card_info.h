#pragma once

#include <QString>

#include <optional>

#include "shell/card_gate.h"

namespace pellucard {

class Session;

// What the program last read about the card in the reader. Every window reads it; the polling
// timer and the PIN dialogs write it. A field that could not be read holds its "not read" value.
struct CardInfoRecord {
    static constexpr int kResetPhoneRecordLength = 54;  // a 40-character name plus 14 bytes

    // ICCID digits; none while no card is known. Empty after a check found another card, until
    // the poll reads the identity again.
    std::optional<QString> CardId;
    QString SimPhase = QStringLiteral("-");
    QString Imsi = QStringLiteral("-");
    QString ServiceProviderName = QStringLiteral("-");
    QString ServiceCentreNumber = QStringLiteral("-");
    int MaxPhoneRecords = 0;
    int MaxSmsRecords = 0;
    int MaxLastDialRecords = 0;
    int PhoneRecordLength = kResetPhoneRecordLength;  // bytes of one EF ADN record
    bool Pin1Open = false;  // CHV1 check off, or passed since the card status was read
    int Pin1Attempts = 0;
    int Pin2Attempts = 0;
    int Puk1Attempts = 0;
    int Puk2Attempts = 0;

    // The card or reader went away: nothing is known about a card any more.
    void Reset() { *this = CardInfoRecord{}; }
};

// An identity long enough to be a card's (the poll compares identities only then).
inline bool HasCardIdentity(const std::optional<QString>& cardId) {
    return cardId && cardId->size() > 2;
}

// The identity as the windows show it: "-" while no card is known.
inline QString CardIdText(const CardInfoRecord& info) {
    return info.CardId.value_or(QStringLiteral("-"));
}

// Opens the reader if it is not open yet, then looks for a card in it (unless the reader service
// says for certain that there is none).
void FindReaderAndCard(Session& session, CardGate::Hold& hold);

// Reads everything the windows show about a newly found card into the session's CardInfo,
// yielding to the event loop between the slower reader requests. The identity (CardId) is read
// by the poll.
void FindCardInf(Session& session, CardGate::Hold& hold);

// Re-reads the CHV state: lock state and the attempts left of PIN1, PIN2 and their unblock codes.
void ReadPinCounters(Session& session, CardGate::Hold& hold);

// Reads the data that only an open card gives (service provider name, IMSI, service centre
// number), each after a yield. Does nothing while PIN1 blocks access.
void ReadOpenCardInf(Session& session, CardGate::Hold& hold);

}  // namespace pellucard
