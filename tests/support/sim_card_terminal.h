#pragma once

#include <memory>
#include <vector>

#include "platform/card_terminal.h"
#include "simulator/sim_card.h"

namespace pellucard::testing {

// A smart-card reader in process: passes APDUs to a card as a PC/SC reader does (status words
// included, nothing fetched on the host's behalf), and can be told to lose the card or have it
// reset by someone else.
class SimCardTerminal final : public CardTerminal {
public:
    std::shared_ptr<SimCard> card;
    bool readerPresent = true;
    bool unplugged = false;                // the reader went away: every command says so
    int removeAfter = -1;                  // the card is pulled when this many more APDUs were sent
    bool removedLooksLikeSuccess = false;  // ...and the reader then reports success, 0 bytes
    int resetAfter = -1;                   // another program resets the card after this many APDUs
    std::vector<Bytes> sent;
    int connects = 0;
    int reconnects = 0;
    int drops = 0;

    explicit SimCardTerminal(std::shared_ptr<SimCard> inserted = nullptr)
        : card(std::move(inserted)) {}

    TerminalStatus Open() override {
        open_ = readerPresent && !unplugged;
        return open_ ? TerminalStatus::Ok : TerminalStatus::NoReader;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    TerminalStatus Connect(Bytes& atr) override {
        if (!open_)
            return TerminalStatus::NoReader;
        if (!card)
            return TerminalStatus::NoCard;
        ++connects;
        atr = card->PowerOn();
        resetPending_ = false;
        return TerminalStatus::Ok;
    }
    TerminalStatus Reconnect() override {
        ++reconnects;
        resetPending_ = false;
        return card ? TerminalStatus::Ok : TerminalStatus::CardRemoved;
    }
    TerminalStatus Transmit(const Bytes& apdu, Bytes& response) override {
        response.clear();
        if (unplugged) {
            open_ = false;
            return TerminalStatus::NoReader;
        }
        if (!card)
            return TerminalStatus::CardRemoved;
        if (removeAfter == 0) {
            card.reset();
            return removedLooksLikeSuccess ? TerminalStatus::Ok : TerminalStatus::CardRemoved;
        }
        if (removeAfter > 0)
            --removeAfter;
        if (resetAfter == 0) {
            resetAfter = -1;
            card->PowerOn();
            resetPending_ = true;
        } else if (resetAfter > 0) {
            --resetAfter;
        }
        if (resetPending_)
            return TerminalStatus::CardReset;
        sent.push_back(apdu);
        const auto reply = card->Transmit(apdu);
        response = reply.data;
        response.push_back(reply.sw1);
        response.push_back(reply.sw2);
        return TerminalStatus::Ok;
    }
    void DropCard() override { ++drops; }
    std::string LastError() const override { return card ? "" : "no card"; }

private:
    bool open_ = false;
    bool resetPending_ = false;
};

}  // namespace pellucard::testing
