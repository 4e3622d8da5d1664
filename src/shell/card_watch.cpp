#include "shell/card_watch.h"

#include <string>

#include "engine/pellucard.h"
#include "shell/session.h"

namespace pellucard {
namespace {

constexpr int kMinimumIdentity = 5;  // digits an identity needs before the card counts as known

PollOutcome loseCard(Session& session) {
    session.CardInfo.reset();
    ++session.CardGeneration;
    return PollOutcome::CardLost;
}

// A card answered at the last exchange: read its identity again and compare.
PollOutcome checkCardIdentity(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.engine();
    CardInfoRecord& info = session.CardInfo;
    session.yield();
    QString previous;
    if (hasCardIdentity(info.CardId))
        previous = *info.CardId;
    else if (!engine.CardPresent())
        return loseCard(session);

    // Empty when not answered.
    info.CardId =
        QString::fromStdString(engine.ReadCardInfo(CardInfoItem::Iccid).value.value_or(""));

    session.yield();
    if (!engine.CardPresent())
        return loseCard(session);
    if (info.CardId->compare(previous, Qt::CaseInsensitive) == 0)
        return readUnreadCardInf(session, hold) ? PollOutcome::InfoRead : PollOutcome::NoChange;
    ++session.CardGeneration;
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
    if (!hasCardIdentity(session.CardInfo.CardId) || engine.ReaderPresent())
        return PollOutcome::NoChange;
    return loseCard(session);
}

bool cardIdentified(Session& session) {
    return session.gate().cardPresent() && session.CardInfo.CardId &&
           session.CardInfo.CardId->size() >= kMinimumIdentity;
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
