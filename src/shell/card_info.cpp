#include "shell/card_info.h"

#include <string>

#include "engine/pellucard.h"
#include "platform/card_presence_watch.h"
#include "platform/reader_session.h"
#include "shell/session.h"

namespace pellucard {
namespace {

// The answer to one card-information item, or nothing when the engine could not give it.
bool Ask(Pellucard& engine, CardInfoItem item, QString& text) {
    const CardInfoAnswer answer = engine.ReadCardInfo(item);
    if (!answer.value)
        return false;
    text = QString::fromStdString(*answer.value);
    return true;
}

QString TextItem(Pellucard& engine, CardInfoItem item, const QString& notRead) {
    QString text;
    return Ask(engine, item, text) ? text : notRead;
}

// Counts and counters arrive as decimal text; anything else was not read.
std::optional<int> NumberItem(Pellucard& engine, CardInfoItem item) {
    QString text;
    if (!Ask(engine, item, text))
        return std::nullopt;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

// The lock state, or nothing when the card did not give it.
std::optional<bool> LockStateItem(Pellucard& engine) {
    QString text;
    if (!Ask(engine, CardInfoItem::LockState, text))
        return std::nullopt;
    return text != QLatin1String("Lock");
}

void ReadRecordCounts(Session& session, Pellucard& engine, bool onlyUnread) {
    CardInfoRecord& info = session.CardInfo;
    const struct {
        std::optional<int>& count;
        CardInfoItem item;
    } counts[] = {{info.MaxPhoneRecords, CardInfoItem::PhoneBookRecordCount},
                  {info.MaxSmsRecords, CardInfoItem::SmsRecordCount},
                  {info.MaxLastDialRecords, CardInfoItem::LastDialledRecordCount}};
    for (const auto& count : counts) {
        if (onlyUnread && count.count)
            continue;
        session.Yield();
        count.count = NumberItem(engine, count.item);
        if (count.item == CardInfoItem::PhoneBookRecordCount) {
            session.Yield();
            info.PhoneRecordLength = NumberItem(engine, CardInfoItem::PhoneBookRecordLength)
                                         .value_or(CardInfoRecord::kResetPhoneRecordLength);
        }
    }
}

}  // namespace

bool FindReaderAndCard(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    if (!engine.ReaderPresent() && !engine.OpenReader())
        return false;
    // Smart-card readers tell without a command that they hold no card; the card is spared the
    // resets four times a second.
    CardPresenceWatch* watch = session.Reader().watch.get();
    if (watch != nullptr && !watch->CardMayBePresent())
        return false;
    return engine.ResetCard().IsDone();
}

bool CardInfoRecord::HasUnread() const {
    return SimPhase == QLatin1String("-") || !MaxPhoneRecords || !MaxSmsRecords ||
           !MaxLastDialRecords || !Pin1Attempts || !Pin2Attempts || !Puk1Attempts || !Puk2Attempts;
}

void ReadPinCounters(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    CardInfoRecord& info = session.CardInfo;
    if (const std::optional<bool> open = LockStateItem(engine))
        info.Pin1Open = *open;
    info.Pin2Attempts = NumberItem(engine, CardInfoItem::Pin2Attempts);
    info.Puk1Attempts = NumberItem(engine, CardInfoItem::Puk1Attempts);
    info.Puk2Attempts = NumberItem(engine, CardInfoItem::Puk2Attempts);
    info.Pin1Attempts = NumberItem(engine, CardInfoItem::Pin1Attempts);
}

void ReadOpenCardInf(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    CardInfoRecord& info = session.CardInfo;
    if (!IsKnownAboveZero(info.Pin1Attempts) || !info.Pin1Open)
        return;
    session.Yield();
    info.ServiceProviderName = TextItem(engine, CardInfoItem::ServiceProviderName, "-");
    session.Yield();
    info.Imsi = TextItem(engine, CardInfoItem::Imsi, "-");
    session.Yield();
    // A number that could not be read is not taken for one: new messages get none from it.
    info.ServiceCentreNumber = TextItem(engine, CardInfoItem::ServiceCentreNumber, "-");
}

bool ReadUnreadCardInf(Session& session, CardGate::Hold& hold) {
    CardInfoRecord& info = session.CardInfo;
    if (!info.HasUnread())
        return false;
    Pellucard& engine = hold.Engine();
    const CardInfoRecord before = info;
    if (info.SimPhase == QLatin1String("-")) {
        session.Yield();
        info.SimPhase = TextItem(engine, CardInfoItem::Phase, "-");
    }
    ReadRecordCounts(session, engine, true);
    if (!info.Pin1Attempts || !info.Pin2Attempts || !info.Puk1Attempts || !info.Puk2Attempts) {
        ReadPinCounters(session, hold);
        ReadOpenCardInf(session, hold);
    }
    return info.SimPhase != before.SimPhase || info.MaxPhoneRecords != before.MaxPhoneRecords ||
           info.MaxSmsRecords != before.MaxSmsRecords ||
           info.MaxLastDialRecords != before.MaxLastDialRecords ||
           info.Pin1Attempts != before.Pin1Attempts || info.Pin2Attempts != before.Pin2Attempts ||
           info.Puk1Attempts != before.Puk1Attempts || info.Puk2Attempts != before.Puk2Attempts;
}

void FindCardInf(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    CardInfoRecord& info = session.CardInfo;
    // Called for a card other than the one last read: the record lengths and CHV counters the
    // engine keeps belong to that card and would otherwise be taken for this one's.
    engine.ForgetCardState();
    // A card that has only just answered its reset may not give its CHV state at once; a second
    // pass catches up. What is still not read then is read again by the next poll.
    for (int pass = 0; pass < 2; ++pass) {
        if (engine.ReaderPresent()) {
            session.Yield();
            info.SimPhase = TextItem(engine, CardInfoItem::Phase, "-");
            ReadRecordCounts(session, engine, false);
            ReadPinCounters(session, hold);
            ReadOpenCardInf(session, hold);
        }
        if (info.Puk2Attempts)
            break;
    }
}

}  // namespace pellucard
