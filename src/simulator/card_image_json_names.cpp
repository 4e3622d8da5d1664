#include "simulator/card_image_json_names.h"

namespace pellucard::card_image_json {

namespace {

struct AccessName {
    std::uint8_t level;
    const char* name;
};
constexpr AccessName kAccessNames[] = {
    {access_level::kAlways, "ALW"}, {access_level::kChv1, "CHV1"},
    {access_level::kChv2, "CHV2"},  {0x3, "RFU"},
    {access_level::kAdm, "ADM"},    {access_level::kNever, "NEV"},
};

struct StructureName {
    EfStructure structure;
    const char* name;
};
constexpr StructureName kStructureNames[] = {
    {EfStructure::kTransparent, "transparent"},
    {EfStructure::kLinearFixed, "linear fixed"},
    {EfStructure::kCyclic, "cyclic"},
};

}  // namespace

QString AccessText(std::uint8_t level) {
    for (const auto& entry : kAccessNames) {
        if (entry.level == level)
            return QLatin1String(entry.name);
    }
    return QStringLiteral("ADM%1").arg(level, 1, 16).toUpper();
}

bool AccessLevel(const QString& text, std::uint8_t& level) {
    for (const auto& entry : kAccessNames) {
        if (text == QLatin1String(entry.name)) {
            level = entry.level;
            return true;
        }
    }
    // ADM4 .. ADME: the administrative levels by their nibble.
    bool ok = false;
    const int value =
        text.startsWith(QLatin1String("ADM")) && text.size() == 4 ? text.mid(3).toInt(&ok, 16) : -1;
    if (!ok || value < access_level::kAdm || value >= access_level::kNever)
        return false;
    level = static_cast<std::uint8_t>(value);
    return true;
}

QString StructureText(EfStructure structure) {
    for (const auto& entry : kStructureNames) {
        if (entry.structure == structure)
            return QLatin1String(entry.name);
    }
    return {};
}

bool StructureFromText(const QString& text, EfStructure& structure) {
    for (const auto& entry : kStructureNames) {
        if (text == QLatin1String(entry.name)) {
            structure = entry.structure;
            return true;
        }
    }
    return false;
}

}  // namespace pellucard::card_image_json
