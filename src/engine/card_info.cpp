#include "engine/card_info.h"

#include <algorithm>
#include <charconv>

#include "engine/pellucard.h"

namespace pellucard {

namespace {

int NumberOf(const std::string& text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    if (std::from_chars(text.data(), end, value).ec != std::errc())
        return 0;
    return value;
}

}  // namespace

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
    }
    return "card information";
}

std::optional<std::string> AskCardInfo(Pellucard& engine, CardInfoItem item,
                                       std::vector<CardInfoItem>& unread) {
    CardInfoAnswer answer = engine.ReadCardInfo(item);
    if (!answer.value && answer.outcome.IsLinkFailed()) {
        if (std::find(unread.begin(), unread.end(), item) == unread.end())
            unread.push_back(item);
    }
    return std::move(answer.value);
}

CardInfo ResetCardInfo() {
    return CardInfo{};
}

void FindCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield) {
    auto pause = [&] {
        if (yield)
            yield();
    };
    // A numeric item: its value when the engine answered, otherwise `fallback`.
    auto numeric = [&](CardInfoItem item, int fallback) {
        const auto text = AskCardInfo(engine, item, info.Unread);
        return text ? NumberOf(*text) : fallback;
    };
    auto textual = [&](CardInfoItem item, const char* fallback) {
        return AskCardInfo(engine, item, info.Unread).value_or(fallback);
    };
    // A second pass catches a card whose counters were not readable on the first (they read as
    // zero while the card is still settling after its reset).
    for (int pass = 0; pass < 2; ++pass) {
        if (!engine.ReaderPresent())
            return;
        info.Unread.clear();
        info.MaxPhoneRecords = info.MaxSmsRecords = info.MaxLastDialRecords = 0;

        pause();
        info.SimPhase = textual(CardInfoItem::Phase, "-");
        pause();
        info.MaxPhoneRecords = numeric(CardInfoItem::PhoneBookRecordCount, 0);
        pause();
        info.PhoneRecordLength = numeric(CardInfoItem::PhoneBookRecordLength, 0);
        pause();
        info.MaxSmsRecords = numeric(CardInfoItem::SmsRecordCount, 0);
        pause();
        info.MaxLastDialRecords = numeric(CardInfoItem::LastDialledRecordCount, 0);

        info.Pin1Open =
            AskCardInfo(engine, CardInfoItem::LockState, info.Unread).value_or("Lock") != "Lock";
        info.Pin2Attempts = numeric(CardInfoItem::Pin2Attempts, 0);
        info.Puk1Attempts = numeric(CardInfoItem::Puk1Attempts, 0);
        info.Puk2Attempts = numeric(CardInfoItem::Puk2Attempts, 0);
        info.Pin1Attempts = numeric(CardInfoItem::Pin1Attempts, 0);

        if (info.Pin1Attempts > 0 && info.Pin1Open) {
            pause();
            info.ServiceProviderName = textual(CardInfoItem::ServiceProviderName, "-");
            pause();
            info.Imsi = textual(CardInfoItem::Imsi, "-");
            pause();
            info.ServiceCentreNumber = textual(CardInfoItem::ServiceCentreNumber, "0");
        }
        if (info.Puk2Attempts != 0)
            return;
    }
}

}  // namespace pellucard
