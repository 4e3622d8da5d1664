#pragma once

#include <cstdint>

#include "engine/bytes.h"
#include "simulator/virtual_sim_card_chv.h"
#include "simulator/virtual_sim_card_files.h"

namespace pellucard {

// The GSM 11.11 (9.2.1) SELECT and STATUS responses. A UICC answers with FCP templates
// instead; a card mode for it would add its own builders beside these.

struct GsmCardFacts {
    std::uint16_t freeMemory = 0;
    std::uint8_t fileCharacteristics = 0;  // without the CHV1-disabled bit
};

// A master or dedicated file: 23 bytes, with the CHV counters as they stand.
Bytes GsmDirectoryResponse(const SimFileTree& tree, int directory, const SimChvState& chv,
                           const GsmCardFacts& facts);

// An elementary file: 15 bytes.
Bytes GsmElementaryFileResponse(const SimFileTree& tree, int file);

}  // namespace pellucard
