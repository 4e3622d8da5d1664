#pragma once

#include <cstdint>
#include <vector>

#include "engine/bytes.h"
#include "engine/sim_file_info.h"

namespace pellucard {

// One BER-TLV data object with a one-byte tag, as the UICC file control parameters, EF DIR and
// EF PBR use them.
struct Tlv {
    std::uint8_t tag = 0;
    Bytes value;
};

// The data objects in bytes [begin, end) of `data`, in order. Lengths may be one byte or the
// 81 xx / 82 xx xx forms. Walking stops at FF or 00 padding and at an object that runs past the
// end, so a damaged record gives what came before the damage and never reads out of bounds.
std::vector<Tlv> ParseTlvs(const Bytes& data, std::size_t begin, std::size_t end);
std::vector<Tlv> ParseTlvs(const Bytes& data);
const Tlv* FindTlv(const std::vector<Tlv>& objects, std::uint8_t tag);

// A PIN named in the PIN status template of a directory's FCP (tag C6).
struct PinStatus {
    std::uint8_t keyReference = 0;  // 01 PIN1 of the application, 81 its PIN2, 11 universal
    bool enabled = false;
};

// A decoded ETSI TS 102 221 FCP template (tag 62): the same file information a GSM 11.11 SELECT
// response gives, for the fields a UICC has, plus what only a UICC says.
struct FcpInfo {
    SimFileInfo info;
    Bytes aid;                    // tag 84, for an application's own directory
    std::vector<PinStatus> pins;  // tag C6, for directories
    std::uint16_t fileSize = 0;   // tag 80: bytes of an elementary file's body
};

// False when `response` is not an FCP template or names no file descriptor (82). An elementary
// file's structure (transparent, linear fixed, cyclic), record length and record count come from
// the descriptor; its size from tag 80. A directory is the master file when its identifier is
// 3F00. Access condition fields stay 0: a UICC gives them as references to EF ARR instead.
bool ParseFcp(const Bytes& response, FcpInfo& out);

// The GSM 11.11 SELECT response of a file, built from decoded information: the layout
// ParseFileInfo reads, so that a card that speaks another command set looks like a GSM SIM to
// the engine. For a record file the size is record count times record length.
Bytes GsmSelectResponse(const SimFileInfo& info);

}  // namespace pellucard
