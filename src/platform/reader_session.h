#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/clock.h"
#include "engine/pellucard.h"

namespace pellucard {

class HidReportLink;
class VirtualReader;
class VirtualSimCard;

// Which reader the programs talk to, as `--reader` names it:
//   hid               the USB HID reader (default of the programs)
//   virtual[:IMAGE]   the built-in virtual reader with the demo card or a card image file
//   socket:PATH       a reader emulator behind a Unix socket
struct ReaderChoice {
    enum class Kind { Hid, Virtual, Socket };
    Kind kind = Kind::Hid;
    std::string argument;  // the image file or socket path
};

// Parses a `--reader` value; false with a one-line error when it names no reader.
bool ParseReaderChoice(std::string_view text, ReaderChoice& choice, std::string& error);

// Everything behind the engine for one reader choice. For the virtual reader it also holds the
// reader and its card, so that the demo can pull the card, swap it or unplug the reader.
struct ReaderSession {
    // First, so that it outlives the reader and the link that wait on it.
    std::unique_ptr<Clock> clock;  // the instant virtual reader's own clock
    std::unique_ptr<Pellucard> engine;
    HidReportLink* link = nullptr;                 // the engine's link (for its counters)
    std::shared_ptr<VirtualReader> virtualReader;  // virtual choice only
    std::shared_ptr<VirtualSimCard> virtualCard;   // the card in the virtual reader, if any
    std::string imagePath;                         // the image the virtual card came from

    // Puts a card from an image file (empty path: the demo card) into the virtual reader.
    bool LoadVirtualCard(const std::string& path, std::string& error);
    // Saves the virtual card back to the image it came from.
    bool SaveVirtualCard(std::string& error) const;
};

// `realistic` gives the virtual reader the timing of a real one (the demo, benchmarks);
// otherwise it answers at once.
std::unique_ptr<ReaderSession> OpenReaderSession(const ReaderChoice& choice, bool realistic,
                                                 std::string& error);

}  // namespace pellucard
