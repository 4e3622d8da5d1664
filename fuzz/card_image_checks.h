#pragma once

// What must hold for the reading of a card image (the JSON document a virtual card is made
// from) on any input. Shared by the libFuzzer target and by the corpus replay test; the check
// returns nullptr or what went wrong.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "simulator/card_image.h"

namespace pellucard::fuzz {

// Input: a card image document. A refused document leaves the image alone and says why; an
// accepted one is valid and reads back the same after it is written out.
inline const char* CheckCardImage(const std::uint8_t* data, std::size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CardImage image;
    image.description = "untouched";
    QString error;
    if (!ParseCardImage(json, image, error)) {
        if (image.description != "untouched" || !image.files.empty())
            return "a refused image changed the card";
        if (error.isEmpty())
            return "a refused image gave no reason";
        return nullptr;
    }
    QString invalid;
    if (!ValidateCardImage(image, invalid))
        return "an accepted image is not valid";
    CardImage again;
    if (!ParseCardImage(SerializeCardImage(image), again, error))
        return "a written image does not read back";
    if (!(again == image))
        return "a written image reads back as another card";
    return nullptr;
}

}  // namespace pellucard::fuzz
