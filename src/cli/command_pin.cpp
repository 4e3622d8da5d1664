// pin verify|change|enable|disable|unblock
#include <QJsonObject>

#include <iostream>
#include <optional>
#include <utility>

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

// One attempt counter, or nothing when the card did not give it: never taken for 0, which
// reads as a blocked code.
std::optional<int> Counter(Pellucard& engine, CardInfoItem item) {
    std::string text;
    if (engine.GetCardInf(text, item) != CardInfoResult::Answered || text.empty() ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::atoi(text.c_str());
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

// `outcome` heads the text form: "" when done, "FAILED: " or "NOT CONFIRMED: ".
void ReportCounters(const Globals& globals, Pellucard& engine, bool ok, const std::string& outcome,
                    const std::string& verb) {
    const std::pair<const char*, CardInfoItem> items[] = {
        {"Pin1Attempts", CardInfoItem::Pin1Attempts},
        {"Pin2Attempts", CardInfoItem::Pin2Attempts},
        {"Puk1Attempts", CardInfoItem::Puk1Attempts},
        {"Puk2Attempts", CardInfoItem::Puk2Attempts}};
    std::optional<int> counts[4];
    for (int i = 0; i < 4; ++i)
        counts[i] = Counter(engine, items[i].second);
    if (globals.json) {
        QJsonObject o;
        o["ok"] = ok;
        for (int i = 0; i < 4; ++i)
            o[items[i].first] = counts[i] ? QJsonValue(*counts[i]) : QJsonValue();
        PrintJson(o);
    } else {
        const auto text = [](const std::optional<int>& count) {
            return count ? std::to_string(*count) : std::string("unknown");
        };
        PrintLine(outcome + verb);
        PrintLine("attempts left: PIN1 " + text(counts[0]) + ", PIN2 " + text(counts[1]) +
                  ", PUK1 " + text(counts[2]) + ", PUK2 " + text(counts[3]));
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
    bool ok = false;
    if (verb == "verify") {
        ok = engine.PINCodeVerify(first, chv);
    } else if (verb == "change") {
        ok = engine.PINCodeChange(second, first, chv);
    } else if (verb == "enable") {
        ok = engine.PINCodeEnable(first);
    } else if (verb == "disable") {
        ok = engine.PINCodeDisable(first);
    } else {
        ok = engine.PINCodeUnBlock(second, first, chv);
    }
    if (!engine.ReaderPresent())
        throw Failure{kCardFailure, "the reader went away"};
    SaveCard(*session);
    // The command was sent once and never repeated; say so rather than call the code wrong. A
    // command that changes the card may have been executed before its answer was lost.
    const bool lost = !ok && engine.LastOutcome().IsLinkFailed();
    if (lost) {
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
    ReportCounters(globals, engine, ok, ok ? "" : lost ? "NOT CONFIRMED: " : "FAILED: ", done);
    return ok ? kSuccess : kCardFailure;
}

}  // namespace pellucard::cli
