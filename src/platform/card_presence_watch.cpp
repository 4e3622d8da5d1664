#include "platform/card_presence_watch.h"

#include <winscard.h>

#include <algorithm>

#include "platform/pcsc_readers.h"

namespace pellucard {

namespace {

// The pseudo reader through which pcsc-lite reports readers that come and go.
constexpr char kPlugAndPlay[] = "\\\\?PnP?\\Notification";

}  // namespace

PcscCardWatch::PcscCardWatch(std::string readerName) : wanted_(std::move(readerName)) {}

PcscCardWatch::~PcscCardWatch() {
    Release();
}

bool PcscCardWatch::Establish() {
    if (context_ != 0)
        return true;
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return false;
    context_ = context;
    notificationState_ = SCARD_STATE_UNAWARE;
    return ListReaders();
}

void PcscCardWatch::Release() {
    if (context_ != 0)
        SCardReleaseContext(static_cast<SCARDCONTEXT>(context_));
    context_ = 0;
    readers_.clear();
}

bool PcscCardWatch::ListReaders() {
    readers_.clear();
    DWORD length = 0;
    LONG rv = SCardListReaders(static_cast<SCARDCONTEXT>(context_), nullptr, nullptr, &length);
    if (rv == SCARD_E_NO_READERS_AVAILABLE)
        return true;
    if (rv != SCARD_S_SUCCESS)
        return false;
    std::string names(length, '\0');
    rv = SCardListReaders(static_cast<SCARDCONTEXT>(context_), nullptr, names.data(), &length);
    if (rv == SCARD_E_NO_READERS_AVAILABLE)
        return true;
    if (rv != SCARD_S_SUCCESS)
        return false;
    for (std::size_t at = 0; at < names.size() && names[at] != '\0';) {
        const std::string name(names.c_str() + at);
        if (wanted_.empty() || ReaderNameMatches(name, wanted_))
            readers_.push_back({name, SCARD_STATE_UNAWARE});
        at += name.size() + 1;
    }
    return true;
}

bool PcscCardWatch::CardMayBePresent() {
    if (!Establish())
        return false;
    // Twice at most: a reader list that changed is read again and its readers asked at once.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<SCARD_READERSTATE> states(readers_.size() + 1);
        for (std::size_t i = 0; i < readers_.size(); ++i) {
            states[i] = {};
            states[i].szReader = readers_[i].name.c_str();
            states[i].dwCurrentState = readers_[i].state;
        }
        states.back() = {};
        states.back().szReader = kPlugAndPlay;
        states.back().dwCurrentState = notificationState_;
        const LONG rv = SCardGetStatusChange(static_cast<SCARDCONTEXT>(context_), 0, states.data(),
                                             static_cast<DWORD>(states.size()));
        if (rv != SCARD_S_SUCCESS && rv != SCARD_E_TIMEOUT) {
            Release();  // the service stopped or the context broke: start over next time
            return false;
        }
        bool listChanged = false;
        if (rv == SCARD_S_SUCCESS) {
            for (std::size_t i = 0; i < readers_.size(); ++i) {
                readers_[i].state = states[i].dwEventState & ~SCARD_STATE_CHANGED;
                if (states[i].dwEventState & (SCARD_STATE_UNKNOWN | SCARD_STATE_IGNORE))
                    listChanged = true;
            }
            const auto notification = states.back().dwEventState;
            if (notificationState_ != SCARD_STATE_UNAWARE && (notification & SCARD_STATE_CHANGED))
                listChanged = true;
            notificationState_ = notification & ~SCARD_STATE_CHANGED;
        }
        if (!listChanged || pass == 1)
            break;
        if (!ListReaders()) {
            Release();
            return false;
        }
    }
    return std::any_of(readers_.begin(), readers_.end(), [](const Reader& reader) {
        return (reader.state & SCARD_STATE_PRESENT) != 0;
    });
}

}  // namespace pellucard
