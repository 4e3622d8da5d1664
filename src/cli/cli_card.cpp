#include "cli/cli.h"
#include "cli/secret_codes.h"
#include "engine/pellucard.h"

namespace pellucard::cli {

std::unique_ptr<ReaderSession> OpenCard(const Globals& globals) {
    std::string error;
    auto session = OpenReaderSession(globals.reader, false, error);
    if (!session)
        throw Failure{kCardFailure, error};
    Pellucard& engine = *session->engine;
    if (!engine.OpenReader()) {
        const std::string why = session->WhyNoReader();
        switch (globals.reader.kind) {
            case ReaderChoice::Kind::Socket:
                throw Failure{kCardFailure,
                              "no reader emulator answers on " + globals.reader.argument};
            case ReaderChoice::Kind::Pcsc:
                throw Failure{kCardFailure, why.empty() ? "no smart-card reader found" : why};
            case ReaderChoice::Kind::Auto:
                throw Failure{kCardFailure,
                              "no SIM card reader found: no USB SIM reader (1101:0001) that you "
                              "may open, and " +
                                  (why.empty() ? std::string("no smart-card reader") : why)};
            default:
                throw Failure{kCardFailure,
                              "no SIM card reader found (USB 1101:0001; is it plugged in and "
                              "readable by you?)"};
        }
    }
    if (!engine.ResetCard().IsDone()) {
        const std::string why = session->WhyNoReader();
        if (!engine.ReaderPresent())
            throw Failure{kCardFailure, why.empty() ? "the reader went away" : why};
        throw Failure{kCardFailure, why.empty() ? "no SIM card in the reader" : why};
    }
    return session;
}

void SaveCard(const ReaderSession& session) {
    std::string error;
    if (!session.SaveVirtualCard(error))
        throw Failure{kCardFailure, error};
}

void UnlockCard(ReaderSession& session, const Globals& globals) {
    Pellucard& engine = *session.engine;
    if (engine.CardReadable())
        return;
    if (!engine.ReadChvCounters())
        throw Failure{kCardFailure, "cannot read the card's PIN state"};
    if (engine.CardStatus().chv1AttemptsLeft == 0) {
        throw Failure{kCardFailure, "PIN1 is blocked: unblock it with 'pin unblock'"};
    }
    std::string pin;
    if (globals.pin && *globals.pin != "-") {
        pin = *globals.pin;
    } else if (globals.pin || Pin1FromElsewhere(globals)) {
        pin = SecretCode(globals, "PELLUCARD_PIN", "PIN1");
    } else {
        throw Failure{kCardFailure,
                      "the card is locked by PIN1: give it with --pin-fd N, PELLUCARD_PIN or "
                      "--pin - (asked for on the terminal)"};
    }
    const CardOutcome verified = engine.VerifyPin(1, pin);
    if (!verified.IsDone()) {
        const std::string left =
            engine.CountersKnown()
                ? std::to_string(engine.CardStatus().chv1AttemptsLeft) + " attempts left"
                : "the attempts left could not be read";
        if (verified.IsLinkFailed())
            throw Failure{kCardFailure, "the reader failed while PIN1 was being checked; " + left};
        throw Failure{kCardFailure, "wrong PIN1; " + left};
    }
}

}  // namespace pellucard::cli
