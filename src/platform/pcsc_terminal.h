#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/card_terminal.h"
#include "platform/pcsc_readers.h"

namespace pellucard {

// A reader of the system's PC/SC service (pcsc-lite talking to pcscd). The card is shared with
// other programs; it is reset when this terminal connects, so that every session starts from a
// fresh card as with the USB SIM reader, and again when it lets go, so that a PIN verified here
// does not stay verified for whoever comes next.
class PcscTerminal final : public CardTerminal {
public:
    // `readerName` empty: the first reader that holds a card, else (unless `requireCard`) the
    // first reader. Otherwise the reader of that name, or the first whose name contains it.
    explicit PcscTerminal(std::string readerName = {}, bool requireCard = false);
    ~PcscTerminal() override;
    PcscTerminal(const PcscTerminal&) = delete;
    PcscTerminal& operator=(const PcscTerminal&) = delete;

    TerminalStatus Open() override;
    void Close() override;
    bool IsOpen() const override { return context_ != 0 && !reader_.empty(); }
    TerminalStatus Connect(Bytes& atr) override;
    TerminalStatus Reconnect() override;
    TerminalStatus Transmit(const Bytes& apdu, Bytes& response) override;
    void DropCard() override { Disconnect(false); }
    std::string LastError() const override { return error_; }

    const std::string& ReaderName() const { return reader_; }

private:
    TerminalStatus Fail(long code);
    bool ListReaders(std::vector<PcscReader>& readers);
    std::string Choose(const std::vector<PcscReader>& readers) const;
    void Disconnect(bool reset);

    std::string wanted_;
    bool requireCard_;
    std::intptr_t context_ = 0;  // SCARDCONTEXT
    std::intptr_t card_ = 0;     // SCARDHANDLE
    unsigned long protocol_ = 0;
    std::string reader_;
    std::string error_;
};

// The one-line message for a PC/SC service that is not there.
inline constexpr char kNoPcscService[] = "the smart-card service is not running: start pcscd";

}  // namespace pellucard
