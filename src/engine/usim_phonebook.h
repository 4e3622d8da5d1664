#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/bytes.h"
#include "engine/card_outcome.h"
#include "engine/card_runs.h"
#include "engine/phonebook_entry.h"
#include "engine/phonebook_folder.h"
#include "engine/usim_phonebook_codecs.h"

namespace pellucard {

// An additional number of a contact with its type (the text of its EF AAS record).
struct ContactNumber {
    std::string number;
    std::string type;
    bool operator==(const ContactNumber&) const = default;
};

// One entry of a USIM phone book: its ADN record and what the files beside the ADN file hold
// for it, found through type 1 links (the same record number) and type 2 links (EF IAP).
// Callers edit the text fields; the engine keeps what it read, to write back only what changed.
struct UsimContact {
    int index = 0;  // 1.. over the whole phone book, block after block
    std::string name;
    std::string number;  // "+" and digits when international
    // Slot i is the number of the block's i-th ANR file; an empty number is no number.
    std::vector<ContactNumber> numbers;
    // Slot i is the address of the block's i-th EMAIL file.
    std::vector<std::string> emails;
    std::string secondName;
    std::vector<std::string> groups;  // names from EF GAS

    bool IsEmpty() const;
    bool operator==(const UsimContact&) const = default;
};

// The USIM phone book of one DF PHONEBOOK: EF PBR's blocks, each an ADN file with its ANR,
// EMAIL, SNE, GRP, IAP and PBC files and the type 3 files they name (GAS, AAS). Reading it reads
// every listed file whole through the shared card runs; writing a contact writes only the
// records whose bytes change, allocates a free record of a type 2 file for a new number or
// e-mail (and points EF IAP at it), frees the record of one removed, gives a new entry its
// unique identifier (EF UID, EF PUID), and then marks the entry changed in EF PBC and counts the
// change in EF CC.
class UsimPhoneBook {
public:
    UsimPhoneBook(Pellucard& engine, PhoneBookPlace place) : folder_(engine, place) {}

    // Reads EF PBR. Done when it lists at least one block; refused with the card's status word
    // when the card has no such file (a GSM phone book has none).
    CardOutcome Open(const CardRunHooks& hooks = {});
    // Reads every file of every block. The hooks go to each file's run in turn.
    CardRunResult Read(const CardRunHooks& hooks = {});
    // The file the last Read ended at when it did not complete; 0 when it did.
    std::uint16_t UnreadFile() const { return unreadFile_; }

    const std::vector<UsimContact>& Contacts() const { return contacts_; }
    // Where a contact sits: its block (1 for EF PBR's first record) and its record in that
    // block's ADN file; {0, 0} for an index no block holds.
    struct Place {
        int block = 0;
        int record = 0;
        bool operator==(const Place&) const = default;
    };
    Place PlaceOf(int index) const;
    // The index of record `record` of block `block`; 0 when the phone book has none there.
    int IndexOf(int block, int record) const;
    // The group names EF GAS offers and the number types EF AAS offers, of the contact's block.
    std::vector<std::string> GroupNames(int index) const;
    std::vector<std::string> NumberTypes(int index) const;
    // How many additional numbers and e-mails the contact's block has room for.
    int NumberSlots(int index) const;
    int EmailSlots(int index) const;

    // What contacts checked one after another take of the card: free records of type 2 files
    // (by block and file) and new unique identifiers. Checking several contacts against one
    // Reservations refuses the one that would find none left because an earlier one took it.
    struct Reservations {
        std::map<std::pair<int, std::uint16_t>, int> records;
        int uniqueIds = 0;
    };
    // Every refusal Write would give `edited`, without writing anything: done when Write would
    // write it whole unless the card itself refuses an UPDATE or stops answering. With
    // `reservations`, what a contact found acceptable takes is added to them.
    CardOutcome Check(const UsimContact& edited, Reservations* reservations = nullptr) const;

