#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <iostream>
#include <optional>
#include <vector>

#include "cli/card_numbers.h"
#include "cli/cli.h"
#include "engine/card_info.h"
#include "engine/pellucard.h"

namespace pellucard::cli {
namespace {

// Where the card stands with PIN1. The engine marks a verified PIN1 by setting the card
// status's CHV1-disabled flag, which makes a verified card look as if its check were off;
// the check is therefore read from the card before anything is verified.
enum class Pin1State { Unknown, Off, OnVerified, OnNotVerified };

const char* Pin1Text(Pin1State state) {
    switch (state) {
        case Pin1State::Off:
            return "off";
        case Pin1State::OnVerified:
            return "on, verified";
        case Pin1State::OnNotVerified:
            return "on, not verified";
        case Pin1State::Unknown:
            break;
    }
    return "unknown";
}

// CardInfo holds "-" where the card did not give a text: unknown, which the tool shows as null.
std::optional<std::string> Known(const std::string& text) {
    if (text.empty() || text == "-")
        return std::nullopt;
    return text;
}

QJsonValue Json(const std::optional<std::string>& text) {
    return text ? QJsonValue(QString::fromStdString(*text)) : QJsonValue(QJsonValue::Null);
}

QJsonValue Json(const std::optional<int>& number) {
    return number ? QJsonValue(*number) : QJsonValue(QJsonValue::Null);
}

std::string Text(const std::optional<std::string>& text) {
    return text.value_or("unknown");
}

std::string Text(const std::optional<int>& number) {
    return number ? std::to_string(*number) : "unknown";
}

QJsonObject RecordCount(const std::optional<int>& count) {
    return QJsonObject{{"record_count", Json(count)}};
}

}  // namespace

int RunInfo(const Globals& globals, const Arguments& args) {
    args.Expect({});
    auto session = OpenCard(globals);
    Pellucard& engine = *session->engine;
    const bool chvKnown = engine.ReadChvCounters();
    const bool checkOn = (engine.CardStatus().chv1Disabled & 0x80) == 0;
    Pin1State pin1 = !chvKnown ? Pin1State::Unknown
                     : checkOn ? Pin1State::OnNotVerified
                               : Pin1State::Off;
    if (globals.pin) {
        UnlockCard(*session, globals);  // fails on a wrong PIN1
        if (pin1 == Pin1State::OnNotVerified)
            pin1 = Pin1State::OnVerified;
    }

    CardInfo info;
    std::vector<CardInfoItem> idUnread;
    info.CardId = AskCardInfo(engine, CardInfoItem::Iccid, idUnread);
    FindCardInf(engine, info);
    if (!engine.ReaderPresent())
        throw Failure{kCardFailure, "the reader went away"};
    info.Unread.insert(info.Unread.begin(), idUnread.begin(), idUnread.end());
    const CardNumbers numbers = ReadCardNumbers(engine);
    if (!engine.ReaderPresent())
        throw Failure{kCardFailure, "the reader went away"};
    // What the reader failed to give is unknown, never a value the card did not say; the tool
    // names it and exits 1.
    std::string failed;
    QJsonArray unreadNames;
    for (const CardInfoItem item : info.Unread) {
        // Named below with the message centre, which the tool reads on its own.
        if (item == CardInfoItem::OwnNumbers)
            continue;
        failed += (failed.empty() ? "" : ", ") + std::string(CardInfoItemName(item));
        unreadNames.append(QString::fromLatin1(CardInfoItemName(item)));
    }
    for (const std::string& name : numbers.unread) {
        failed += (failed.empty() ? "" : ", ") + name;
        unreadNames.append(QString::fromStdString(name));
    }
    const auto unread = [&info](CardInfoItem item) {
        return std::find(info.Unread.begin(), info.Unread.end(), item) != info.Unread.end();
    };
    const auto finish = [&failed] {
        if (failed.empty())
            return kSuccess;
        std::cerr << "pellucard-cli: the reader failed to give: " << failed << '\n';
        return kCardFailure;
    };
    // The counters come from the same card status as the PIN1 check.
    const bool countersKnown = engine.ReadChvCounters();
    const auto counter = [countersKnown](const std::optional<int>& value) {
        return countersKnown ? value : std::nullopt;
    };

    const auto unless = [&unread](CardInfoItem item, auto value) {
        return unread(item) ? decltype(value){} : value;
    };
    const auto iccid = unless(CardInfoItem::Iccid, info.CardId);
    const auto phase = unless(CardInfoItem::Phase, Known(info.SimPhase));
    const auto imsi = unless(CardInfoItem::Imsi, Known(info.Imsi));
    const auto provider =
        unless(CardInfoItem::ServiceProviderName, Known(info.ServiceProviderName));
    const auto centre = unless(CardInfoItem::ServiceCentreNumber, Known(info.ServiceCentreNumber));
    const auto phoneRecords = unless(CardInfoItem::PhoneBookRecordCount, info.MaxPhoneRecords);
    const auto phoneLength = unless(CardInfoItem::PhoneBookRecordLength, info.PhoneRecordLength);
    const auto smsRecords = unless(CardInfoItem::SmsRecordCount, info.MaxSmsRecords);
    const auto lastDialled = unless(CardInfoItem::LastDialledRecordCount, info.MaxLastDialRecords);
    const auto pin1Left = unless(CardInfoItem::Pin1Attempts, counter(info.Pin1Attempts));
    const auto pin2Left = unless(CardInfoItem::Pin2Attempts, counter(info.Pin2Attempts));
    const auto puk1Left = unless(CardInfoItem::Puk1Attempts, counter(info.Puk1Attempts));
    const auto puk2Left = unless(CardInfoItem::Puk2Attempts, counter(info.Puk2Attempts));

    if (globals.json) {
        QJsonObject o;
        o["iccid"] = Json(iccid);
        o["phase"] = Json(phase);
        o["imsi"] = Json(imsi);
        o["service_provider_name"] = Json(provider);
        o["service_centre_number"] = Json(centre);
        o["phonebook"] =
            QJsonObject{{"record_count", Json(phoneRecords)}, {"record_length", Json(phoneLength)}};
        o["sms"] = RecordCount(smsRecords);
        o["last_dialled"] = RecordCount(lastDialled);
        o["pin1_check"] = pin1 == Pin1State::Unknown ? QJsonValue(QJsonValue::Null)
                          : pin1 == Pin1State::Off   ? QJsonValue("off")
                                                     : QJsonValue("on");
        o["pin1_verified"] = pin1 == Pin1State::OnVerified      ? QJsonValue(true)
                             : pin1 == Pin1State::OnNotVerified ? QJsonValue(false)
                                                                : QJsonValue(QJsonValue::Null);
        o["attempts_left"] = QJsonObject{{"pin1", Json(pin1Left)},
                                         {"pin2", Json(pin2Left)},
                                         {"puk1", Json(puk1Left)},
                                         {"puk2", Json(puk2Left)}};
        if (numbers.ownNumbers) {
            QJsonArray own;
            for (const OwnNumber& n : *numbers.ownNumbers) {
                own.append(QJsonObject{{"record", n.record},
                                       {"name", QString::fromStdString(n.name)},
                                       {"number", QString::fromStdString(n.number)}});
            }
            o["own_numbers"] = own;
        } else {
            o["own_numbers"] = QJsonValue(QJsonValue::Null);
        }
        o["message_centre"] = Json(numbers.messageCentre);
        o["unread"] = unreadNames;
        PrintJson(o);
        return finish();
    }
    auto line = [](const char* label, const std::string& value) {
        PrintLine(std::string(label) + value);
    };
    line("Card ID (ICCID):        ", Text(iccid));
    line("SIM phase:              ", Text(phase));
    line("IMSI:                   ", Text(imsi));
    line("Service provider:       ", Text(provider));
    line("Service centre number:  ", Text(centre));
    if (!numbers.ownNumbers || numbers.ownNumbers->empty()) {
        line("Own number:             ", numbers.ownNumbers ? "none" : "unknown");
    }
    for (const OwnNumber& n : numbers.ownNumbers.value_or(std::vector<OwnNumber>{})) {
        line("Own number:             ", n.number + (n.name.empty() ? "" : " (" + n.name + ")"));
    }
    line("Message centre (set 1): ",
         numbers.messageCentre.value_or(numbers.messageCentreKnown ? "none" : "unknown"));
    line("Phone book records:     ", Text(phoneRecords));
    line("Phone book record size: ", Text(phoneLength));
    line("SMS records:            ", Text(smsRecords));
    line("Last dialled records:   ", Text(lastDialled));
    line("PIN1 check:             ", Pin1Text(pin1));
    line("PIN1 attempts left:     ", Text(pin1Left));
    line("PIN2 attempts left:     ", Text(pin2Left));
    line("PUK1 attempts left:     ", Text(puk1Left));
    line("PUK2 attempts left:     ", Text(puk2Left));
    return finish();
}

}  // namespace pellucard::cli
