#pragma once

#include <QString>

#include "platform/virtual_sim_card.h"
#include "support/reader_rig.h"
#include "support/scripted_card.h"

namespace pellucard::testing {

// The reader rig with the demo card inserted, the reader opened and the card reset.
struct DemoRig : ReaderRig {
    std::shared_ptr<VirtualSimCard> card;

    DemoRig() {
        QString error;
        card = VirtualSimCard::Demo(error);
        if (card)
            reader->InsertCard(card);
    }
    bool Start() { return card && engine->FindReader() && engine->FindSimCard(); }
};

}  // namespace pellucard::testing
