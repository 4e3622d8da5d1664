#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "engine/pellucard.h"
#include "platform/pcsc_channel.h"
#include "simulator/virtual_uicc_card.h"
#include "support/demo_rig.h"
#include "support/sim_card_terminal.h"

namespace pellucard::testing {

// The engine on a virtual USIM of `image` (the demo card's by default) through the PC/SC
// channel, the card reset and PIN1 given. `inserted`, when given, stands in the reader instead
// of the card, to script what it answers.
struct UsimRig {
    std::shared_ptr<VirtualUiccCard> card;
    SimCardTerminal* terminal = nullptr;
    std::unique_ptr<Pellucard> engine;

    explicit UsimRig(const CardImage& image = DemoImage(),
                     std::shared_ptr<SimCard> inserted = nullptr) {
        QString error;
        card = VirtualUiccCard::FromImage(image, error);
        EXPECT_TRUE(card) << error.toStdString();
        auto owned = std::make_unique<SimCardTerminal>(inserted ? inserted : card);
        terminal = owned.get();
        engine = std::make_unique<Pellucard>(std::make_unique<PcscChannel>(std::move(owned)));
        EXPECT_TRUE(engine->OpenReader() && engine->ResetCard().IsDone());
        EXPECT_TRUE(engine->VerifyPin(1, "1234").IsDone());
    }
    // How many UPDATE RECORD commands went to the card.
    int Updates() const {
        return static_cast<int>(
            std::count_if(terminal->sent.begin(), terminal->sent.end(),
                          [](const Bytes& apdu) { return apdu.size() > 1 && apdu[1] == 0xDC; }));
    }
};

// The demo card with the USIM application's own phone book (3F00/7F20/5F3A) beside the global
// one: the global one's files again, its ADN file holding one entry.
inline CardImage WithApplicationPhoneBook(CardImage image = DemoImage()) {
    std::vector<CardFile> local;
    for (const auto& file : image.files) {
        if (file.path.rfind("3F00/7F10/5F3A", 0) == 0) {
            CardFile copy = file;
            copy.path = "3F00/7F20" + file.path.substr(9);
            local.push_back(copy);
        }
    }
    CardFile adn = *image.FindFile("3F00/7F10/6F3A");
    adn.path = "3F00/7F20/5F3A/4F3A";
    for (std::size_t i = 1; i < adn.records.size(); ++i)
        adn.records[i].data = Bytes(28, 0xFF);
    local.push_back(adn);
    image.files.insert(image.files.end(), local.begin(), local.end());
    return image;
}

}  // namespace pellucard::testing
