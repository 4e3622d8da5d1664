#pragma once

#include <QString>

#include <array>
#include <functional>
#include <memory>

#include "catalogue/catalogue.h"
#include "shell/card_info.h"
#include "shell/window_index.h"

namespace pellucard {

class Clock;
class Pellucard;
struct ReaderSession;

// The PIN dialogs, as DialogOpen indexes them.
enum class PinDialogKind { Input = 0, Change = 1, Verify = 2 };

// The state one program run shares between all its windows: the engine with the reader behind
// it, the card information last read and the flags of the polling protocol. There is one per
// process; windows reach it through their ShellHost.
class Session {
public:
    explicit Session(std::unique_ptr<ReaderSession> reader);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Pellucard& Engine();
    ReaderSession& Reader() { return *reader_; }
    // The built-in virtual reader: the demo, or a card image given on the command line.
    bool IsVirtualReader() const;

    // Lets pending interface events run with polling paused, so that a timer tick arriving
    // meanwhile does no card work. Every long card operation calls it after each record.
    void Yield();

    // Catalogue message `id` in the language in force.
    QString Text(MessageId id) const;

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

    // --- One card run at a time ---
    // Card work under way: a transfer run, a PIN operation, the polling's examination. The
    // engine is not re-entrant and lets the event loop run during its waits, so while this is
    // true every other command that would reach the card does nothing.
    bool CardBusy() const { return cardWork_ > 0; }
    // A transfer run or a PIN operation (not the polling) holds the card; the windows grey
    // their card commands meanwhile.
    bool CardRunActive() const { return runWork_ > 0; }
    // Holds the card for the lifetime of the object. `run`: a run the user started, which
    // the windows show (the polling's quick look is not).
    class CardWork {
    public:
        CardWork(Session& session, bool run);
        ~CardWork();
        CardWork(const CardWork&) = delete;
        CardWork& operator=(const CardWork&) = delete;

    private:
        Session& session_;
        bool run_;
    };
    // Called when a run starts or ends, so that every window can enable or grey its commands.
    std::function<void()> CardRunChanged;
    // The user asked the run under way to stop after the record in hand.
    bool StopRequested = false;
    // Counts the cards seen: changes whenever the polling loses the card or finds another
    // one, so that records read from a card are not taken for the content of the next one.
    int CardGeneration = 0;

    bool IsDialogOpen(PinDialogKind kind) const { return DialogOpen[static_cast<int>(kind)]; }
    void SetDialogOpen(PinDialogKind kind, bool open) { DialogOpen[static_cast<int>(kind)] = open; }

private:
    // The reader link's clock, which lets the event loop run while the link waits.
    std::unique_ptr<Clock> linkClock_;
    std::unique_ptr<ReaderSession> reader_;
    int cardWork_ = 0;
    int runWork_ = 0;
};

}  // namespace pellucard
