#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/bytes.h"
#include "engine/codec_alpha.h"
#include "engine/usim_files.h"

namespace pellucard {

// The records of a USIM phone book (3GPP TS 31.102 4.4.2): DF PHONEBOOK holds EF PBR, which
// lists in each record the files of one block of the phone book, and beside the ADN file the
// files that add to its entries. Every decoder keeps the record it read; every encoder starts
// from that record and changes only the fields whose value changed, so that a record written
// back unchanged is the record read, byte for byte.

// The tags of EF PBR: the link types around the file tags.
namespace pbr {
inline constexpr std::uint8_t kType1 = 0xA8;  // one record per ADN record, same record number
inline constexpr std::uint8_t kType2 = 0xA9;  // records found through EF IAP
inline constexpr std::uint8_t kType3 = 0xAA;  // records named by other records (GAS, AAS, EXT1)

inline constexpr std::uint8_t kAdn = 0xC0;
inline constexpr std::uint8_t kIap = 0xC1;
inline constexpr std::uint8_t kExt1 = 0xC2;
inline constexpr std::uint8_t kSne = 0xC3;
inline constexpr std::uint8_t kAnr = 0xC4;
inline constexpr std::uint8_t kPbc = 0xC5;
inline constexpr std::uint8_t kGrp = 0xC6;
inline constexpr std::uint8_t kAas = 0xC7;
inline constexpr std::uint8_t kGas = 0xC8;
inline constexpr std::uint8_t kUid = 0xC9;
inline constexpr std::uint8_t kEmail = 0xCA;
inline constexpr std::uint8_t kCcp1 = 0xCB;
}  // namespace pbr

// The files one record of EF PBR lists.
struct PhoneBookBlock {
    std::vector<PhoneBookFile> files;

    // The `occurrence`-th file of this kind (a block may list two ANR or EMAIL files), or none.
    const PhoneBookFile* Find(std::uint8_t kind, int occurrence = 0) const;
    std::vector<PhoneBookFile> All(std::uint8_t kind) const;
    // Where a type 2 file's record numbers sit in EF IAP: its place among the type 2 files in
    // the order the record lists them; -1 for a file of another link type.
    int IapIndex(const PhoneBookFile& file) const;
};

// The blocks of EF PBR, one a record, in record order; records that list no ADN file (unused
// records, all FF) end the list, as later blocks could not be numbered.
std::vector<PhoneBookBlock> ParsePhoneBookBlocks(const std::vector<Bytes>& pbrRecords);
// One EF PBR record of `recordLength` bytes listing `files`, grouped by link type in the
// order type 1, type 2, type 3; FF filler after. Empty when the files do not fit.
Bytes EncodePhoneBookBlock(const std::vector<PhoneBookFile>& files, std::size_t recordLength);

// Where a type 2 record says it belongs (its last two bytes): the ADN file's short file
// identifier and the ADN record.
struct AdnLink {
    std::uint8_t adnSfi = 0xFF;
    std::uint8_t adnRecord = 0xFF;
    bool operator==(const AdnLink&) const = default;
};

// EF ANR (4.4.2.9): an additional number of an entry. Bytes: AAS record (the number's type, as
// "work"), length of the number part, TON/NPI, ten digit bytes, CCP2 and EXT1 record
// identifiers, and for a type 2 file the AdnLink.
inline constexpr std::size_t kAnrLength = 15;
struct AnrRecord {
    std::uint8_t aasRecord = 0x00;  // 00 or FF: no type
    std::string number;             // "+" and digits when international
    std::uint8_t ccpRecord = 0xFF;
    std::uint8_t extRecord = 0xFF;
    AdnLink link;  // type 2 only
    Bytes raw;     // the record as read

    bool IsEmpty() const { return number.empty(); }
};
AnrRecord DecodeAnrRecord(const Bytes& record, bool type2);
// An empty number gives an unused record (all FF).
Bytes EncodeAnrRecord(const AnrRecord& anr, std::size_t recordLength, bool type2);

// EF EMAIL (4.4.2.13) and EF SNE (4.4.2.12): a text in the alpha coding of TS 102 221 annex A
// (the GSM 11.11 annex B forms), then for a type 2 file the AdnLink.
struct TextRecord {
    std::string text;
    AdnLink link;  // type 2 only
    Bytes raw;

    bool IsEmpty() const { return text.empty(); }
};
TextRecord DecodeTextRecord(const Bytes& record, bool type2);
// An empty text gives an unused record. `form` is the UCS2 form for texts outside the GSM
// alphabet (see EncodeAlpha).
Bytes EncodeTextRecord(const TextRecord& text, std::size_t recordLength, bool type2,
                       AlphaForm form);

// A record all FF: an unused record of any of these files.
bool AllFiller(const Bytes& record);

// EF GRP (4.4.2.6): the groups of an entry, each a record number of EF GAS; 00 marks no group.
std::vector<int> DecodeGroupRecord(const Bytes& record);
// The record read with its groups set to `groups` (as many as fit), 00 after them; the record
// read when the groups are the same.
Bytes EncodeGroupRecord(const std::vector<int>& groups, const Bytes& read,
                        std::size_t recordLength);

// EF IAP (4.4.2.2): for each type 2 file, in EF PBR's order, the record of that file that
// belongs to the entry; 00 or FF marks none (given as 0).
std::vector<int> DecodeIapRecord(const Bytes& record);
// The record read with the pointer at `index` set to `recordNumber` (0 writes FF).
Bytes SetIapPointer(const Bytes& read, int index, int recordNumber, std::size_t recordLength);

// EF PBC (4.4.2.5): byte 1, entry control (b1: the entry was changed); byte 2, hidden entry.
bool EntryMarkedChanged(const Bytes& record);
// The record read with b1 of the entry control set, every other bit kept.
Bytes MarkEntryChanged(const Bytes& read);

// EF CC (4.4.2.12.3): the phone book's change counter, two bytes; one more for every change,
// FFFF wrapping to 0001. Its identifier is fixed; EF PBR does not list it.
inline constexpr std::uint16_t kEfChangeCounter = 0x4F23;
int DecodeChangeCounter(const Bytes& body);
Bytes NextChangeCounter(const Bytes& body);

// EF UID (4.4.2.12.1, type 1 in EF PBR): each entry's unique identifier, two bytes, given when
// the entry is created: the value after EF PUID's (4.4.2.12.4, fixed identifier 4F24), which
// then holds it. 0000 and FFFF name no entry; once FFFE is used up the phone book must be
// synchronised anew (EF PSC 4F22 counts that), which this program leaves to the phones.
inline constexpr std::uint16_t kEfSynchronisationCounter = 0x4F22;
inline constexpr std::uint16_t kEfPreviousUniqueId = 0x4F24;
inline constexpr int kLastUniqueId = 0xFFFE;
// The identifier a record or body holds in its first two bytes; 0 for none (0000, FFFF or cut).
int DecodeUniqueId(const Bytes& bytes);
// `read` with its first two bytes set to `id`, every other byte kept.
Bytes EncodeUniqueId(int id, const Bytes& read);

}  // namespace pellucard
