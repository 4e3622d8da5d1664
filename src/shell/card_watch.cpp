#include "shell/card_watch.h"

#include <string>

#include "engine/pellucard.h"
#include "shell/session.h"

namespace pellucard {
namespace {

constexpr int kMinimumIdentity = 5;  // digits an identity needs before the card counts as known

PollOutcome loseCard(Session& session) {
    session.forgetCard();
    return PollOutcome::CardLost;
}

// A card answered at the last exchange: read its identity again and compare.
PollOutcome checkCardIdentity(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.engine();
    session.yield();
    const std::optional<std::string>& known = session.cardInfo().CardId;
    QString previous;
    if (hasCardIdentity(known))
        previous = QString::fromStdString(*known);
    else if (!engine.CardPresent())
        return loseCard(session);

    // Empty when not answered.
    const QString cardId =
        QString::fromStdString(engine.ReadCardInfo(CardInfoItem::Iccid).value.value_or(""));
    session.setCardId(cardId);

    session.yield();
    if (!engine.CardPresent())
        return loseCard(session);
    if (cardId.compare(previous, Qt::CaseInsensitive) == 0)
        return readUnreadCardInf(session, hold) ? PollOutcome::InfoRead : PollOutcome::NoChange;
    session.startNewCard();
    readCardInfo(session, hold);
    return PollOutcome::CardRead;
}

}  // namespace

PollOutcome pollReaderAndCard(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.engine();
    if (engine.ReaderPresent()) {
        if (engine.CardPresent())
            return checkCardIdentity(session, hold);
        return findReaderAndCard(session, hold) ? PollOutcome::NoChange : loseCard(session);
    }
    findReaderAndCard(session, hold);
    // Without a reader there is nothing to lose unless a card was known until now.
    if (!hasCardIdentity(session.cardInfo().CardId) || engine.ReaderPresent())
        return PollOutcome::NoChange;
    return loseCard(session);
}

bool cardIdentified(Session& session) {
    const std::optional<std::string>& cardId = session.cardInfo().CardId;
    return session.gate().cardPresent() && cardId &&
           static_cast<int>(cardId->size()) >= kMinimumIdentity;
}

QString readerStateText(Session& session) {
    const CardGate& gate = session.gate();
    if (!gate.readerPresent())
        return session.text(MessageId::CannotFindReader);
    if (!gate.cardPresent())
        return session.text(MessageId::NoSimCardInReader);
    return {};
}

}  // namespace pellucard
