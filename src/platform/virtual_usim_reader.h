#pragma once

#include <memory>
#include <string>

#include "platform/card_terminal.h"
#include "platform/reader_session.h"
#include "simulator/sim_card.h"

namespace pellucard {

// A smart-card reader in process holding a virtual card: APDUs go to the card as a PC/SC reader
// passes them (status words included, nothing fetched on the host's behalf). The card never
// leaves it.
class VirtualCardTerminal final : public CardTerminal {
public:
    explicit VirtualCardTerminal(std::shared_ptr<SimCard> card) : card_(std::move(card)) {}

    TerminalStatus Open() override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    TerminalStatus Connect(Bytes& atr) override;
    TerminalStatus Reconnect() override { return TerminalStatus::Ok; }
    TerminalStatus Transmit(const Bytes& apdu, Bytes& response) override;
    void DropCard() override {}
    std::string LastError() const override { return {}; }

private:
    std::shared_ptr<SimCard> card_;
    bool open_ = false;
};

// The demo card (or the card image at `imagePath`) made a USIM, in a smart-card reader of its
// own: the phone book window shows its USIM phone book as a real USIM's. What is written to it
// stays in memory.
std::unique_ptr<ReaderSession> OpenVirtualUsimSession(const std::string& imagePath,
                                                      std::string& error);

}  // namespace pellucard
