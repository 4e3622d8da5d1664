#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QPointer>

namespace pellucard {

class Pellucard;

// The one way from the windows to the card.
//
// The engine is not re-entrant, and every wait in it lets the event loop run (the reader link's
// waits, the runs' yields after each record), so a click, a menu entry or a timer tick can
// arrive in the middle of a card command. The gate grants card work to one holder at a time and
// hands the engine only to that holder: a request made while another holds the card is refused,
// or, while only the polling takes its quick look, carried out once the poll has let go. It is
// never run inside the work under way.
//
// While a run holds the card, Escape anywhere in the program (outside a modal window, which
// takes its own Escape) asks it to stop after the record in hand.
class CardGate final : public QObject {
    Q_OBJECT

public:
    enum class Work {
        Poll,  // the polling timer's look at the reader and the card
        Run,   // work the user asked for: a transfer, a PIN command, a backup, a restore
    };

    // The card, held. Let go when destroyed.
    class Hold {
    public:
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

        Pellucard& engine();
        Work kind() const { return work_; }
        // The user asked the run to end after the record in hand.
        bool stopRequested() const;

    private:
        friend class CardGate;
        Hold(CardGate& gate, Work work) : gate_(gate), work_(work) {}
        CardGate& gate_;
        Work work_;
    };

    explicit CardGate(Pellucard& engine, QObject* parent = nullptr);
    ~CardGate() override;

    // The card for `work`, or nothing while another holds it.
    std::unique_ptr<Hold> acquire(Work work);
    // The card for a command the user gave. While only the polling holds it, `retry` is queued
    // and called (on `context`) once the poll has let go, and nothing is returned; while a run
    // holds it the command is refused.
    std::unique_ptr<Hold> acquireForCommand(QObject* context, std::function<void()> retry);

    // Points the gate at another engine (the reader was chosen anew). Only while no one holds the
    // card: false, and nothing changed, otherwise.
    bool replaceEngine(Pellucard& engine);

    // Someone holds the card.
    bool busy() const { return holder_.has_value(); }
    // A run the user asked for holds it: commands that need the card are greyed meanwhile.
    bool runActive() const { return holder_ == Work::Run; }

    // What the engine learnt at its last exchange, without card traffic: the reader is open; the
    // last exchange with the card succeeded.
    bool readerPresent() const;
    bool cardPresent() const;

    // The Stop button and Escape: the run under way ends after the record in hand.
    void requestStop();
    bool stopRequested() const { return stopRequested_; }

signals:
    // The card was taken or let go; every command that needs it looks again whether it may.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void release();

    Pellucard* engine_;
    std::optional<Work> holder_;
    bool stopRequested_ = false;
    struct Retry {
        QPointer<QObject> context;
        std::function<void()> call;
    };
    std::vector<Retry> afterPoll_;
};

}  // namespace pellucard
