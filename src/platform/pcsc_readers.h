#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pellucard {

// A reader of the PC/SC service and whether a card answers in it.
struct PcscReader {
    std::string name;
    bool holdsCard = false;
};

// The readers known to the PC/SC context `context` (an SCARDCONTEXT), each with whether it holds
// a card that is not mute, read without waiting for a change. Returns the PC/SC code of the
// listing: SCARD_S_SUCCESS, or SCARD_E_NO_READERS_AVAILABLE with an empty list; any other code
// leaves the list empty.
long ListPcscReaders(std::intptr_t context, std::vector<PcscReader>& readers);

// Whether reader `name` is the one a user named by `part`: its name contains `part`, letter case
// aside (PC/SC names carry serial numbers and slot indexes that nobody types).
bool ReaderNameMatches(const std::string& name, const std::string& part);

}  // namespace pellucard
