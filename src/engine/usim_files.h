#pragma once

#include <cstdint>
#include <vector>

#include "engine/bytes.h"

namespace pellucard {

// Files a UICC keeps that a GSM SIM has no counterpart of, decoded for the GSM view of the card.

// The application identifiers listed in one record of EF DIR (2F00): application templates
// (tag 61) with their AID (tag 4F).
std::vector<Bytes> ApplicationIds(const Bytes& dirRecord);
// 3GPP TS 31.101: a USIM's AID starts with the RID A000000087 and the application code 1002;
// like every AID it has at most 16 bytes.
bool IsUsimAid(const Bytes& aid);

// A file named by EF PBR (4F30) of the global phone book (3GPP TS 31.102 4.4.2.1).
struct PhoneBookFile {
    std::uint8_t kind = 0;      // the file's tag: C0 ADN, C2 EXT1, C3 SNE, C4 ANR, CA EMAIL, ...
    std::uint8_t linkType = 0;  // A8 type 1, A9 type 2, AA type 3
    std::uint16_t fileId = 0;
    std::uint8_t sfi = 0;  // short file identifier, 0 when none is given

    bool operator==(const PhoneBookFile&) const = default;
};
inline constexpr std::uint8_t kPbrAdn = 0xC0;

// The files one PBR record lists, in the order it lists them. A damaged record gives the files
// before the damage.
std::vector<PhoneBookFile> ParsePhoneBookReferences(const Bytes& pbrRecord);

// The GSM 11.11 SIM service table (two bits a service: allocated, activated) that says of the
// GSM services what a USIM service table (EF UST, one bit a service) says of their USIM
// counterparts. CHV1 disabling and the abbreviated dialling numbers are always offered.
Bytes GsmServiceTableFromUst(const Bytes& ust);
// The reverse, for a USIM made from a GSM card's files.
Bytes UstFromGsmServiceTable(const Bytes& sst);

}  // namespace pellucard
