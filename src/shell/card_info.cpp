#include "shell/card_info.h"

#include "engine/pellucard.h"
#include "platform/card_presence_watch.h"
#include "platform/reader_session.h"
#include "shell/session.h"

namespace pellucard {
namespace {

// Lets the windows run between two reader requests: they see what is read so far, and whatever
// they changed meanwhile is kept. `info` is the reading's own object, so the reading goes on
// from what the session holds after the yield.
std::function<void()> publishAndYield(Session& session, CardInfo& info) {
    return [&session, &info] {
        session.setCardInfo(info);
        session.yield();
        info = session.cardInfo();
    };
}

}  // namespace

bool findReaderAndCard(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.engine();
    if (!engine.ReaderPresent() && !engine.OpenReader())
        return false;
    // Smart-card readers tell without a command that they hold no card; the card is spared the
    // resets four times a second.
    CardPresenceWatch* watch = session.reader().watch.get();
    if (watch != nullptr && !watch->CardMayBePresent())
        return false;
    return engine.ResetCard().IsDone();
}

void readCardInfo(Session& session, CardGate::Hold& hold) {
    // Called for a card other than the one last read: the record lengths and CHV counters the
    // engine keeps belong to that card and would otherwise be taken for this one's.
    hold.engine().ForgetCardState();
    readCardInfoAgain(session, hold);
}

void readCardInfoAgain(Session& session, CardGate::Hold& hold) {
    CardInfo info = session.cardInfo();
    FindCardInf(hold.engine(), info, publishAndYield(session, info));
    session.setCardInfo(info);
}

void readPinCounters(Session& session, CardGate::Hold& hold) {
    CardInfo info = session.cardInfo();
    ReadPinCounters(hold.engine(), info);
    session.setCardInfo(info);
}

void readOpenCardInf(Session& session, CardGate::Hold& hold) {
    CardInfo info = session.cardInfo();
    ReadOpenCardInf(hold.engine(), info, publishAndYield(session, info));
    session.setCardInfo(info);
}

bool readUnreadCardInf(Session& session, CardGate::Hold& hold) {
    CardInfo info = session.cardInfo();
    const bool changed = ReadUnreadCardInf(hold.engine(), info, publishAndYield(session, info));
    session.setCardInfo(info);
    return changed;
}

}  // namespace pellucard
