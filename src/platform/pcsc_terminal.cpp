#include "platform/pcsc_terminal.h"

#include <winscard.h>

#include <algorithm>
#include <cctype>

namespace pellucard {

namespace {

constexpr DWORD kProtocols = SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1;
// Short APDUs: up to 256 bytes of data and the status words.
constexpr DWORD kResponseCapacity = 258;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

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

bool PcscTerminal::ListReaders(std::vector<ReaderState>& readers) {
    readers.clear();
    DWORD length = 0;
    LONG rv = SCardListReaders(static_cast<SCARDCONTEXT>(context_), nullptr, nullptr, &length);
    if (rv != SCARD_S_SUCCESS) {
        if (rv != SCARD_E_NO_READERS_AVAILABLE)
            Fail(rv);
        return rv == SCARD_E_NO_READERS_AVAILABLE;
    }
    std::string names(length, '\0');
    rv = SCardListReaders(static_cast<SCARDCONTEXT>(context_), nullptr, names.data(), &length);
    if (rv != SCARD_S_SUCCESS) {
        if (rv != SCARD_E_NO_READERS_AVAILABLE)
            Fail(rv);
        return rv == SCARD_E_NO_READERS_AVAILABLE;
    }
    for (std::size_t at = 0; at < names.size() && names[at] != '\0';) {
        const std::string name(names.c_str() + at);
        readers.push_back({name, false});
        at += name.size() + 1;
    }
    // The readers' present state, without waiting for a change.
    std::vector<SCARD_READERSTATE> states(readers.size());
    for (std::size_t i = 0; i < readers.size(); ++i) {
        states[i] = {};
        states[i].szReader = readers[i].name.c_str();
        states[i].dwCurrentState = SCARD_STATE_UNAWARE;
    }
    if (!states.empty() &&
        SCardGetStatusChange(static_cast<SCARDCONTEXT>(context_), 0, states.data(),
                             static_cast<DWORD>(states.size())) == SCARD_S_SUCCESS) {
        for (std::size_t i = 0; i < readers.size(); ++i) {
            readers[i].card = (states[i].dwEventState & SCARD_STATE_PRESENT) != 0 &&
                              (states[i].dwEventState & SCARD_STATE_MUTE) == 0;
        }
    }
    return true;
}

std::string PcscTerminal::Choose(const std::vector<ReaderState>& readers) const {
    if (!wanted_.empty()) {
        for (const auto& reader : readers) {
            if (reader.name == wanted_)
                return reader.name;
        }
        const std::string part = Lower(wanted_);
        for (const auto& reader : readers) {
            if (Lower(reader.name).find(part) != std::string::npos)
                return reader.name;
        }
        return {};
    }
    for (const auto& reader : readers) {
        if (reader.card)
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
    std::vector<ReaderState> readers;
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
            std::vector<ReaderState> readers;
            if (ListReaders(readers)) {
                const auto holding = std::find_if(readers.begin(), readers.end(),
                                                  [](const ReaderState& r) { return r.card; });
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
