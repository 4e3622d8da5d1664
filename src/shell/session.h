#pragma once

#include <QString>

#include <array>
#include <memory>

#include "shell/card_info.h"

namespace pellucard {

class Pellucard;
struct ReaderSession;

// Window indexes: what the left panel's buttons and the View menu select, and what
// CurrentWindow holds.
namespace window_index {
inline constexpr int kPrint = 0;
inline constexpr int kPersonRec = 2;
inline constexpr int kSimRec = 4;
inline constexpr int kSmsRec = 5;
inline constexpr int kSetting = 6;
inline constexpr int kButtonCount = 7;  // Command1(0..6); 1 and 3 select no window
inline constexpr int kUnloaded = 100;   // the current child window was closed
inline constexpr int kNone = 200;       // another child became active, or exit was requested

inline bool IsChildWindow(int index) {
    return index == kPersonRec || index == kSimRec || index == kSmsRec || index == kSetting;
}
}  // namespace window_index

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
    QString Text(int id) const;

    // False while a card operation yields; the polling timer then does no card work.
    bool PollingAllowed = true;
    // The child window last selected (window_index), kUnloaded or kNone.
    int CurrentWindow = 0;
    // Offset added to every message id: 0 English ... 7 Spanish.
    int LanguageIndex = 0;
    // Which PIN dialogs are open, indexed by PinDialogKind.
    std::array<bool, 3> DialogOpen{};
    CardInfoRecord CardInfo;
    // The user asked to leave while card work was running; the polling timer closes the main
    // window once the work has ended. Kept apart from CurrentWindow, whose "none" value a child
    // window also sets when it merely loses activation.
    bool ExitRequested = false;

    bool IsDialogOpen(PinDialogKind kind) const { return DialogOpen[static_cast<int>(kind)]; }
    void SetDialogOpen(PinDialogKind kind, bool open) { DialogOpen[static_cast<int>(kind)] = open; }

private:
    std::unique_ptr<ReaderSession> reader_;
};

}  // namespace pellucard
