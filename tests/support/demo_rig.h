#pragma once

#include <QString>

#include <gtest/gtest.h>

#include <vector>

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
    // The records of the file at `path` ("3F00/7F10/6F3A") as the card holds them now.
    std::vector<Bytes> CardRecords(const char* path) const {
        std::vector<Bytes> records;
        const CardImage image = card->ToImage();
        for (const auto& record : image.FindFile(path)->records)
            records.push_back(record.data);
        return records;
    }
};

}  // namespace pellucard::testing
