#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/clock.h"
#include "engine/pellucard.h"

namespace pellucard {

class CardPresenceWatch;
class HidReportLink;
class PcscChannel;
class VirtualReader;
class VirtualSimCard;

// Which reader the programs talk to, as `--reader` names it:
//   auto              the USB HID reader when one is plugged in, else the first smart-card
//                     reader of the PC/SC service that holds a card
//   hid               the USB HID reader
//   pcsc[:NAME]       a smart-card reader of the PC/SC service (pcscd): the one named (or whose
//                     name contains NAME), else the first holding a card, else the first
//   virtual[:IMAGE]   the built-in virtual reader with the demo card or a card image file
//   socket:PATH       a reader emulator behind a Unix socket
struct ReaderChoice {
    enum class Kind { Hid, Virtual, Socket, Pcsc, Auto };
    Kind kind = Kind::Hid;
    std::string argument;  // the image file, socket path or PC/SC reader name
};

// Parses a `--reader` value; false with a one-line error when it names no reader.
bool ParseReaderChoice(std::string_view text, ReaderChoice& choice, std::string& error);

// Everything behind the engine for one reader choice. For the virtual reader it also holds the
// reader and its card, so that the demo can pull the card, swap it or unplug the reader.
struct ReaderSession {
    // First, so that it outlives the reader and the link that wait on it.
    std::unique_ptr<Clock> clock;  // the instant virtual reader's own clock
    std::unique_ptr<Pellucard> engine;
    HidReportLink* link = nullptr;  // the engine's link (for its counters)
    PcscChannel* pcsc = nullptr;    // the PC/SC channel (pcsc and auto choices)
    // Lets a polling window skip the card search while the readers show no card (PC/SC).
    std::unique_ptr<CardPresenceWatch> watch;
    std::shared_ptr<VirtualReader> virtualReader;  // virtual choice only
    std::shared_ptr<VirtualSimCard> virtualCard;   // the card in the virtual reader, if any
    std::string imagePath;                         // the image the virtual card came from

    // Puts a card from an image file (empty path: the demo card) into the virtual reader.
    bool LoadVirtualCard(const std::string& path, std::string& error);
    // Saves the virtual card back to the image it came from.
    bool SaveVirtualCard(std::string& error) const;
    // Why no reader could be opened, in one line, where the reader can tell (PC/SC); empty
    // otherwise.
    std::string WhyNoReader() const;

    ReaderSession();
    ~ReaderSession();
    ReaderSession(const ReaderSession&) = delete;
    ReaderSession& operator=(const ReaderSession&) = delete;
};

// `realistic` gives the virtual reader the timing of a real one (the demo, benchmarks);
// otherwise it answers at once.
std::unique_ptr<ReaderSession> OpenReaderSession(const ReaderChoice& choice, bool realistic,
                                                 std::string& error);

}  // namespace pellucard
