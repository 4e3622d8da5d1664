#pragma once

#include <QString>

#include <array>
#include <functional>
#include <memory>

#include "catalogue/catalogue.h"
#include "shell/card_gate.h"
#include "shell/card_info.h"
#include "shell/window_index.h"

namespace pellucard {

class Clock;
class Pellucard;
struct ReaderSession;

// The PIN dialogs, as DialogOpen indexes them.
enum class PinDialogKind { Input = 0, Change = 1, Verify = 2 };

// The state one program run shares between all its windows: the card gate with the engine and
// the reader behind it, the card information last read and the flags of the polling protocol. There
// is one per process; windows reach it through their ShellHost.
class Session {
public:
    explicit Session(std::unique_ptr<ReaderSession> reader);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The only way to the card: every window, menu, dialog and timer takes its card work from
    // here, one holder at a time.
    CardGate& gate() { return *gate_; }
    // The devices behind the engine, for the demo's virtual reader and card (pulled out, put
    // back, unplugged: what a person does with the hardware, not card commands).
    ReaderSession& reader() { return *reader_; }
    // Puts another reader behind the engine's gate (the user chose one); the old one is closed.
    // False, with the old reader kept, while someone holds the card.
    bool replaceReader(std::unique_ptr<ReaderSession> reader);
    // The built-in virtual reader: the demo, or a card image given on the command line.
    bool isVirtualReader() const;

    // Lets pending interface events run with polling paused, so that a timer tick arriving
    // meanwhile does no card work. Every long card operation calls it after each record.
    void yield();

    // Catalogue message `id` in the language in force.
    QString text(MessageId id) const;

    // False while a card operation yields; the polling timer then does no card work.
    bool PollingAllowed = true;
    // The child window last selected, Unloaded or None.
    WindowIndex CurrentWindow = WindowIndex::Print;
    // Offset added to every message id: 0 English ... 7 Spanish.
    int LanguageIndex = 0;
    // Which PIN dialogs are open, indexed by PinDialogKind.
    std::array<bool, 3> DialogOpen{};
    CardInfoRecord CardInfo;
    // The user asked to leave while card work was running; the polling timer closes the main
    // window once the work has ended. Kept apart from CurrentWindow, whose "none" value a child
    // window also sets when it merely loses activation.
    bool ExitRequested = false;

    // Counts the cards seen: changes whenever the polling loses the card or finds another
    // one, so that records read from a card are not taken for the content of the next one.
    int CardGeneration = 0;

    bool isDialogOpen(PinDialogKind kind) const { return DialogOpen[static_cast<int>(kind)]; }
    void setDialogOpen(PinDialogKind kind, bool open) { DialogOpen[static_cast<int>(kind)] = open; }

private:
    // Lets the link's waits run the event loop (see the constructor).
    std::unique_ptr<Clock> makeLinkClock(ReaderSession& reader);

    // The reader link's clock, which lets the event loop run while the link waits.
    std::unique_ptr<Clock> linkClock_;
    std::unique_ptr<ReaderSession> reader_;
    std::unique_ptr<CardGate> gate_;
};

}  // namespace pellucard
