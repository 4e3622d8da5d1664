#pragma once

#include <string>

#include "engine/bytes.h"

namespace pellucard {

// How a terminal operation ended. A card pulled out, a card reset by another program and a
// service that is not running are told apart, because the channel above answers each its own way.
enum class TerminalStatus {
    Ok,
    NoService,    // the smart-card service is not running
    NoReader,     // the reader is not there (any more)
    NoCard,       // the reader holds no card
    CardRemoved,  // the card went away, possibly in the middle of a command
    CardReset,    // another program reset the card; the connection must be renewed
    Failed,       // anything else: the command did not reach the card or came back unusable
};

// A smart-card reader as a host sees it through a standard interface: a reader found by name,
// a card connected to (with its answer to reset) and command APDUs passed as they are. The
// response is what the card sent: response data, then SW1 SW2.
class CardTerminal {
public:
    virtual ~CardTerminal() = default;

    virtual TerminalStatus Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Connects to the card, resetting it when already connected; `atr` gets its answer to reset.
    virtual TerminalStatus Connect(Bytes& atr) = 0;
    // Renews the connection after another program reset the card, leaving the card as it is.
    virtual TerminalStatus Reconnect() = 0;
    virtual TerminalStatus Transmit(const Bytes& apdu, Bytes& response) = 0;
    // Lets go of a card that is gone, without the reset a card still there would get.
    virtual void DropCard() = 0;
    // A one-line description of the last failure, for people.
    virtual std::string LastError() const = 0;
};

}  // namespace pellucard
