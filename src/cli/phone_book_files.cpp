#include "cli/phone_book_files.h"

#include "cli/secret_codes.h"
#include "engine/pellucard.h"

namespace pellucard::cli {

namespace {

struct FileName {
    const char* name;
    CardRecordFile file;
};
constexpr FileName kFileNames[] = {
    {"adn", CardRecordFile::PhoneBook},       {"fdn", CardRecordFile::FixedDialling},
    {"sdn", CardRecordFile::ServiceDialling}, {"msisdn", CardRecordFile::OwnNumbers},
    {"lnd", CardRecordFile::LastDialled},
};

}  // namespace

CardRecordFile PhoneBookFileOption(const Arguments& args, const std::string& verb) {
    const std::string name = args.Option("file").value_or("adn");
    CardRecordFile file = CardRecordFile::PhoneBook;
    bool known = false;
    for (const FileName& entry : kFileNames) {
        if (name == entry.name) {
            file = entry.file;
            known = true;
        }
    }
    if (!known)
        throw Failure{kUsage, "unknown --file '" + name + "': use adn, fdn, sdn, msisdn or lnd"};
    if (verb == "write" && file == CardRecordFile::ServiceDialling)
        throw Failure{kUsage, "the service dialling numbers (sdn) are the operator's: read only"};
    if (verb == "write" && file == CardRecordFile::LastDialled)
        throw Failure{kUsage, "the last dialled numbers (lnd) are the handset's: read only"};
    if (verb == "add" && file != CardRecordFile::PhoneBook)
        throw Failure{kUsage, "add writes only to the phone book (adn); use write --file " + name};
    if (args.Option("pin2") && !(verb == "write" && file == CardRecordFile::FixedDialling))
        throw Failure{kUsage,
                      "--pin2 is for writing the fixed dialling numbers (write --file fdn)"};
    return file;
}

void PresentPin2(ReaderSession& session, const Globals& globals, const Arguments& args) {
    Pellucard& engine = *session.engine;
    if (!engine.ReadChvCounters())
        throw Failure{kCardFailure, "cannot read the card's PIN state"};
    if (engine.CardStatus().chv2AttemptsLeft == 0) {
        throw Failure{kCardFailure,
                      "PIN2 is blocked: unblock it with 'pin unblock --chv 2' before writing the "
                      "fixed dialling numbers"};
    }
    const std::optional<std::string> given = args.Option("pin2");
    std::string pin2;
    if (given && *given != "-") {
        WarnOfCodeOnCommandLine();
        pin2 = *given;
    } else {
        pin2 = SecretCode(globals, "PELLUCARD_PIN2", "PIN2");
    }
    const CardOutcome verified = engine.VerifyPin(2, pin2);
    if (verified.IsDone())
        return;
    // The attempt is spent on the card whatever happens next.
    std::string ignored;
    session.SaveVirtualCard(ignored);
    const std::string left =
        engine.CountersKnown()
            ? std::to_string(engine.CardStatus().chv2AttemptsLeft) + " attempts left"
            : "the attempts left could not be read";
    if (verified.IsLinkFailed())
        throw Failure{kCardFailure, "the reader failed while PIN2 was being checked; " + left};
    throw Failure{kCardFailure, "wrong PIN2 (status " + verified.StatusText() + "); " + left +
                                    "; nothing was written"};
}

}  // namespace pellucard::cli
