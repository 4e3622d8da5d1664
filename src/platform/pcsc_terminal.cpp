#include "platform/pcsc_terminal.h"

#include <winscard.h>

#include <algorithm>
#include <cctype>

namespace pellucard {

namespace {

constexpr DWORD kProtocols = SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1;
// Short APDUs: up to 256 bytes of data and the status words.
constexpr DWORD kResponseCapacity = 258;

}  // namespace

PcscTerminal::PcscTerminal(std::string readerName, bool requireCard)
    : wanted_(std::move(readerName)), requireCard_(requireCard) {}

PcscTerminal::~PcscTerminal() {
    Close();
}

TerminalStatus PcscTerminal::Fail(long code) {
    switch (code) {
        case SCARD_S_SUCCESS:
            return TerminalStatus::Ok;
        case SCARD_E_NO_SERVICE:
        case SCARD_E_SERVICE_STOPPED:
            error_ = kNoPcscService;
            Close();
            return TerminalStatus::NoService;
        case SCARD_W_RESET_CARD:
            error_ = "the card was reset by another program";
            return TerminalStatus::CardReset;
        case SCARD_W_REMOVED_CARD:
        case SCARD_E_NO_SMARTCARD:
        case SCARD_W_UNPOWERED_CARD:
        case SCARD_W_UNRESPONSIVE_CARD:
            error_ = "no SIM card in the reader '" + reader_ + "'";
            Disconnect(false);
            return code == SCARD_E_NO_SMARTCARD ? TerminalStatus::NoCard
                                                : TerminalStatus::CardRemoved;
        case SCARD_E_READER_UNAVAILABLE:
        case SCARD_E_UNKNOWN_READER:
            error_ = "the smart-card reader " + reader_ + " went away";
            Disconnect(false);
            reader_.clear();
            return TerminalStatus::NoReader;
        default:
            error_ = std::string("smart-card service: ") + pcsc_stringify_error(code);
            return TerminalStatus::Failed;
    }
}

bool PcscTerminal::ListReaders(std::vector<PcscReader>& readers) {
    const long rv = ListPcscReaders(context_, readers);
    if (rv != SCARD_S_SUCCESS && rv != SCARD_E_NO_READERS_AVAILABLE) {
        Fail(rv);
        return false;
    }
    return true;
}

std::string PcscTerminal::Choose(const std::vector<PcscReader>& readers) const {
    if (!wanted_.empty()) {
        for (const auto& reader : readers) {
            if (reader.name == wanted_)
                return reader.name;
        }
        for (const auto& reader : readers) {
            if (ReaderNameMatches(reader.name, wanted_))
                return reader.name;
        }
        return {};
    }
    for (const auto& reader : readers) {
        if (reader.holdsCard)
            return reader.name;
    }
    return requireCard_ || readers.empty() ? std::string() : readers.front().name;
}

TerminalStatus PcscTerminal::Open() {
    error_.clear();
    if (context_ == 0) {
        SCARDCONTEXT context = 0;
        const LONG rv = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context);
        if (rv != SCARD_S_SUCCESS)
            return Fail(rv);
        context_ = context;
    }
    std::vector<PcscReader> readers;
    if (!ListReaders(readers)) {
        // A context the service no longer knows (pcscd restarted) is not tried again: the next
        // search establishes a new one.
        const TerminalStatus status =
            context_ == 0 ? TerminalStatus::NoService : TerminalStatus::Failed;
        Close();
        return status;
    }
    const std::string chosen = Choose(readers);
    if (chosen.empty()) {
        if (!wanted_.empty())
            error_ = "no smart-card reader named '" + wanted_ + "'";
        else if (readers.empty())
            error_ = "no smart-card reader found";
        else
            error_ = "no card in any smart-card reader";
        return readers.empty() || !wanted_.empty() ? TerminalStatus::NoReader
                                                   : TerminalStatus::NoCard;
    }
    if (chosen != reader_)
        Disconnect(true);
    reader_ = chosen;
    return TerminalStatus::Ok;
}

