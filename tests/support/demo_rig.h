#pragma once

#include <QString>

#include <gtest/gtest.h>

#include "simulator/virtual_sim_card.h"
#include "support/reader_rig.h"
#include "support/scripted_card.h"

namespace pellucard::testing {

// The demo card's image: PIN1 1234 enabled, PIN2 5678, unblock codes 12345678 and 87654321.
inline CardImage DemoImage() {
    CardImage image;
    QString error;
    EXPECT_TRUE(ReadCardImageFile(QString::fromLatin1(kDemoCardResource), image, error))
        << error.toStdString();
    return image;
}

// The reader rig with the demo card inserted, the reader opened and the card reset.
struct DemoRig : ReaderRig {
    std::shared_ptr<VirtualSimCard> card;

    DemoRig() {
        QString error;
        card = VirtualSimCard::Demo(error);
        if (card)
            reader->InsertCard(card);
    }
    bool Start() { return card && engine->OpenReader() && engine->ResetCard().IsDone(); }
};

}  // namespace pellucard::testing
