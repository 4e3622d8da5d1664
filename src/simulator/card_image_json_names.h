#pragma once

#include <QString>

#include <cstdint>

#include "simulator/card_image.h"

namespace pellucard::card_image_json {

// What a card image file calls itself, and the words it uses for GSM values.
inline constexpr char kFormat[] = "pellucard-sim-card";
inline constexpr int kVersion = 1;

// Access condition levels: ALW, CHV1, CHV2, RFU, ADM (level 4), ADM5 .. ADME, NEV.
QString AccessText(std::uint8_t level);
bool AccessLevel(const QString& text, std::uint8_t& level);

// "transparent", "linear fixed", "cyclic".
QString StructureText(EfStructure structure);
bool StructureFromText(const QString& text, EfStructure& structure);

}  // namespace pellucard::card_image_json
