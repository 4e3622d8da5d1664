#pragma once

#include <cstdint>

#include "simulator/card_image.h"

namespace pellucard::testing {

// The demo card image with EF UID 4F21 listed in its global phone book's block: its three
// entries numbered 1 to 3, EF PUID at `previous`.
inline CardImage WithUniqueIdFile(CardImage image, const Bytes& previous) {
    const std::string book = "3F00/7F10/5F3A/";
    Bytes& pbr = image.FindFile(book + "4F30")->records[0].data;
    // Type 1 grows by C9 02 4F 21; the filler after the record gives the room.
    const Bytes uid{0xC9, 0x02, 0x4F, 0x21};
    pbr.insert(pbr.begin() + 2 + pbr[1], uid.begin(), uid.end());
    pbr[1] = std::uint8_t(pbr[1] + uid.size());
    pbr.resize(pbr.size() - uid.size());
    CardFile file = *image.FindFile(book + "4F26");
    file.path = book + "4F21";
    file.recordLength = 2;
    file.emptyRecord = Bytes{0x00, 0x00};
    for (auto& record : file.records)
        record = {Bytes{0x00, 0x00}, {}};
    file.records[0].data = {0x00, 0x01};
    file.records[1].data = {0x00, 0x02};
    file.records[3].data = {0x00, 0x03};
    image.files.push_back(file);
    image.FindFile(book + "4F24")->body = previous;
    return image;
}

}  // namespace pellucard::testing
