#include <QJsonObject>

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
    if (engine.GetCardInf(id, CardInfoItem::Iccid) == CardInfoResult::Answered)
        info.CardId = id;
    FindCardInf(engine, info);
    if (!engine.ReaderPresent())
        throw Failure{kCardFailure, "the reader went away"};

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
        PrintJson(o);
        return kSuccess;
    }
    auto line = [](const char* label, const std::string& value) {
        PrintLine(std::string(label) + value);
    };
    line("Card ID (ICCID):        ", info.CardId);
    line("SIM phase:              ", info.SimPhase);
    line("IMSI:                   ", info.Imsi);
    line("Service provider:       ", info.ServiceProviderName);
    line("Service centre number:  ", info.ServiceCentreNumber);
    line("Phone book records:     ", std::to_string(info.MaxPhoneRecords));
    line("Phone book record size: ", std::to_string(info.PhoneRecordLength));
    line("SMS records:            ", std::to_string(info.MaxSmsRecords));
    line("Last dialled records:   ", std::to_string(info.MaxLastDialRecords));
    line("PIN1 check:             ", info.Pin1Open ? "off (open)" : "on (locked)");
    line("PIN1 attempts left:     ", std::to_string(info.Pin1Attempts));
    line("PIN2 attempts left:     ", std::to_string(info.Pin2Attempts));
    line("PUK1 attempts left:     ", std::to_string(info.Puk1Attempts));
    line("PUK2 attempts left:     ", std::to_string(info.Puk2Attempts));
    return kSuccess;
}

}  // namespace pellucard::cli
