// smsc set NUMBER: the message centre in the card's first SMS parameter record.
#include <QJsonObject>

#include "catalogue/status_words.h"
#include "cli/cli.h"
#include "engine/message_centre.h"
#include "engine/pellucard.h"

namespace pellucard::cli {

namespace {

QJsonValue Json(const std::optional<std::string>& text) {
    return text ? QJsonValue(QString::fromStdString(*text)) : QJsonValue(QJsonValue::Null);
}

std::string Refusal(const char* what, const CardOutcome& outcome, bool pinGiven) {
    if (outcome.IsLinkFailed())
        return std::string("the reader failed while ") + what;
    std::string message = std::string("the card refused ") + what + " (status " +
                          StatusWordText(outcome.statusWord, 0).toStdString() + ")";
    if (ClassOfStatusWord(outcome.statusWord) == StatusClass::SecurityNotSatisfied && !pinGiven)
        message += "; is PIN1 needed (--pin)?";
    return message;
}

}  // namespace

int RunSmsc(const Globals& globals, const Arguments& args) {
    args.Expect({});
    const std::string verb = args.Positional(1, "set");
    if (verb != "set")
        throw Failure{kUsage, "unknown action '" + verb + "': use set"};
    const std::string number = args.Positional(2, "the message centre's number");
    if (args.Positional().size() > 3)
        throw Failure{kUsage, "unexpected '" + args.Positional()[3] + "'"};
    // The number is checked before the card is touched.
    Bytes probe(kSmsParametersFixedLength, 0xFF);
    switch (SetServiceCentre(probe, number)) {
        case ServiceCentreEdit::NoDigits:
            throw Failure{kUsage, "'" + number +
                                      "' is not a message centre number: digits, with a "
                                      "leading + when international"};
        case ServiceCentreEdit::TooLong:
            throw Failure{kUsage, "'" + number + "' has more than 20 digits"};
        case ServiceCentreEdit::RecordTooShort:
        case ServiceCentreEdit::Done:
            break;
    }

    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    const MessageCentreWrite written = WriteMessageCentre(*session->engine, number);
    const bool pinGiven = globals.pin.has_value();
    if (written.edit == ServiceCentreEdit::Done && !written.outcome.IsDone()) {
        // An update that went out may have landed; keep what the card holds now.
        std::string ignored;
        session->SaveVirtualCard(ignored);
        throw Failure{kCardFailure,
                      Refusal("the update of the SMS parameters", written.outcome, pinGiven)};
    }
    if (!written.outcome.IsDone())
        throw Failure{kCardFailure,
                      Refusal("the read of the SMS parameters", written.outcome, pinGiven)};
    if (written.edit != ServiceCentreEdit::Done)
        throw Failure{kCardFailure, "the card has no SMS parameter record to hold it"};
    SaveCard(*session);
    if (globals.json) {
        PrintJson(QJsonObject{{"message_centre", Json(written.number)},
                              {"previous", Json(written.previous)}});
    } else {
        PrintLine("message centre set to " + written.number.value_or(number) + " (was " +
                  written.previous.value_or("none") + ")");
    }
    return kSuccess;
}

}  // namespace pellucard::cli
