#include "engine/usim_phonebook.h"

#include <algorithm>
#include <utility>

#include "engine/status_words.h"
#include "engine/usim_phonebook_names.h"

namespace pellucard {

namespace {

constexpr std::uint16_t kEfPbr = 0x4F30;

// The files a contact is read from; the rest (EXT1, CCP1) are kept as they are.
constexpr std::uint8_t kFilesRead[] = {pbr::kAdn, pbr::kIap, pbr::kAnr, pbr::kEmail, pbr::kSne,
                                       pbr::kGrp, pbr::kPbc, pbr::kGas, pbr::kAas,   pbr::kUid};

}  // namespace

bool UsimContact::IsEmpty() const {
    const auto noNumber = [](const ContactNumber& n) { return n.number.empty(); };
    const auto noText = [](const std::string& s) { return s.empty(); };
    return name.empty() && number.empty() && secondName.empty() && groups.empty() &&
           std::all_of(numbers.begin(), numbers.end(), noNumber) &&
           std::all_of(emails.begin(), emails.end(), noText);
}

CardOutcome UsimPhoneBook::Open(const CardRunHooks& hooks) {
    blocks_.clear();
    contacts_.clear();
    readComplete_ = false;
    unreadFile_ = 0;
    std::vector<Bytes> records;
    const CardRunResult run = ReadWholeFile(folder_, kEfPbr, records, hooks);
    if (!run.Complete())
        return OutcomeOf(run);
    for (auto& files : ParsePhoneBookBlocks(records))
        blocks_.push_back(Block{std::move(files), 1, {}, {}, {}});
    if (blocks_.empty())
        return CardOutcome::Refused(status_word::kRecordNotFound);
    return CardOutcome::Done();
}

CardRunResult UsimPhoneBook::Read(const CardRunHooks& hooks) {
    contacts_.clear();
    readComplete_ = false;
    unreadFile_ = 0;
    CardRunResult last;
    last.ending = RunEnding::NotEntered;
    int first = 1;
    for (auto& block : blocks_) {
        block.first = first;
        block.records.clear();
        for (const auto& file : block.files.files) {
            if (std::find(std::begin(kFilesRead), std::end(kFilesRead), file.kind) ==
                    std::end(kFilesRead) ||
                block.records.count(file.fileId))
                continue;
            last = ReadWholeFile(folder_, file.fileId, block.records[file.fileId], hooks);
            if (!last.Complete()) {
                unreadFile_ = file.fileId;
                return last;
            }
        }
        block.groupNames = RecordTexts(RecordsOf(block, pbr::kGas));
        block.numberTypes = RecordTexts(RecordsOf(block, pbr::kAas));
        const int count = static_cast<int>(RecordsOf(block, pbr::kAdn).size());
        for (int record = 1; record <= count; ++record)
            contacts_.push_back(Decode(block, record));
        first += count;
    }
    // The change counter is optional: a card without one keeps none.
    const CardResult<Bytes> counter = folder_.ReadBody(kEfChangeCounter);
    if (counter.outcome.IsLinkFailed()) {
        last.ending = RunEnding::LinkFailed;
        last.failure = counter.outcome;
        return last;
    }
    changeCounter_ = counter.IsDone() ? counter.value : Bytes{};
    const CardResult<Bytes> previous = folder_.ReadBody(kEfPreviousUniqueId);
    if (previous.outcome.IsLinkFailed()) {
        last.ending = RunEnding::LinkFailed;
        last.failure = previous.outcome;
        return last;
    }
    previousUniqueId_ = previous.IsDone() ? previous.value : Bytes{};
    readComplete_ = last.Complete();
    return last;
}

const std::vector<Bytes>& UsimPhoneBook::RecordsOf(const Block& block, std::uint8_t kind) {
    static const std::vector<Bytes> none;
    const PhoneBookFile* file = block.files.Find(kind);
    if (!file)
        return none;
    const auto found = block.records.find(file->fileId);
    return found == block.records.end() ? none : found->second;
}

const UsimPhoneBook::Block* UsimPhoneBook::BlockOf(int index) const {
    for (const auto& block : blocks_) {
        const int count = static_cast<int>(RecordsOf(block, pbr::kAdn).size());
        if (index >= block.first && index < block.first + count)
            return &block;
    }
    return nullptr;
}

UsimPhoneBook::Place UsimPhoneBook::PlaceOf(int index) const {
    const Block* block = BlockOf(index);
    if (!block)
        return {};
    return {static_cast<int>(block - blocks_.data()) + 1, index - block->first + 1};
}

int UsimPhoneBook::IndexOf(int block, int record) const {
    if (block < 1 || block > static_cast<int>(blocks_.size()) || record < 1)
        return 0;
    const Block& held = blocks_[static_cast<std::size_t>(block - 1)];
    return record <= static_cast<int>(RecordsOf(held, pbr::kAdn).size()) ? held.first + record - 1
                                                                         : 0;
}

UsimPhoneBook::Block* UsimPhoneBook::BlockOf(int index) {
    return const_cast<Block*>(std::as_const(*this).BlockOf(index));
}

int UsimPhoneBook::LinkedRecord(const Block& block, const PhoneBookFile& file, int record) const {
    if (file.linkType == pbr::kType1)
        return record;
    const PhoneBookFile* iap = block.files.Find(pbr::kIap);
    const int at = block.files.IapIndex(file);
    if (file.linkType != pbr::kType2 || !iap || at < 0)
        return 0;
    const auto& iapRecords = RecordsOf(block, pbr::kIap);
    if (record > static_cast<int>(iapRecords.size()))
        return 0;
    const auto pointers = DecodeIapRecord(iapRecords[record - 1]);
    return at < static_cast<int>(pointers.size()) ? pointers[at] : 0;
}

UsimContact UsimPhoneBook::Decode(const Block& block, int record) const {
    UsimContact contact;
    contact.index = block.first + record - 1;
    const PhoneBookEntry adn = DecodePhoneBookRecord(RecordsOf(block, pbr::kAdn)[record - 1]);
    contact.name = adn.name;
    contact.number = adn.Number();
    // The record of `file` that belongs to this entry, or nothing.
    const auto linked = [&](const PhoneBookFile& file) -> const Bytes* {
        const int at = LinkedRecord(block, file, record);
        const auto found = block.records.find(file.fileId);
        if (found == block.records.end() || at < 1 || at > static_cast<int>(found->second.size()))
            return nullptr;
        return &found->second[static_cast<std::size_t>(at - 1)];
    };
    for (const auto& file : block.files.All(pbr::kAnr)) {
        ContactNumber number;
        if (const Bytes* raw = linked(file)) {
            const AnrRecord anr = DecodeAnrRecord(*raw, file.linkType == pbr::kType2);
            number.number = anr.number;
            if (!anr.IsEmpty() && anr.aasRecord != 0x00 && anr.aasRecord != 0xFF)
                number.type = NameOfRecord(block.numberTypes, anr.aasRecord);
        }
        contact.numbers.push_back(number);
    }
    for (const auto& file : block.files.All(pbr::kEmail)) {
        const Bytes* raw = linked(file);
        contact.emails.push_back(raw ? DecodeTextRecord(*raw, file.linkType == pbr::kType2).text
                                     : std::string());
    }
    if (const PhoneBookFile* sne = block.files.Find(pbr::kSne)) {
        if (const Bytes* raw = linked(*sne))
            contact.secondName = DecodeTextRecord(*raw, sne->linkType == pbr::kType2).text;
    }
    if (const PhoneBookFile* grp = block.files.Find(pbr::kGrp)) {
        if (const Bytes* raw = linked(*grp)) {
            for (const int group : DecodeGroupRecord(*raw))
                contact.groups.push_back(NameOfRecord(block.groupNames, group));
        }
    }
    return contact;
}

std::vector<std::string> UsimPhoneBook::GroupNames(int index) const {
    const Block* block = BlockOf(index);
    return block ? block->groupNames : std::vector<std::string>{};
}

std::vector<std::string> UsimPhoneBook::NumberTypes(int index) const {
    const Block* block = BlockOf(index);
    return block ? block->numberTypes : std::vector<std::string>{};
}

int UsimPhoneBook::NumberSlots(int index) const {
    const Block* block = BlockOf(index);
    return block ? static_cast<int>(block->files.All(pbr::kAnr).size()) : 0;
}

int UsimPhoneBook::EmailSlots(int index) const {
    const Block* block = BlockOf(index);
    return block ? static_cast<int>(block->files.All(pbr::kEmail).size()) : 0;
}

}  // namespace pellucard
