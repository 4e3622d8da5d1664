#include "platform/pcsc_readers.h"

#include <winscard.h>

#include <algorithm>
#include <cctype>

namespace pellucard {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

long ListPcscReaders(std::intptr_t context, std::vector<PcscReader>& readers) {
    readers.clear();
    const auto handle = static_cast<SCARDCONTEXT>(context);
    DWORD length = 0;
    LONG rv = SCardListReaders(handle, nullptr, nullptr, &length);
    if (rv != SCARD_S_SUCCESS)
        return rv;
    std::string names(length, '\0');
    rv = SCardListReaders(handle, nullptr, names.data(), &length);
    if (rv != SCARD_S_SUCCESS)
        return rv;
    for (std::size_t at = 0; at < names.size() && names[at] != '\0';) {
        const std::string name(names.c_str() + at);
        readers.push_back({name, false});
        at += name.size() + 1;
    }
    std::vector<SCARD_READERSTATE> states(readers.size());
    for (std::size_t i = 0; i < readers.size(); ++i) {
        states[i] = {};
        states[i].szReader = readers[i].name.c_str();
        states[i].dwCurrentState = SCARD_STATE_UNAWARE;
    }
    if (!states.empty() &&
        SCardGetStatusChange(handle, 0, states.data(), static_cast<DWORD>(states.size())) ==
            SCARD_S_SUCCESS) {
        for (std::size_t i = 0; i < readers.size(); ++i) {
            readers[i].holdsCard = (states[i].dwEventState & SCARD_STATE_PRESENT) != 0 &&
                                   (states[i].dwEventState & SCARD_STATE_MUTE) == 0;
        }
    }
    return SCARD_S_SUCCESS;
}

bool ReaderNameMatches(const std::string& name, const std::string& part) {
    return Lower(name).find(Lower(part)) != std::string::npos;
}

}  // namespace pellucard
