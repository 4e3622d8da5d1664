#include "engine/card_info.h"

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

// A numeric item: its value when the engine answered, otherwise `fallback`.
int Numeric(Pellucard& engine, CardInfoItem item, int fallback) {
    std::string text;
    return engine.GetCardInf(text, item) == CardInfoResult::Answered ? NumberOf(text) : fallback;
}

}  // namespace

CardInfo ResetCardInfo() {
    return CardInfo{};
}

void FindCardInf(Pellucard& engine, CardInfo& info, const std::function<void()>& yield) {
    auto pause = [&] {
        if (yield)
            yield();
    };
    // A second pass catches a card whose counters were not readable on the first (they read as
    // zero while the card is still settling after its reset).
    for (int pass = 0; pass < 2; ++pass) {
        if (!engine.ReaderPresent())
            return;
        info.MaxPhoneRecords = info.MaxSmsRecords = info.MaxLastDialRecords = 0;
        std::string text;

        pause();
        info.SimPhase =
            engine.GetCardInf(text, CardInfoItem::Phase) == CardInfoResult::Answered ? text : "-";
        pause();
        info.MaxPhoneRecords = Numeric(engine, CardInfoItem::PhoneBookRecordCount, 0);
        pause();
        info.PhoneRecordLength = Numeric(engine, CardInfoItem::PhoneBookRecordLength, 0);
        pause();
        info.MaxSmsRecords = Numeric(engine, CardInfoItem::SmsRecordCount, 0);
        pause();
        info.MaxLastDialRecords = Numeric(engine, CardInfoItem::LastDialledRecordCount, 0);

        info.Pin1Open =
            engine.GetCardInf(text, CardInfoItem::LockState) == CardInfoResult::Answered &&
            text != "Lock";
        info.Pin2Attempts = Numeric(engine, CardInfoItem::Pin2Attempts, 0);
        info.Puk1Attempts = Numeric(engine, CardInfoItem::Puk1Attempts, 0);
        info.Puk2Attempts = Numeric(engine, CardInfoItem::Puk2Attempts, 0);
        info.Pin1Attempts = Numeric(engine, CardInfoItem::Pin1Attempts, 0);

        if (info.Pin1Attempts > 0 && info.Pin1Open) {
            pause();
            info.ServiceProviderName = engine.GetCardInf(text, CardInfoItem::ServiceProviderName) ==
                                               CardInfoResult::Answered
                                           ? text
                                           : "-";
            pause();
            info.Imsi = engine.GetCardInf(text, CardInfoItem::Imsi) == CardInfoResult::Answered
                            ? text
                            : "-";
            pause();
            info.ServiceCentreNumber = engine.GetCardInf(text, CardInfoItem::ServiceCentreNumber) ==
                                               CardInfoResult::Answered
                                           ? text
                                           : "0";
        }
        if (info.Puk2Attempts != 0)
            return;
    }
}

}  // namespace pellucard
