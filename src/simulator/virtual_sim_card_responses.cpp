#include "simulator/virtual_sim_card_responses.h"

namespace pellucard {

namespace {

constexpr std::uint8_t kChv1Disabled = 0x80;
constexpr std::uint8_t kCodeCount = 4;  // CHV1, CHV2 and their unblock codes
constexpr std::uint8_t kIncreaseAllowed = 0x40;
constexpr std::uint8_t kNotInvalidated = 0x01;
constexpr std::uint8_t kReadableWhenInvalidated = 0x04;

std::uint8_t High(std::size_t value) {
    return static_cast<std::uint8_t>(value >> 8 & 0xFF);
}
std::uint8_t Low(std::size_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

Bytes GsmDirectoryResponse(const SimFileTree& tree, int directory, const SimChvState& chv,
                           const GsmCardFacts& facts) {
    Bytes response(23, 0x00);  // RFU bytes stay 00
    response[2] = High(facts.freeMemory);
    response[3] = Low(facts.freeMemory);
    response[4] = High(tree.Id(directory));
    response[5] = Low(tree.Id(directory));
    response[6] = static_cast<std::uint8_t>(tree.File(directory).type);
    response[12] = 10;  // length of the GSM specific data that follows
    response[13] = static_cast<std::uint8_t>(facts.fileCharacteristics |
                                             (chv.Chv1Enabled() ? 0 : kChv1Disabled));
    response[14] = static_cast<std::uint8_t>(tree.CountChildren(directory, true));
    response[15] = static_cast<std::uint8_t>(tree.CountChildren(directory, false));
    response[16] = kCodeCount;
    response[18] = chv.StatusByte(1, false);
    response[19] = chv.StatusByte(1, true);
    response[20] = chv.StatusByte(2, false);
    response[21] = chv.StatusByte(2, true);
    return response;
}

Bytes GsmElementaryFileResponse(const SimFileTree& tree, int file) {
    const auto& ef = tree.File(file);
    Bytes response(15, 0x00);  // RFU bytes stay 00
    response[2] = High(ef.Size());
    response[3] = Low(ef.Size());
    response[4] = High(tree.Id(file));
    response[5] = Low(tree.Id(file));
    response[6] = static_cast<std::uint8_t>(SimFileType::kElementary);
    if (ef.structure == EfStructure::kCyclic && ef.increaseAllowed)
        response[7] = kIncreaseAllowed;
    response[8] = static_cast<std::uint8_t>(ef.access.read << 4 | ef.access.update);
    response[9] = static_cast<std::uint8_t>(ef.access.increase << 4);
    response[10] = static_cast<std::uint8_t>(ef.access.rehabilitate << 4 | ef.access.invalidate);
    response[11] =
        static_cast<std::uint8_t>((ef.invalidated ? 0 : kNotInvalidated) |
                                  (ef.readableWhenInvalidated ? kReadableWhenInvalidated : 0));
    response[12] = 2;  // length of the data that follows
    response[13] = static_cast<std::uint8_t>(ef.structure);
    if (ef.IsRecordFile())
        response[14] = static_cast<std::uint8_t>(ef.recordLength);
    return response;
}

}  // namespace pellucard
