#include "engine/sim_file_info.h"

#include <algorithm>
#include <cmath>

namespace pellucard {

namespace {

std::uint8_t At(const Bytes& bytes, std::size_t index) {
    return index < bytes.size() ? bytes[index] : 0;
}

// Records in a file: size divided by record length, rounded to the nearest integer with
// halves to even, as the card's own division does.
std::int16_t RecordCount(std::uint16_t size, std::uint8_t recordLength) {
    if (recordLength == 0)
        return 0;
    const double count = std::nearbyint(static_cast<double>(size) / recordLength);
    return static_cast<std::int16_t>(std::min(count, 32767.0));
}

}  // namespace

std::int16_t RecordsHeld(const SimFileInfo& info) {
    return std::max<std::int16_t>(info.sizeOrRecordCount, 0);
}

SimFileInfo ParseFileInfo(const Bytes& r) {
    SimFileInfo info;
    info.fileType = At(r, 6);
    info.fileIdHigh = At(r, 4);
    info.fileIdLow = At(r, 5);

    if (info.fileType == kFileTypeElementary) {
        info.updateAccess = At(r, 8) & 0x0F;
        info.readAccess = At(r, 8) >> 4;
        info.increaseAccess = At(r, 9) >> 4;
        info.invalidateAccess = At(r, 10) & 0x0F;
        info.rehabilitateAccess = At(r, 10) >> 4;
        info.invalidated = At(r, 11) & 0x01;
        info.usableWhenInvalidated = At(r, 11) & 0x04;
        info.structure = At(r, 13);
        if (info.structure == 2)
            info.increaseAllowed = At(r, 7) & 0x40;
        // The file size is unsigned on the card; only the stored field is 16-bit signed.
        const auto size = static_cast<std::uint16_t>(At(r, 2) << 8 | At(r, 3));
        if (info.structure != 0) {
            info.recordLength = At(r, 14);
            info.sizeOrRecordCount = RecordCount(size, info.recordLength);
        } else {
            info.sizeOrRecordCount = static_cast<std::int16_t>(size);
        }
    } else {
        info.characteristicsBit = At(r, 13) & 0x02;
        info.chv1Disabled = At(r, 13) & 0x80;
        info.chv2AttemptsLeft = At(r, 20) & 0x0F;
        info.chv1AttemptsLeft = At(r, 18) & 0x0F;
        info.chv1Initialised = At(r, 18) & 0x80;
        info.unblockChv1AttemptsLeft = At(r, 19) & 0x0F;
        info.unblockChv1Initialised = At(r, 19) & 0x80;
        info.chv2Initialised = At(r, 20) & 0x80;
        info.unblockChv2AttemptsLeft = At(r, 21) & 0x0F;
        info.unblockChv2Initialised = At(r, 21) & 0x80;
        info.numberOfDfs = At(r, 14);
        info.numberOfEfs = At(r, 15);
        info.numberOfCodes = At(r, 16);
    }
    return info;
}

SimFileInfo ParseReaderFileStatus(const Bytes& b) {
    SimFileInfo info;
    info.updateAccess = At(b, 0);
    info.readAccess = At(b, 1);
    info.increaseAccess = At(b, 2);
    info.invalidateAccess = At(b, 3);
    info.rehabilitateAccess = At(b, 4);
    info.invalidated = At(b, 5);
    info.usableWhenInvalidated = At(b, 6);
    info.structure = At(b, 7);
    info.sizeOrRecordCount = static_cast<std::int16_t>(At(b, 8) << 8 | At(b, 9));
    info.fileType = At(b, 10);
    info.increaseAllowed = At(b, 11);
    info.recordLength = At(b, 12);
    info.chv1Disabled = At(b, 17);
    info.chv2AttemptsLeft = At(b, 18);
    info.chv1AttemptsLeft = At(b, 19);
    info.chv2Initialised = At(b, 20);
    info.chv1Initialised = At(b, 21);
    info.unblockChv2AttemptsLeft = At(b, 22);
    info.unblockChv1AttemptsLeft = At(b, 23);
    info.unblockChv2Initialised = At(b, 24);
    info.unblockChv1Initialised = At(b, 25);
    info.numberOfDfs = At(b, 26);
    info.numberOfEfs = At(b, 27);
    info.numberOfCodes = At(b, 28);
    info.fileIdHigh = At(b, 29);
    info.fileIdLow = At(b, 30);
    return info;
}

Bytes ReaderFileStatusLayout(const SimFileInfo& i) {
    const auto size = static_cast<std::uint16_t>(i.sizeOrRecordCount);
    return Bytes{i.updateAccess,
                 i.readAccess,
                 i.increaseAccess,
                 i.invalidateAccess,
                 i.rehabilitateAccess,
                 i.invalidated,
                 i.usableWhenInvalidated,
                 i.structure,
                 static_cast<std::uint8_t>(size >> 8),
                 static_cast<std::uint8_t>(size & 0xFF),
                 i.fileType,
                 i.increaseAllowed,
                 i.recordLength,
                 0,
                 0,
                 0,
                 0,
                 i.chv1Disabled,
                 i.chv2AttemptsLeft,
                 i.chv1AttemptsLeft,
                 i.chv2Initialised,
                 i.chv1Initialised,
                 i.unblockChv2AttemptsLeft,
                 i.unblockChv1AttemptsLeft,
                 i.unblockChv2Initialised,
                 i.unblockChv1Initialised,
                 i.numberOfDfs,
                 i.numberOfEfs,
                 i.numberOfCodes,
                 i.fileIdHigh,
                 i.fileIdLow};
}

}  // namespace pellucard
