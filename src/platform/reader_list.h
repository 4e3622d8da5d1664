#pragma once

#include <string>
#include <vector>

#include "platform/reader_session.h"

namespace pellucard {

class ReportBus;

// One reader the program could use, as a reader chooser offers it.
struct AvailableReader {
    ReaderChoice choice;
    // The PC/SC reader's own name; empty for the others, which the chooser names itself.
    std::string name;
    // The reader is there now (always for automatic and the virtual reader).
    bool present = true;
    // A card sits in it (PC/SC readers only: the USB SIM reader cannot tell without talking to
    // the card).
    bool holdsCard = false;
};

// Every reader that may be chosen, in the chooser's order: automatic, the USB SIM reader (present
// when `usb` enumerates it), each reader of the PC/SC service by name, the built-in virtual
// reader. A PC/SC service that is not running simply lists no PC/SC reader.
std::vector<AvailableReader> ListAvailableReaders(ReportBus& usb);

// The same with the system's hidapi bus.
std::vector<AvailableReader> ListAvailableReaders();

// The `--reader` text of a choice, which ParseReaderChoice reads back.
std::string ReaderChoiceText(const ReaderChoice& choice);

// The choice names a reader that is there now: automatic always; the USB SIM reader when
// plugged in; a PC/SC reader when the service lists one of that name (or whose name contains
// it, as PcscTerminal picks it); the virtual reader when its card image, if any, exists; a
// socket when its path exists.
bool ReaderChoiceAvailable(const ReaderChoice& choice, const std::vector<AvailableReader>& readers);

}  // namespace pellucard
