#include <QJsonObject>

#include <algorithm>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "engine/card_info.h"
#include "engine/pellucard.h"

namespace pellucard::cli {

int RunInfo(const Globals& globals, const Arguments& args) {
    args.Expect({});
    auto session = OpenCard(globals);
    Pellucard& engine = *session->engine;
    if (globals.pin)
        UnlockCard(*session, globals);

    CardInfo info;
    std::string id;
    std::vector<CardInfoItem> idUnread;
    if (AskCardInfo(engine, CardInfoItem::Iccid, id, idUnread) == CardInfoResult::Answered)
        info.CardId = id;
    FindCardInf(engine, info);
    if (!engine.ReaderPresent())
        throw Failure{kCardFailure, "the reader went away"};
    info.Unread.insert(info.Unread.begin(), idUnread.begin(), idUnread.end());
    // An item the reader failed to give is never printed as if the card had said it.
    const auto unread = [&info](CardInfoItem item) {
        return std::find(info.Unread.begin(), info.Unread.end(), item) != info.Unread.end();
    };
    std::string failed;
    for (const CardInfoItem item : info.Unread)
        failed += (failed.empty() ? "" : ", ") + std::string(CardInfoItemName(item));

    if (globals.json) {
        QJsonObject o;
        o["CardId"] = QString::fromStdString(info.CardId);
        o["SimPhase"] = QString::fromStdString(info.SimPhase);
        o["Imsi"] = QString::fromStdString(info.Imsi);
        o["ServiceProviderName"] = QString::fromStdString(info.ServiceProviderName);
        o["ServiceCentreNumber"] = QString::fromStdString(info.ServiceCentreNumber);
        o["MaxPhoneRecords"] = info.MaxPhoneRecords;
        o["MaxSmsRecords"] = info.MaxSmsRecords;
        o["MaxLastDialRecords"] = info.MaxLastDialRecords;
        o["PhoneRecordLength"] = info.PhoneRecordLength;
        o["Pin1Open"] = info.Pin1Open;
        o["Pin1Attempts"] = info.Pin1Attempts;
        o["Pin2Attempts"] = info.Pin2Attempts;
        o["Puk1Attempts"] = info.Puk1Attempts;
        o["Puk2Attempts"] = info.Puk2Attempts;
        const std::pair<const char*, CardInfoItem> keys[] = {
            {"CardId", CardInfoItem::Iccid},
            {"SimPhase", CardInfoItem::Phase},
            {"Imsi", CardInfoItem::Imsi},
            {"ServiceProviderName", CardInfoItem::ServiceProviderName},
            {"ServiceCentreNumber", CardInfoItem::ServiceCentreNumber},
            {"MaxPhoneRecords", CardInfoItem::PhoneBookRecordCount},
            {"MaxSmsRecords", CardInfoItem::SmsRecordCount},
            {"MaxLastDialRecords", CardInfoItem::LastDialledRecordCount},
            {"PhoneRecordLength", CardInfoItem::PhoneBookRecordLength},
            {"Pin1Open", CardInfoItem::LockState},
            {"Pin1Attempts", CardInfoItem::Pin1Attempts},
            {"Pin2Attempts", CardInfoItem::Pin2Attempts},
            {"Puk1Attempts", CardInfoItem::Puk1Attempts},
            {"Puk2Attempts", CardInfoItem::Puk2Attempts},
        };
        for (const auto& [key, item] : keys) {
            if (unread(item))
                o[key] = QJsonValue::Null;
        }
        PrintJson(o);
        if (!failed.empty())
            throw Failure{kCardFailure, "the reader failed to give: " + failed};
        return kSuccess;
    }
    const auto line = [&unread](const char* label, CardInfoItem item, const std::string& value) {
        PrintLine(std::string(label) + (unread(item) ? "(could not be read)" : value));
    };
    line("Card ID (ICCID):        ", CardInfoItem::Iccid, info.CardId);
    line("SIM phase:              ", CardInfoItem::Phase, info.SimPhase);
    line("IMSI:                   ", CardInfoItem::Imsi, info.Imsi);
    line("Service provider:       ", CardInfoItem::ServiceProviderName, info.ServiceProviderName);
    line("Service centre number:  ", CardInfoItem::ServiceCentreNumber, info.ServiceCentreNumber);
    line("Phone book records:     ", CardInfoItem::PhoneBookRecordCount,
         std::to_string(info.MaxPhoneRecords));
    line("Phone book record size: ", CardInfoItem::PhoneBookRecordLength,
         std::to_string(info.PhoneRecordLength));
    line("SMS records:            ", CardInfoItem::SmsRecordCount,
         std::to_string(info.MaxSmsRecords));
    line("Last dialled records:   ", CardInfoItem::LastDialledRecordCount,
         std::to_string(info.MaxLastDialRecords));
    line("PIN1 check:             ", CardInfoItem::LockState,
         info.Pin1Open ? "off (open)" : "on (locked)");
    line("PIN1 attempts left:     ", CardInfoItem::Pin1Attempts, std::to_string(info.Pin1Attempts));
    line("PIN2 attempts left:     ", CardInfoItem::Pin2Attempts, std::to_string(info.Pin2Attempts));
    line("PUK1 attempts left:     ", CardInfoItem::Puk1Attempts, std::to_string(info.Puk1Attempts));
    line("PUK2 attempts left:     ", CardInfoItem::Puk2Attempts, std::to_string(info.Puk2Attempts));
    if (!failed.empty())
        throw Failure{kCardFailure, "the reader failed to give: " + failed};
    return kSuccess;
}

}  // namespace pellucard::cli
