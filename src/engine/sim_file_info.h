#pragma once

#include <cstdint>

#include "engine/bytes.h"

namespace pellucard {

// A decoded GSM 11.11 SELECT response. Master and dedicated files fill the directory fields,
// elementary files the EF fields; both fill the identifier.
struct SimFileInfo {
    // Elementary file
    std::uint8_t updateAccess = 0;
    std::uint8_t readAccess = 0;
    std::uint8_t increaseAccess = 0;
    std::uint8_t invalidateAccess = 0;
    std::uint8_t rehabilitateAccess = 0;
    std::uint8_t invalidated = 0;
    std::uint8_t usableWhenInvalidated = 0;
    std::uint8_t structure = 0;  // 0 transparent, 1 linear fixed, 3 cyclic
    std::int16_t sizeOrRecordCount = 0;
    std::uint8_t fileType = 0;  // 1 master file, 2 dedicated file, 4 elementary file
    std::uint8_t increaseAllowed = 0;
    std::uint8_t recordLength = 0;
    // Master or dedicated file
    std::uint32_t characteristicsBit = 0;
    std::uint8_t chv1Disabled = 0;  // 0x80 when CHV1 is switched off
    std::uint8_t chv2AttemptsLeft = 0;
    std::uint8_t chv1AttemptsLeft = 0;
    std::uint8_t chv2Initialised = 0;
    std::uint8_t chv1Initialised = 0;
    std::uint8_t unblockChv2AttemptsLeft = 0;
    std::uint8_t unblockChv1AttemptsLeft = 0;
    std::uint8_t unblockChv2Initialised = 0;
    std::uint8_t unblockChv1Initialised = 0;
    std::uint8_t numberOfDfs = 0;
    std::uint8_t numberOfEfs = 0;
    std::uint8_t numberOfCodes = 0;
    // Both
    std::uint8_t fileIdHigh = 0;
    std::uint8_t fileIdLow = 0;

    bool operator==(const SimFileInfo&) const = default;
};

inline constexpr std::uint8_t kFileTypeMaster = 1;
inline constexpr std::uint8_t kFileTypeDedicated = 2;
inline constexpr std::uint8_t kFileTypeElementary = 4;

// The records a record file holds. A size field that reads as negative (a transparent file of
// 32 kB or more answering where a record file was expected) holds none: a count the card
// cannot mean never reaches a read loop or the card information.
std::int16_t RecordsHeld(const SimFileInfo& info);

// The shortest SELECT responses that hold what the engine reads (GSM 11.11): an EF's
// mandatory bytes up to its structure, a record file's with its record length (a transparent
// EF may leave that byte out), and a master or dedicated file's with the CHV bytes.
inline constexpr std::size_t kElementaryResponseLength = 14;
inline constexpr std::size_t kRecordFileResponseLength = 15;
inline constexpr std::size_t kDirectoryResponseLength = 22;
// The reader's own file status layout, up to the file identifier.
inline constexpr std::size_t kReaderFileStatusLength = 31;

// Decodes a SELECT response. A response shorter than the layout (a card answers a failed
// SELECT with just its two status words) reads its missing bytes as 0.
SimFileInfo ParseFileInfo(const Bytes& response);

// The reader keeps the same record in a layout of its own (at least 31 bytes): the eight EF
// fields from update access to structure, size big-endian, file type, increase allowed,
// record length, four unused bytes, then the directory fields from CHV1 disabled to the
// identifier. Missing bytes read as 0.
SimFileInfo ParseReaderFileStatus(const Bytes& block);
Bytes ReaderFileStatusLayout(const SimFileInfo& info);

}  // namespace pellucard