void PcscTerminal::Disconnect(bool reset) {
    if (card_ != 0) {
        SCardDisconnect(static_cast<SCARDHANDLE>(card_),
                        reset ? SCARD_RESET_CARD : SCARD_LEAVE_CARD);
        card_ = 0;
    }
}

void PcscTerminal::Close() {
    Disconnect(true);
    if (context_ != 0) {
        SCardReleaseContext(static_cast<SCARDCONTEXT>(context_));
        context_ = 0;
    }
    reader_.clear();
}

TerminalStatus PcscTerminal::Connect(Bytes& atr) {
    atr.clear();
    if (context_ == 0 || reader_.empty()) {
        error_ = "no smart-card reader is open";
        return TerminalStatus::NoReader;
    }
    DWORD protocol = 0;
    if (card_ != 0) {
        const LONG rv = SCardReconnect(static_cast<SCARDHANDLE>(card_), SCARD_SHARE_SHARED,
                                       kProtocols, SCARD_RESET_CARD, &protocol);
        if (rv != SCARD_S_SUCCESS)
            Disconnect(false);  // a card pulled and put back needs a new connection
    }
    if (card_ == 0) {
        // Without a reader named, the card may have moved to another reader meanwhile.
        if (wanted_.empty()) {
            std::vector<PcscReader> readers;
            if (ListReaders(readers)) {
                const auto holding = std::find_if(readers.begin(), readers.end(),
                                                  [](const PcscReader& r) { return r.holdsCard; });
                if (holding != readers.end())
                    reader_ = holding->name;
            }
        }
        SCARDHANDLE card = 0;
        LONG rv = SCardConnect(static_cast<SCARDCONTEXT>(context_), reader_.c_str(),
                               SCARD_SHARE_SHARED, kProtocols, &card, &protocol);
        if (rv != SCARD_S_SUCCESS)
            return Fail(rv);
        card_ = card;
        // A card another program left powered may still hold its verified PINs: start afresh.
        rv = SCardReconnect(card, SCARD_SHARE_SHARED, kProtocols, SCARD_RESET_CARD, &protocol);
        if (rv != SCARD_S_SUCCESS)
            return Fail(rv);
    }
    protocol_ = protocol;

    BYTE buffer[MAX_ATR_SIZE];
    DWORD atrLength = sizeof buffer;
    DWORD state = 0;
    DWORD nameLength = 0;
    const LONG rv = SCardStatus(static_cast<SCARDHANDLE>(card_), nullptr, &nameLength, &state,
                                &protocol, buffer, &atrLength);
    if (rv != SCARD_S_SUCCESS)
        return Fail(rv);
    atr.assign(buffer, buffer + std::min<DWORD>(atrLength, sizeof buffer));
    return TerminalStatus::Ok;
}

TerminalStatus PcscTerminal::Reconnect() {
    if (card_ == 0)
        return TerminalStatus::CardRemoved;
    DWORD protocol = 0;
    const LONG rv = SCardReconnect(static_cast<SCARDHANDLE>(card_), SCARD_SHARE_SHARED, kProtocols,
                                   SCARD_LEAVE_CARD, &protocol);
    if (rv != SCARD_S_SUCCESS)
        return Fail(rv);
    protocol_ = protocol;
    return TerminalStatus::Ok;
}

TerminalStatus PcscTerminal::Transmit(const Bytes& apdu, Bytes& response) {
    response.clear();
    if (card_ == 0) {
        error_ = "no card is connected";
        return TerminalStatus::CardRemoved;
    }
    const SCARD_IO_REQUEST* pci = protocol_ == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
    BYTE buffer[kResponseCapacity];
    DWORD length = sizeof buffer;
    const LONG rv = SCardTransmit(static_cast<SCARDHANDLE>(card_), pci, apdu.data(),
                                  static_cast<DWORD>(apdu.size()), nullptr, buffer, &length);
    if (rv != SCARD_S_SUCCESS)
        return Fail(rv);
    response.assign(buffer, buffer + std::min<DWORD>(length, sizeof buffer));
    return TerminalStatus::Ok;
}

}  // namespace pellucard
