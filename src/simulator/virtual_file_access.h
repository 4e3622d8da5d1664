#pragma once

#include <cstddef>
#include <cstdint>

#include "simulator/card_image.h"

namespace pellucard {

// How a read or update of a virtual card's elementary file ended. Each card turns this into
// its own status words: GSM 11.11 for the GSM SIM, TS 102 221 for the UICC.
enum class FileAccessResult {
    kOk,
    kOutOfRange,      // the offset lies past the end of the file
    kWrongLength,     // the data would run past the end of the file, or there is none
    kRecordNotFound,  // no record in that mode from the record pointer
    kWrongMode,       // a cyclic file is written in PREVIOUS mode only
};

// The binary and record commands on the current elementary file that the virtual GSM SIM and
// the virtual UICC share, with the record pointer they move. Access conditions, the file's
// structure and P3 are checked by the card before it calls here.
class VirtualFileAccess {
public:
    // READ RECORD / UPDATE RECORD modes in P2.
    static constexpr std::uint8_t kModeNext = 0x02;
    static constexpr std::uint8_t kModePrevious = 0x03;
    static constexpr std::uint8_t kModeAbsolute = 0x04;
    static bool IsRecordMode(std::uint8_t p2) { return p2 >= kModeNext && p2 <= kModeAbsolute; }

    // A SELECT or a reset: the next record command starts afresh.
    void ForgetRecordPointer() { recordPointer_ = 0; }

    // `length` bytes of a transparent file's body from `offset`.
    FileAccessResult ReadBinary(const CardFile& file, std::size_t offset, std::size_t length,
                                Bytes& data) const;
    FileAccessResult UpdateBinary(CardFile& file, std::size_t offset, const Bytes& data) const;

    // The record that `number` (absolute mode; 0 the current record) or the mode names, moving
    // the record pointer as GSM 11.11 8.5 and TS 102 221 11.1.5 have it; `index` is 0-based.
    FileAccessResult FindRecord(const CardFile& file, std::uint8_t number, std::uint8_t mode,
                                std::size_t& index);
    // GSM 11.11 8.6: a cyclic file is written in PREVIOUS mode only; the oldest record is
    // overwritten and becomes record 1. A record written with other bytes loses its comment.
    FileAccessResult UpdateRecord(CardFile& file, std::uint8_t number, std::uint8_t mode,
                                  const Bytes& data);
    // Writes record `index` (0-based) of a linear fixed file found with FindRecord.
    static void WriteRecord(CardFile& file, std::size_t index, const Bytes& data);

private:
    std::size_t recordPointer_ = 0;  // 1-based; 0 before the first record command
};

}  // namespace pellucard