    // Writes `edited` over the contact with its index, after a complete Read (else refused with
    // 69 85). Refused with 6A 80 (wrong data) when a changed text or number would not reach the
    // card whole (too long, or characters a number cannot hold), or when it names a group or
    // number type the block does not offer or has more numbers or e-mails than slots; with
    // 6A 84 when no free record is left for a new one. These refusals come from Check, before
    // anything is written. A refusal of an UPDATE by the card comes part way: the records
    // written before it stay written, and the entry's identifier, mark and count are still
    // given for them before the refusal is returned.
    CardOutcome Write(const UsimContact& edited);
    // Writes `edited` as Write does, for an entry whose EF ADN record another run (the plain
    // record run of names and numbers) may have written already: `before` is the entry as the
    // card held it before that run. The entry's change, by that run and by this write together,
    // is kept once: an entry that was empty (or holds no identifier) gets its EF UID, and the
    // entry is marked in EF PBC and counted in EF CC. An entry deleted frees its linked records
    // and keeps its identifier, which EF PUID never gives again. Nothing is written, and the
    // value is false, when neither run changed the entry. Refused as Write is; the value tells
    // whether the change was kept in EF PBC and EF CC, also when refused part way.
    CardResult<bool> WriteAfterAdn(const UsimContact& edited, const UsimContact& before);

    // The change counter as last read or written (0 when the card has no EF CC).
    int ChangeCounter() const { return DecodeChangeCounter(changeCounter_); }

private:
    struct Block {
        PhoneBookBlock files;
        int first = 1;                                        // index of its first contact
        std::map<std::uint16_t, std::vector<Bytes>> records;  // by file identifier
        std::vector<std::string> groupNames;                  // EF GAS, record 1 first
        std::vector<std::string> numberTypes;                 // EF AAS
    };

    // The records read of the block's first file of this kind; none when it lists none.
    static const std::vector<Bytes>& RecordsOf(const Block& block, std::uint8_t kind);
    const Block* BlockOf(int index) const;
    Block* BlockOf(int index);
    UsimContact Decode(const Block& block, int record) const;
    // The record of a type 1 or type 2 file that belongs to ADN record `record`; 0 when none.
    int LinkedRecord(const Block& block, const PhoneBookFile& file, int record) const;
    CardOutcome WriteRecord(Block& block, std::uint16_t fileId, int number, const Bytes& raw);
    // Writes the contact's record of `file` as `encode` makes it from the record read (empty
    // when there is none); for a type 2 file allocates or frees the record and updates EF IAP.
    CardOutcome WriteLinked(
        Block& block, const PhoneBookFile& file, int record, bool wanted,
        const std::function<Bytes(const Bytes& read, std::size_t length)>& encode, bool& changed);
    CardOutcome CountChange(Block& block, int record);
    // The refusals of a write of `edited` over an entry that was `before`, without writing.
    CardOutcome CheckChange(const UsimContact& edited, const UsimContact& before,
                            Reservations* reservations) const;
    // Where a wanted value of `file` goes for ADN record `record`: a record the entry has (or
    // a type 1 record), a free record of a type 2 file, or nowhere (refused with 6A 84).
    enum class Room { Held, Free, Nowhere };
    Room RoomFor(const Block& block, const PhoneBookFile& file, int record) const;
    // The records of a type 2 file that are all filler and named by no entry's IAP record.
    std::vector<int> FreeRecords(const Block& block, const PhoneBookFile& file) const;
    // The identifier a new entry gets: the one after EF PUID's (or, on a card without EF PUID,
    // after the highest in EF UID); 0 when none is left.
    int NextUniqueId() const;
    // Gives a new entry of a block that lists EF UID its identifier: EF PUID first, so that an
    // identifier is never given twice, then the entry's EF UID record.
    CardOutcome GiveUniqueId(Block& block, int record);
    // Whether the entry's EF UID record holds an identifier (true where the block has no EF UID:
    // there is none to give).
    bool HoldsUniqueId(const Block& block, int record) const;
    // Every changed text and number of `edited` fits its field whole and holds only what the
    // card can store: nothing is cut on the way to the card.
    bool KeptWhole(const Block& block, const UsimContact& edited) const;

    PhoneBookFolder folder_;
    std::vector<Block> blocks_;
    std::vector<UsimContact> contacts_;
    Bytes changeCounter_;
    Bytes previousUniqueId_;  // EF PUID as last read or written; empty when the card has none
    bool readComplete_ = false;
    std::uint16_t unreadFile_ = 0;
};

}  // namespace pellucard
