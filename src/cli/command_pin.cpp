// pin verify|change|enable|disable|unblock
#include <QJsonObject>

#include <cstdlib>
#include <iostream>
#include <optional>

#include "cli/cli.h"
#include "cli/secret_codes.h"
#include "engine/pellucard.h"

namespace pellucard::cli {

namespace {

void CheckCode(const std::string& code, const char* what) {
    const bool digits = !code.empty() && code.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || code.size() < 4 || code.size() > 8) {
        throw Failure{kUsage, std::string(what) + " must be 4 to 8 digits"};
    }
}

// A counter as the card gave it; nothing when it could not be read.
std::optional<int> Counter(Pellucard& engine, CardInfoItem item) {
    if (!engine.CountersKnown())
        return std::nullopt;
    const CardInfoAnswer answer = engine.ReadCardInfo(item);
    if (!answer.value)
        return std::nullopt;
    return std::atoi(answer.value->c_str());
}

// What a CHANGE, ENABLE, DISABLE or UNBLOCK whose answer was lost may already have done.
std::string MayHaveTakenEffect(const std::string& verb, int chv) {
    const std::string pin = "PIN" + std::to_string(chv);
    if (verb == "change")
        return pin + " may already have been changed to the new code";
    if (verb == "unblock")
        return pin + " may already have been unblocked and set to the new code";
    return std::string("the PIN1 check may already be switched ") +
           (verb == "enable" ? "on" : "off");
}

QJsonValue Json(const std::optional<int>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

std::string Text(const std::optional<int>& value) {
    return value ? std::to_string(*value) : "unknown";
}

const char* OutcomeName(const CardOutcome& outcome) {
    return outcome.IsDone() ? "done" : outcome.IsRefused() ? "refused" : "link_failed";
}

void ReportCounters(const Globals& globals, Pellucard& engine, const CardOutcome outcome,
                    const std::string& verb, int chv, const std::string& done) {
    const auto pin1 = Counter(engine, CardInfoItem::Pin1Attempts);
    const auto pin2 = Counter(engine, CardInfoItem::Pin2Attempts);
    const auto puk1 = Counter(engine, CardInfoItem::Puk1Attempts);
    const auto puk2 = Counter(engine, CardInfoItem::Puk2Attempts);
    if (globals.json) {
        QJsonObject o;
        o["action"] = QString::fromStdString(verb);
        o["chv"] = chv;
        o["done"] = outcome.IsDone();
        o["outcome"] = OutcomeName(outcome);
        o["status_word"] = outcome.IsLinkFailed()
                               ? QJsonValue(QJsonValue::Null)
                               : QJsonValue(QString::fromStdString(outcome.StatusText()));
        o["attempts_left"] = QJsonObject{
            {"pin1", Json(pin1)}, {"pin2", Json(pin2)}, {"puk1", Json(puk1)}, {"puk2", Json(puk2)}};
        PrintJson(o);
    } else {
        // A command whose answer was lost is not called failed: the card may have executed it.
        const char* head = outcome.IsDone()         ? ""
                           : outcome.IsLinkFailed() ? "NOT CONFIRMED: "
                                                    : "FAILED: ";
        PrintLine(head + done);
        PrintLine("attempts left: PIN1 " + Text(pin1) + ", PIN2 " + Text(pin2) + ", PUK1 " +
                  Text(puk1) + ", PUK2 " + Text(puk2));
    }
}

}  // namespace

int RunPin(const Globals& globals, const Arguments& args) {
    args.Expect({"chv"});
    const std::string verb = args.Positional(1, "verify, change, enable, disable or unblock");
    const int chv = args.IntOption("chv", 1, 1, 2);
    // Every code is checked before the card is touched: a typo must not cost an attempt.
    std::string first, second, done;
    if (verb == "verify") {
        first = CodeArgument(globals, args, 2, "PELLUCARD_PIN", "the PIN");
        CheckCode(first, "the PIN");
        done = "PIN" + std::to_string(chv) + " verified";
    } else if (verb == "change") {
        first = CodeArgument(globals, args, 2, "PELLUCARD_PIN", "the old PIN");
        second = CodeArgument(globals, args, 3, "PELLUCARD_NEW_PIN", "the new PIN");
        CheckCode(first, "the old PIN");
        CheckCode(second, "the new PIN");
        done = "PIN" + std::to_string(chv) + " changed";
    } else if (verb == "enable" || verb == "disable") {
        if (chv != 1)
            throw Failure{kUsage, "only PIN1 can be switched on or off"};
        first = CodeArgument(globals, args, 2, "PELLUCARD_PIN", "PIN1");
        CheckCode(first, "PIN1");
        done = verb == "enable" ? "PIN1 check switched on" : "PIN1 check switched off";
    } else if (verb == "unblock") {
        first = CodeArgument(globals, args, 2, "PELLUCARD_PUK", "the unblocking code");
        second = CodeArgument(globals, args, 3, "PELLUCARD_NEW_PIN", "the new PIN");
        if (first.size() != 8 || first.find_first_not_of("0123456789") != std::string::npos) {
            throw Failure{kUsage, "the unblocking code must be 8 digits"};
        }
        CheckCode(second, "the new PIN");
        done = "PIN" + std::to_string(chv) + " unblocked";
    } else {
        throw Failure{kUsage, "unknown pin action '" + verb + "'"};
    }

    auto session = OpenCard(globals);
    Pellucard& engine = *session->engine;
    // `first` is the code the card checks (the PIN, or the unblocking code), `second` the new PIN.
    CardOutcome outcome;
    if (verb == "verify") {
        outcome = engine.VerifyPin(chv, first);
    } else if (verb == "change") {
        outcome = engine.ChangePin(chv, first, second);
    } else if (verb == "enable") {
        outcome = engine.EnablePin1(first);
    } else if (verb == "disable") {
        outcome = engine.DisablePin1(first);
    } else {
        outcome = engine.UnblockPin(chv, first, second);
    }
    if (!engine.ReaderPresent())
        throw Failure{kCardFailure, "the reader went away"};
    SaveCard(*session);
    // The command was sent once and never repeated; say so rather than call the code wrong. A
    // command that changes the card may have been executed before its answer was lost.
    if (outcome.IsLinkFailed()) {
        const std::string what =
            verb == "verify"
                ? std::string("the reader failed during the PIN operation")
                : "the reader failed before the card answered: " + MayHaveTakenEffect(verb, chv) +
                      "; check the card before trying again";
        if (!engine.CountersKnown())
            throw Failure{kCardFailure, what + "; the attempts left could not be read"};
        if (globals.json)
            std::cerr << "pellucard-cli: " << what << '\n';
        else
            PrintLine(what + "; the counters below were read again");
    }
    ReportCounters(globals, engine, outcome, verb, chv, done);
    return outcome.IsDone() ? kSuccess : kCardFailure;
}

}  // namespace pellucard::cli
