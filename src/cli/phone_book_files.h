#pragma once

#include <string>

#include "cli/cli.h"
#include "engine/card_record_file.h"

namespace pellucard::cli {

// The files of the card in the phone book's record layout that `phonebook --file` names: adn
// (the phone book, the default), fdn, sdn, msisdn and lnd. A write of the service or last
// dialled numbers (the operator's and the handset's, read-only here) and an add to any file
// but the phone book are usage errors, as is --pin2 anywhere but a write of the fixed dialling
// numbers.
CardRecordFile PhoneBookFileOption(const Arguments& args, const std::string& verb);

// Presents PIN2, which the card asks for before it updates the fixed dialling numbers: --pin2
// CODE, or when it is "-" or not given, from --pin-fd, PELLUCARD_PIN2 or the terminal (as PIN1
// is asked for). The VERIFY is sent once, never again; a wrong or blocked PIN2 ends the command
// with the attempts left (a virtual card keeps the attempt it cost).
void PresentPin2(ReaderSession& session, const Globals& globals, const Arguments& args);

}  // namespace pellucard::cli
