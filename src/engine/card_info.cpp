#include "engine/card_info.h"

#include <algorithm>
#include <charconv>

#include "engine/pellucard.h"

namespace pellucard {

const char* CardInfoItemName(CardInfoItem item) {
    switch (item) {
        case CardInfoItem::Iccid:
            return "ICCID";
        case CardInfoItem::Imsi:
            return "IMSI";
        case CardInfoItem::ServiceProviderName:
            return "service provider name";
        case CardInfoItem::LastDialledRecordCount:
            return "last dialled records";
        case CardInfoItem::Phase:
            return "SIM phase";
        case CardInfoItem::ServiceCentreNumber:
            return "service centre number";
        case CardInfoItem::SmsRecordCount:
            return "SMS records";
        case CardInfoItem::PhoneBookRecordCount:
            return "phone book records";
        case CardInfoItem::PhoneBookRecordLength:
            return "phone book record size";
        case CardInfoItem::LockState:
            return "PIN1 check";
        case CardInfoItem::Pin2Attempts:
            return "PIN2 attempts";
        case CardInfoItem::Pin1Attempts:
            return "PIN1 attempts";
        case CardInfoItem::Puk2Attempts:
            return "PUK2 attempts";
        case CardInfoItem::Puk1Attempts:
            return "PUK1 attempts";
        case CardInfoItem::SmsRecordLength:
            return "SMS record size";
        case CardInfoItem::OwnNumbers:
            return "own numbers";
    }
    return "card information";
}

std::optional<std::string> AskCardInfo(Pellucard& engine, CardInfoItem item,
                                       std::vector<CardInfoItem>& unread) {
    CardInfoAnswer answer = engine.ReadCardInfo(item);
    const bool failed = !answer.value && answer.outcome.IsLinkFailed();
    const auto listed = std::find(unread.begin(), unread.end(), item);
    if (failed && listed == unread.end())
        unread.push_back(item);
    if (!failed && listed != unread.end())
        unread.erase(listed);
    return std::move(answer.value);
}

bool CardInfo::HasUnread() const {
    return SimPhase == "-" || !MaxPhoneRecords || !MaxSmsRecords || !MaxLastDialRecords ||
           !Pin1Attempts || !Pin2Attempts || !Puk1Attempts || !Puk2Attempts;
}

namespace {

void Pause(const std::function<void()>& yield) {
    if (yield)
        yield();
}

std::string TextItem(Pellucard& engine, CardInfo& info, CardInfoItem item) {
    return AskCardInfo(engine, item, info.Unread).value_or("-");
}

// Counts and counters arrive as decimal text; anything else was not read.
std::optional<int> NumberItem(Pellucard& engine, CardInfo& info, CardInfoItem item) {
    const std::optional<std::string> text = AskCardInfo(engine, item, info.Unread);
    if (!text)
        return std::nullopt;
    int value = 0;
    const char* end = text->data() + text->size();
    const auto parsed = std::from_chars(text->data(), end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || value < 0)
        return std::nullopt;
    return value;
}

// The record counts, each after a yield; with `onlyUnread` only those not known yet. The phone
// book's record length comes with its count; a length of 0 (the file could not be entered) is
// none.
void ReadRecordCounts(Pellucard& engine, CardInfo& info, bool onlyUnread,
                      const std::function<void()>& yield) {
    const struct {
        std::optional<int>& count;
        CardInfoItem item;
    } counts[] = {{info.MaxPhoneRecords, CardInfoItem::PhoneBookRecordCount},
                  {info.MaxSmsRecords, CardInfoItem::SmsRecordCount},
                  {info.MaxLastDialRecords, CardInfoItem::LastDialledRecordCount}};
    for (const auto& count : counts) {
        if (onlyUnread && count.count)
            continue;
        Pause(yield);
        count.count = NumberItem(engine, info, count.item);
        if (count.item == CardInfoItem::PhoneBookRecordCount) {
            Pause(yield);
            info.PhoneRecordLength = NumberItem(engine, info, CardInfoItem::PhoneBookRecordLength);
            if (info.PhoneRecordLength == 0)
                info.PhoneRecordLength.reset();
        }
    }
}

bool AnyCounterUnknown(const CardInfo& info) {
    return !info.Pin1Attempts || !info.Pin2Attempts || !info.Puk1Attempts || !info.Puk2Attempts;
}

}  // namespace

void ReadPinCounters(Pellucard& engine, CardInfo& info) {
    if (const std::optional<std::string> lock =
            AskCardInfo(engine, CardInfoItem::LockState, info.Unread))
        info.Pin1Open = *lock != "Lock";
    info.Pin2Attempts = NumberItem(engine, info, CardInfoItem::Pin2Attempts);
    info.Puk1Attempts = NumberItem(engine, info, CardInfoItem::Puk1Attempts);
    info.Puk2Attempts = NumberItem(engine, info, CardInfoItem::Puk2Attempts);
    info.Pin1Attempts = NumberItem(engine, info, CardInfoItem::Pin1Attempts);
}

void ReadOpenCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield) {
    if (!info.Pin1Attempts || *info.Pin1Attempts <= 0 || !info.Pin1Open)
        return;
    Pause(yield);
    info.ServiceProviderName = TextItem(engine, info, CardInfoItem::ServiceProviderName);
    Pause(yield);
    info.Imsi = TextItem(engine, info, CardInfoItem::Imsi);
    Pause(yield);
    // A number that could not be read is not taken for one: new messages get none from it.
    info.ServiceCentreNumber = TextItem(engine, info, CardInfoItem::ServiceCentreNumber);
    Pause(yield);
    info.OwnNumbers = TextItem(engine, info, CardInfoItem::OwnNumbers);
}

void FindCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield) {
    // What `info` holds of a card's own data belongs to the card read before, which may have
    // been open where this one stays closed.
    info.ServiceProviderName = info.Imsi = info.ServiceCentreNumber = info.OwnNumbers = "-";
    for (int pass = 0; pass < 2; ++pass) {
        if (!engine.ReaderPresent())
            return;
        info.Unread.clear();
        Pause(yield);
        info.SimPhase = TextItem(engine, info, CardInfoItem::Phase);
        ReadRecordCounts(engine, info, false, yield);
        ReadPinCounters(engine, info);
        ReadOpenCardInf(engine, info, yield);
        if (info.Puk2Attempts)
            return;
    }
}

bool ReadUnreadCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield) {
    if (!info.HasUnread())
        return false;
    const CardInfo before = info;
    if (info.SimPhase == "-") {
        Pause(yield);
        info.SimPhase = TextItem(engine, info, CardInfoItem::Phase);
    }
    ReadRecordCounts(engine, info, true, yield);
    if (AnyCounterUnknown(info)) {
        ReadPinCounters(engine, info);
        ReadOpenCardInf(engine, info, yield);
    }
    return info.SimPhase != before.SimPhase || info.MaxPhoneRecords != before.MaxPhoneRecords ||
           info.MaxSmsRecords != before.MaxSmsRecords ||
           info.MaxLastDialRecords != before.MaxLastDialRecords ||
           info.Pin1Attempts != before.Pin1Attempts || info.Pin2Attempts != before.Pin2Attempts ||
           info.Puk1Attempts != before.Puk1Attempts || info.Puk2Attempts != before.Puk2Attempts;
}

}  // namespace pellucard
