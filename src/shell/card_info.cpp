#include "shell/card_info.h"

#include <string>

#include "engine/pellucard.h"
#include "platform/card_presence_watch.h"
#include "platform/reader_session.h"
#include "shell/session.h"

namespace pellucard {
namespace {

// The answer to one card-information item, or nothing when the engine could not give it.
bool ask(Pellucard& engine, CardInfoItem item, QString& text) {
    const CardInfoAnswer answer = engine.ReadCardInfo(item);
    if (!answer.value)
        return false;
    text = QString::fromStdString(*answer.value);
    return true;
}

QString textItem(Pellucard& engine, CardInfoItem item, const QString& notRead) {
    QString text;
    return ask(engine, item, text) ? text : notRead;
}

// Counts and counters arrive as decimal text; anything else was not read.
std::optional<int> numberItem(Pellucard& engine, CardInfoItem item) {
    QString text;
    if (!ask(engine, item, text))
        return std::nullopt;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

// The lock state, or nothing when the card did not give it.
std::optional<bool> lockStateItem(Pellucard& engine) {
    QString text;
    if (!ask(engine, CardInfoItem::LockState, text))
        return std::nullopt;
    return text != QLatin1String("Lock");
}

// Lets the windows run between two reader requests: they see what is read so far, and whatever
// they changed meanwhile is kept.
void publishAndYield(Session& session, CardInfoRecord& info) {
    session.setCardInfo(info);
    session.yield();
    info = session.cardInfo();
}

void readRecordCounts(Session& session, Pellucard& engine, CardInfoRecord& info, bool onlyUnread) {
    const struct {
        std::optional<int>& count;
        CardInfoItem item;
    } counts[] = {{info.MaxPhoneRecords, CardInfoItem::PhoneBookRecordCount},
                  {info.MaxSmsRecords, CardInfoItem::SmsRecordCount},
                  {info.MaxLastDialRecords, CardInfoItem::LastDialledRecordCount}};
    for (const auto& count : counts) {
        if (onlyUnread && count.count)
            continue;
        publishAndYield(session, info);
        count.count = numberItem(engine, count.item);
        if (count.item == CardInfoItem::PhoneBookRecordCount) {
            publishAndYield(session, info);
            info.PhoneRecordLength = numberItem(engine, CardInfoItem::PhoneBookRecordLength)
                                         .value_or(CardInfoRecord::kResetPhoneRecordLength);
        }
    }
}

void readPinCountersInto(Pellucard& engine, CardInfoRecord& info) {
    if (const std::optional<bool> open = lockStateItem(engine))
        info.Pin1Open = *open;
    info.Pin2Attempts = numberItem(engine, CardInfoItem::Pin2Attempts);
    info.Puk1Attempts = numberItem(engine, CardInfoItem::Puk1Attempts);
    info.Puk2Attempts = numberItem(engine, CardInfoItem::Puk2Attempts);
    info.Pin1Attempts = numberItem(engine, CardInfoItem::Pin1Attempts);
}

void readOpenCardInfInto(Session& session, Pellucard& engine, CardInfoRecord& info) {
    if (!isKnownAboveZero(info.Pin1Attempts) || !info.Pin1Open)
        return;
    publishAndYield(session, info);
    info.ServiceProviderName = textItem(engine, CardInfoItem::ServiceProviderName, "-");
    publishAndYield(session, info);
    info.Imsi = textItem(engine, CardInfoItem::Imsi, "-");
    publishAndYield(session, info);
    // A number that could not be read is not taken for one: new messages get none from it.
    info.ServiceCentreNumber = textItem(engine, CardInfoItem::ServiceCentreNumber, "-");
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

bool CardInfoRecord::hasUnread() const {
    return SimPhase == QLatin1String("-") || !MaxPhoneRecords || !MaxSmsRecords ||
           !MaxLastDialRecords || !Pin1Attempts || !Pin2Attempts || !Puk1Attempts || !Puk2Attempts;
}

void readPinCounters(Session& session, CardGate::Hold& hold) {
    CardInfoRecord info = session.cardInfo();
    readPinCountersInto(hold.engine(), info);
    session.setCardInfo(info);
}

void readOpenCardInf(Session& session, CardGate::Hold& hold) {
    CardInfoRecord info = session.cardInfo();
    readOpenCardInfInto(session, hold.engine(), info);
    session.setCardInfo(info);
}

bool readUnreadCardInf(Session& session, CardGate::Hold& hold) {
    CardInfoRecord info = session.cardInfo();
    if (!info.hasUnread())
        return false;
    Pellucard& engine = hold.engine();
    const CardInfoRecord before = info;
    if (info.SimPhase == QLatin1String("-")) {
        publishAndYield(session, info);
        info.SimPhase = textItem(engine, CardInfoItem::Phase, "-");
    }
    readRecordCounts(session, engine, info, true);
    if (!info.Pin1Attempts || !info.Pin2Attempts || !info.Puk1Attempts || !info.Puk2Attempts) {
        readPinCountersInto(engine, info);
        readOpenCardInfInto(session, engine, info);
    }
    session.setCardInfo(info);
    return info.SimPhase != before.SimPhase || info.MaxPhoneRecords != before.MaxPhoneRecords ||
           info.MaxSmsRecords != before.MaxSmsRecords ||
           info.MaxLastDialRecords != before.MaxLastDialRecords ||
           info.Pin1Attempts != before.Pin1Attempts || info.Pin2Attempts != before.Pin2Attempts ||
           info.Puk1Attempts != before.Puk1Attempts || info.Puk2Attempts != before.Puk2Attempts;
}

void readCardInfo(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.engine();
    CardInfoRecord info = session.cardInfo();
    // Called for a card other than the one last read: the record lengths and CHV counters the
    // engine keeps belong to that card and would otherwise be taken for this one's.
    engine.ForgetCardState();
    // A card that has only just answered its reset may not give its CHV state at once; a second
    // pass catches up. What is still not read then is read again by the next poll.
    for (int pass = 0; pass < 2; ++pass) {
        if (engine.ReaderPresent()) {
            publishAndYield(session, info);
            info.SimPhase = textItem(engine, CardInfoItem::Phase, "-");
            readRecordCounts(session, engine, info, false);
            readPinCountersInto(engine, info);
            readOpenCardInfInto(session, engine, info);
        }
        if (info.Puk2Attempts)
            break;
    }
    session.setCardInfo(info);
}

}  // namespace pellucard
