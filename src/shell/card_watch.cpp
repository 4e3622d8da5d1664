#include "shell/card_watch.h"

#include <string>

#include "engine/pellucard.h"
#include "shell/session.h"

namespace pellucard {
namespace {

constexpr int kMinimumIdentity = 5;  // digits an identity needs before the card counts as known

PollOutcome LoseCard(Session& session) {
    session.CardInfo.Reset();
    ++session.CardGeneration;
    return PollOutcome::CardLost;
}

// A card answered at the last exchange: read its identity again and compare.
PollOutcome CheckCardIdentity(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    CardInfoRecord& info = session.CardInfo;
    session.Yield();
    QString previous;
    if (HasCardIdentity(info.CardId))
        previous = *info.CardId;
    else if (!engine.CardPresent())
        return LoseCard(session);

    // Empty when not answered.
    info.CardId =
        QString::fromStdString(engine.ReadCardInfo(CardInfoItem::Iccid).value.value_or(""));

    session.Yield();
    if (!engine.CardPresent())
        return LoseCard(session);
    if (info.CardId->compare(previous, Qt::CaseInsensitive) == 0)
        return ReadUnreadCardInf(session, hold) ? PollOutcome::InfoRead : PollOutcome::NoChange;
    ++session.CardGeneration;
    FindCardInf(session, hold);
    return PollOutcome::CardRead;
}

}  // namespace

PollOutcome PollReaderAndCard(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    if (engine.ReaderPresent()) {
        if (engine.CardPresent())
            return CheckCardIdentity(session, hold);
        return FindReaderAndCard(session, hold) ? PollOutcome::NoChange : LoseCard(session);
    }
    FindReaderAndCard(session, hold);
    // Without a reader there is nothing to lose unless a card was known until now.
    if (!HasCardIdentity(session.CardInfo.CardId) || engine.ReaderPresent())
        return PollOutcome::NoChange;
    return LoseCard(session);
}

bool CardIdentified(Session& session) {
    return session.Gate().CardPresent() && session.CardInfo.CardId &&
           session.CardInfo.CardId->size() >= kMinimumIdentity;
}

QString ReaderStateText(Session& session) {
    const CardGate& gate = session.Gate();
    if (!gate.ReaderPresent())
        return session.Text(MessageId::CannotFindReader);
    if (!gate.CardPresent())
        return session.Text(MessageId::NoSimCardInReader);
    return {};
}

}  // namespace pellucard
