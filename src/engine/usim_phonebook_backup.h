#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/bytes.h"
#include "engine/card_outcome.h"
#include "engine/phonebook_folder.h"
#include "engine/usim_files.h"
#include "engine/usim_phonebook_codecs.h"

namespace pellucard {

// What a whole-card backup holds of a USIM phone book (3GPP TS 31.102 4.4.2), and what a
// restore makes of it.

// EF PBR, which lists the files of DF PHONEBOOK but for those of fixed identifiers: EF PSC, EF CC
// and EF PUID (usim_phonebook_codecs.h).
inline constexpr std::uint16_t kEfPhoneBookReferences = 0x4F30;

// One file of a USIM phone book, byte for byte: a linear fixed file's records (record n at
// index n - 1), or a transparent file's body.
struct BackupPhoneBookFile {
    std::uint16_t fileId = 0;
    int recordLength = 0;  // 0 for a transparent file
    std::vector<Bytes> records;
    Bytes body;

    bool IsTransparent() const { return recordLength == 0; }
    bool operator==(const BackupPhoneBookFile&) const = default;
};

// One DF PHONEBOOK: EF PBR first, then each file its records list (once, in the order they
// list them) that the card has, then EF PSC, EF CC and EF PUID where the card has them.
struct BackupUsimPhoneBook {
    PhoneBookPlace place = PhoneBookPlace::Global;
    std::vector<BackupPhoneBookFile> files;

    const BackupPhoneBookFile* Find(std::uint16_t fileId) const;
    // The files EF PBR lists, by its records held here.
    std::vector<PhoneBookFile> Listed() const;
    bool operator==(const BackupUsimPhoneBook&) const = default;
};

// The name of one of its files, as TS 31.102 writes it ("EF ANR"); "EF 4F99" for one it does
// not name.
std::string UsimPhoneBookFileName(const BackupUsimPhoneBook& book, std::uint16_t fileId);

// What a restore will do with a USIM phone book of the backup on the card in the reader.
enum class UsimPhoneBookFit {
    Fits,           // the card has it with the same files, record lengths and record counts
    NotOnCard,      // the card has no such phone book, or keeps its EF PBR closed
    LayoutDiffers,  // its EF PBR lists other files, or a file has another size: not written
};

struct UsimPhoneBookPlan {
    PhoneBookPlace place = PhoneBookPlace::Global;
    UsimPhoneBookFit fit = UsimPhoneBookFit::NotOnCard;
};

// What became of a USIM phone book in a restore.
enum class UsimPhoneBookEnding {
    Unchanged,      // the card held the backup's bytes: nothing was written
    Written,        // the records and bodies that differed were written and read back unchanged
    NotOnCard,      // nothing written: see UsimPhoneBookFit
    LayoutDiffers,  //
    Refused,        // the card refused a read or an update (failure holds its status word)
    Mismatch,       // a record or body read back differently from what was written
    LinkFailed,     // the link failed here, which ended the whole restore
    Stopped,        // the user stopped the restore here
};

struct UsimPhoneBookRestore {
    PhoneBookPlace place = PhoneBookPlace::Global;
    UsimPhoneBookEnding ending = UsimPhoneBookEnding::Unchanged;
    int written = 0;           // records and bodies written
    std::uint16_t fileId = 0;  // where it ended, when neither written nor unchanged
    int record = 0;            // the record it ended at; 0 for a transparent file's body
    CardOutcome failure;

    bool Restored() const {
        return ending == UsimPhoneBookEnding::Unchanged || ending == UsimPhoneBookEnding::Written;
    }
};

}  // namespace pellucard
