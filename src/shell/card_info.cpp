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
    std::string answer;
    if (engine.GetCardInf(answer, item) != CardInfoResult::Answered)
        return false;
    text = QString::fromStdString(answer);
    return true;
}

QString TextItem(Pellucard& engine, CardInfoItem item, const QString& notRead) {
    QString text;
    return Ask(engine, item, text) ? text : notRead;
}

// Counts and counters arrive as decimal text; anything else counts as 0.
int NumberItem(Pellucard& engine, CardInfoItem item, int notRead) {
    QString text;
    if (!Ask(engine, item, text))
        return notRead;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value > 0 ? value : 0;
}

bool LockStateItem(Pellucard& engine) {
    QString text;
    return Ask(engine, CardInfoItem::LockState, text) && text != QLatin1String("Lock");
}

}  // namespace

void FindReaderAndCard(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    if (!engine.ReaderPresent() && !engine.FindReader())
        return;
    // Smart-card readers tell without a command that they hold no card; the card is spared the
    // resets four times a second.
    CardPresenceWatch* watch = session.Reader().watch.get();
    if (watch != nullptr && !watch->CardMayBePresent())
        return;
    engine.FindSimCard();
}

void ReadPinCounters(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    CardInfoRecord& info = session.CardInfo;
    info.Pin1Open = LockStateItem(engine);
    info.Pin2Attempts = NumberItem(engine, CardInfoItem::Pin2Attempts, 0);
    info.Puk1Attempts = NumberItem(engine, CardInfoItem::Puk1Attempts, 0);
    info.Puk2Attempts = NumberItem(engine, CardInfoItem::Puk2Attempts, 0);
    info.Pin1Attempts = NumberItem(engine, CardInfoItem::Pin1Attempts, 0);
}

void ReadOpenCardInf(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    CardInfoRecord& info = session.CardInfo;
    if (info.Pin1Attempts <= 0 || !info.Pin1Open)
        return;
    session.Yield();
    info.ServiceProviderName = TextItem(engine, CardInfoItem::ServiceProviderName, "-");
    session.Yield();
    info.Imsi = TextItem(engine, CardInfoItem::Imsi, "-");
    session.Yield();
    info.ServiceCentreNumber = TextItem(engine, CardInfoItem::ServiceCentreNumber, "0");
}

void FindCardInf(Session& session, CardGate::Hold& hold) {
    Pellucard& engine = hold.Engine();
    CardInfoRecord& info = session.CardInfo;
    // Called for a card other than the one last read: the record lengths and CHV counters the
    // engine keeps belong to that card and would otherwise be taken for this one's.
    engine.ResetCardState();
    // A card that has only just answered its reset may not give its CHV state at once; a second
    // pass catches up. A nonzero unblock-PIN2 count shows that the state was read.
    for (int pass = 0; pass < 2; ++pass) {
        if (engine.ReaderPresent()) {
            info.MaxPhoneRecords = 0;
            info.MaxSmsRecords = 0;
            info.MaxLastDialRecords = 0;
            session.Yield();
            info.SimPhase = TextItem(engine, CardInfoItem::Phase, "-");
            session.Yield();
            info.MaxPhoneRecords = NumberItem(engine, CardInfoItem::PhoneBookRecordCount, 0);
            session.Yield();
            info.PhoneRecordLength = NumberItem(engine, CardInfoItem::PhoneBookRecordLength, 0);
            session.Yield();
            info.MaxSmsRecords = NumberItem(engine, CardInfoItem::SmsRecordCount, 0);
            session.Yield();
            info.MaxLastDialRecords = NumberItem(engine, CardInfoItem::LastDialledRecordCount, 0);
            ReadPinCounters(session, hold);
            ReadOpenCardInf(session, hold);
        }
        if (info.Puk2Attempts != 0)
            break;
    }
}

}  // namespace pellucard
