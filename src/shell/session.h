#pragma once

#include <QObject>
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

// The PIN dialogs, as the session keeps them open or closed.
enum class PinDialogKind { Input = 0, Change = 1, Verify = 2 };

// The state one program run shares between all its windows: the card gate with the engine and
// the reader behind it, the card information last read and the flags of the polling protocol. There
// is one per process; windows reach it through their ShellHost, read it through its accessors and
// change it only through the methods below, which say what happened.
class Session : public QObject {
    Q_OBJECT

public:
    explicit Session(std::unique_ptr<ReaderSession> reader);
    ~Session() override;
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
    // False while a card operation yields; the polling timer then does no card work.
    bool pollingAllowed() const { return pollingAllowed_; }

    // Catalogue message `id` in the language in force.
    QString text(MessageId id) const;
    // Offset added to every message id: 0 English ... 7 Spanish.
    int languageIndex() const { return languageIndex_; }
    void setLanguageIndex(int index) { languageIndex_ = index; }

    // The child window last selected, Unloaded or None. A child window sets its own index when
    // it becomes active, None when it loses activation and Unloaded when it closes.
    WindowIndex currentWindow() const { return currentWindow_; }
    void setCurrentWindow(WindowIndex index) { currentWindow_ = index; }

    // The user asked to leave while card work was running; the polling timer closes the main
    // window once the work has ended. Kept apart from the current window, whose "none" value a
    // child window also sets when it merely loses activation.
    bool exitRequested() const { return exitRequested_; }
    void requestExit() { exitRequested_ = true; }
    void cancelExit() { exitRequested_ = false; }

    // What the program last read about the card in the reader.
    const CardInfo& cardInfo() const { return cardInfo_; }
    // The card information as read now; cardInfoChanged when anything differs.
    void setCardInfo(const CardInfo& info);
    // The identity the card gave; empty when another card was found whose identity the poll
    // has yet to read.
    void setCardId(const QString& cardId);
    // Counts the cards seen: changes whenever the polling loses the card or finds another
    // one, so that records read from a card are not taken for the content of the next one.
    int cardGeneration() const { return cardGeneration_; }
    // The reader holds another card than the one last read.
    void startNewCard() { ++cardGeneration_; }
    // The card or the reader went away: nothing is known about a card any more.
    void forgetCard();

    // Which PIN dialogs are open.
    bool isDialogOpen(PinDialogKind kind) const { return dialogOpen_[static_cast<int>(kind)]; }
    void setDialogOpen(PinDialogKind kind, bool open) {
        dialogOpen_[static_cast<int>(kind)] = open;
    }

signals:
    // The card information changed: another card, a card gone, counters or data read again.
    void cardInfoChanged();

private:
    // Lets the link's waits run the event loop (see the constructor).
    std::unique_ptr<Clock> makeLinkClock(ReaderSession& reader);

    // The reader link's clock, which lets the event loop run while the link waits.
    std::unique_ptr<Clock> linkClock_;
    std::unique_ptr<ReaderSession> reader_;
    std::unique_ptr<CardGate> gate_;
    bool pollingAllowed_ = true;
    int languageIndex_ = 0;
    WindowIndex currentWindow_ = WindowIndex::Print;
    bool exitRequested_ = false;
    CardInfo cardInfo_;
    int cardGeneration_ = 0;
    std::array<bool, 3> dialogOpen_{};
};

}  // namespace pellucard
