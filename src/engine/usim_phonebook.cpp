#include "engine/usim_phonebook.h"

#include <algorithm>
#include <span>
#include <utility>

#include "engine/codec_alpha.h"
#include "engine/status_words.h"

namespace pellucard {

namespace {

constexpr std::uint16_t kEfPbr = 0x4F30;
constexpr std::uint16_t kEfCc = 0x4F23;  // fixed identifier, not listed in EF PBR
constexpr std::uint16_t kNotEnoughMemory = 0x6A84;

// The files a contact is read from; the rest (EXT1, UID, CCP1) are kept as they are.
constexpr std::uint8_t kFilesRead[] = {pbr::kAdn, pbr::kIap, pbr::kAnr, pbr::kEmail, pbr::kSne,
                                       pbr::kGrp, pbr::kPbc, pbr::kGas, pbr::kAas};

bool AllFiller(const Bytes& record) {
    return std::all_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0xFF; });
}

std::vector<std::string> AlphaTexts(const std::vector<Bytes>& records) {
    std::vector<std::string> texts;
    for (const auto& record : records)
        texts.push_back(DecodeAlpha(std::span<const std::uint8_t>(record.data(), record.size())));
    return texts;
}

// A group or number type by its record: its text, or "#n" when the record has none, so that
// the name leads back to the same record.
std::string NameOf(const std::vector<std::string>& names, int record) {
    if (record >= 1 && record <= static_cast<int>(names.size()) && !names[record - 1].empty())
        return names[record - 1];
    return "#" + std::to_string(record);
}

// The record a name stands for; 0 when none.
int RecordOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty() && names[i] == name)
            return static_cast<int>(i + 1);
    }
    if (name.size() > 1 && name[0] == '#') {
        const std::string digits = name.substr(1);
        if (digits.size() <= 3 && std::all_of(digits.begin(), digits.end(),
                                              [](char c) { return c >= '0' && c <= '9'; })) {
            const int record = std::stoi(digits);
            return record >= 1 && record <= 254 ? record : 0;
        }
    }
    return 0;
}

// The ADN record read with the name and the number changed where they differ from what it
// holds; every other byte stays. A new number drops the extension record the old one used.
Bytes EditAdnRecord(const Bytes& read, const std::string& name, const std::string& number) {
    const PhoneBookEntry entry = DecodePhoneBookRecord(read);
    if (!entry.wellFormed)
        return read;
    Bytes record = read;
    const std::size_t x = read.size() - kPhoneBookFooterLength;
    if (entry.name != name) {
        const Bytes alpha = EncodeAlpha(name, x, ChooseAlphaForm(name, x));
        std::copy(alpha.begin(), alpha.end(), record.begin());
    }
    if (entry.Number() != number) {
        const Bytes footer = EncodePhoneBookRecord(number, "", kPhoneBookFooterLength, kAlphaUcs2);
        std::copy(footer.begin(), footer.end() - 2,
                  record.begin() + static_cast<std::ptrdiff_t>(x));
        record.back() = 0xFF;
    }
    return record;
}

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
            if (!last.Complete())
                return last;
        }
        block.groupNames = AlphaTexts(RecordsOf(block, pbr::kGas));
        block.numberTypes = AlphaTexts(RecordsOf(block, pbr::kAas));
        const int count = static_cast<int>(RecordsOf(block, pbr::kAdn).size());
        for (int record = 1; record <= count; ++record)
            contacts_.push_back(Decode(block, record));
        first += count;
    }
    // The change counter is optional: a card without one keeps none.
    const CardResult<Bytes> counter = folder_.ReadBody(kEfCc);
    if (counter.outcome.IsLinkFailed()) {
        last.ending = RunEnding::LinkFailed;
        last.failure = counter.outcome;
        return last;
    }
    changeCounter_ = counter.IsDone() ? counter.value : Bytes{};
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
                number.type = NameOf(block.numberTypes, anr.aasRecord);
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
                contact.groups.push_back(NameOf(block.groupNames, group));
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

CardOutcome UsimPhoneBook::WriteRecord(Block& block, std::uint16_t fileId, int number,
                                       const Bytes& raw) {
    const CardOutcome written = WriteOneRecord(folder_, fileId, number, raw);
    if (written.IsDone())
        block.records[fileId][static_cast<std::size_t>(number - 1)] = raw;
    return written;
}

CardOutcome UsimPhoneBook::WriteLinked(
    Block& block, const PhoneBookFile& file, int record, bool wanted,
    const std::function<Bytes(const Bytes& read, std::size_t length)>& encode, bool& changed) {
    auto& records = block.records[file.fileId];
    if (records.empty())
        return wanted ? CardOutcome::Refused(kNotEnoughMemory) : CardOutcome::Done();
    const std::size_t length = records.front().size();
    const int at = LinkedRecord(block, file, record);
    if (file.linkType == pbr::kType1) {
        if (at > static_cast<int>(records.size()))
            return wanted ? CardOutcome::Refused(kNotEnoughMemory) : CardOutcome::Done();
        const Bytes bytes = encode(records[at - 1], length);
        if (bytes == records[at - 1])
            return CardOutcome::Done();
        changed = true;
        return WriteRecord(block, file.fileId, at, bytes);
    }
    // Type 2: the record EF IAP points at.
    const PhoneBookFile* iap = block.files.Find(pbr::kIap);
    const int pointer = block.files.IapIndex(file);
    if (!iap || pointer < 0 || record > static_cast<int>(block.records[iap->fileId].size()))
        return wanted ? CardOutcome::Refused(kNotEnoughMemory) : CardOutcome::Done();
    const std::size_t iapLength = block.records[iap->fileId].front().size();
    const auto pointTo = [&](int target) {
        const Bytes iapRecord =
            SetIapPointer(block.records[iap->fileId][record - 1], pointer, target, iapLength);
        return WriteRecord(block, iap->fileId, record, iapRecord);
    };
    if (at >= 1 && at <= static_cast<int>(records.size())) {
        const Bytes bytes = encode(records[at - 1], length);
        if (bytes == records[at - 1])
            return CardOutcome::Done();
        if (!wanted) {
            // The pointer goes first: a record left behind is wasted, never shared.
            changed = true;
            const CardOutcome unlinked = pointTo(0);
            return unlinked.IsDone() ? WriteRecord(block, file.fileId, at, Bytes(length, 0xFF))
                                     : unlinked;
        }
        changed = true;
        return WriteRecord(block, file.fileId, at, bytes);
    }
    if (!wanted)
        return CardOutcome::Done();
    // A free record: all filler, and named by no entry's IAP record.
    std::vector<bool> taken(records.size() + 1, false);
    for (const auto& pointers : block.records[iap->fileId]) {
        const auto decoded = DecodeIapRecord(pointers);
        if (pointer < static_cast<int>(decoded.size()) && decoded[pointer] >= 1 &&
            decoded[pointer] <= static_cast<int>(records.size()))
            taken[static_cast<std::size_t>(decoded[pointer])] = true;
    }
    int free = 0;
    for (int candidate = 1; candidate <= static_cast<int>(records.size()) && free == 0;
         ++candidate) {
        if (!taken[static_cast<std::size_t>(candidate)] && AllFiller(records[candidate - 1]))
            free = candidate;
    }
    if (free == 0)
        return CardOutcome::Refused(kNotEnoughMemory);
    changed = true;
    // The record goes first: a pointer never names a record not yet written.
    const CardOutcome written =
        WriteRecord(block, file.fileId, free, encode(records[free - 1], length));
    return written.IsDone() ? pointTo(free) : written;
}

CardOutcome UsimPhoneBook::CountChange(Block& block, int record) {
    if (const PhoneBookFile* pbc = block.files.Find(pbr::kPbc)) {
        const auto& records = block.records[pbc->fileId];
        if (pbc->linkType == pbr::kType1 && record <= static_cast<int>(records.size())) {
            const Bytes marked = MarkEntryChanged(records[record - 1]);
            if (marked != records[record - 1]) {
                const CardOutcome written = WriteRecord(block, pbc->fileId, record, marked);
                if (!written.IsDone())
                    return written;
            }
        }
    }
    if (changeCounter_.empty())
        return CardOutcome::Done();
    const Bytes next = NextChangeCounter(changeCounter_);
    const CardOutcome written = folder_.WriteBody(kEfCc, next);
    if (written.IsDone())
        changeCounter_ = next;
    return written;
}

CardOutcome UsimPhoneBook::Write(const UsimContact& edited) {
    // Links and free records are known only from a whole reading.
    if (!readComplete_)
        return CardOutcome::Refused(status_word::kConditionsNotSatisfied);
    Block* block = BlockOf(edited.index);
    if (!block)
        return CardOutcome::Refused(status_word::kOutOfRange);
    const int record = edited.index - block->first + 1;
    const auto anrFiles = block->files.All(pbr::kAnr);
    const auto emailFiles = block->files.All(pbr::kEmail);
    const auto beyond = [](const auto& values, std::size_t slots, const auto& empty) {
        return std::any_of(
            values.begin() + static_cast<std::ptrdiff_t>(std::min(slots, values.size())),
            values.end(), [&](const auto& v) { return !empty(v); });
    };
    if (beyond(edited.numbers, anrFiles.size(),
               [](const ContactNumber& n) { return n.number.empty(); }) ||
        beyond(edited.emails, emailFiles.size(), [](const std::string& s) { return s.empty(); }))
        return CardOutcome::Refused(status_word::kWrongData);
    // Names to records, before anything is written.
    std::vector<int> groups;
    for (const auto& name : edited.groups) {
        const int group = RecordOf(block->groupNames, name);
        if (group == 0 || !block->files.Find(pbr::kGrp))
            return CardOutcome::Refused(status_word::kWrongData);
        groups.push_back(group);
    }
    std::vector<std::uint8_t> types;
    for (std::size_t i = 0; i < anrFiles.size(); ++i) {
        const std::string type = i < edited.numbers.size() ? edited.numbers[i].type : "";
        const int found = RecordOf(block->numberTypes, type);
        if (!type.empty() && found == 0)
            return CardOutcome::Refused(status_word::kWrongData);
        types.push_back(static_cast<std::uint8_t>(found));
    }
    if (!edited.secondName.empty() && !block->files.Find(pbr::kSne))
        return CardOutcome::Refused(status_word::kWrongData);

    bool changed = false;
    CardOutcome outcome = CardOutcome::Done();
    const auto finish = [&](const CardOutcome& result) {
        contacts_[static_cast<std::size_t>(edited.index - 1)] = Decode(*block, record);
        return result;
    };
    const PhoneBookFile& adnFile = *block->files.Find(pbr::kAdn);
    const AdnLink link{adnFile.sfi != 0 ? adnFile.sfi : std::uint8_t{0xFF},
                       static_cast<std::uint8_t>(record)};
    auto& adnRecords = block->records[adnFile.fileId];
    const Bytes adn = EditAdnRecord(adnRecords[record - 1], edited.name, edited.number);
    if (adn != adnRecords[record - 1]) {
        changed = true;
        outcome = WriteRecord(*block, adnFile.fileId, record, adn);
        if (!outcome.IsDone())
            return finish(outcome);
    }

    for (std::size_t i = 0; i < anrFiles.size() && outcome.IsDone(); ++i) {
        const ContactNumber wanted =
            i < edited.numbers.size() ? edited.numbers[i] : ContactNumber{};
        const bool type2 = anrFiles[i].linkType == pbr::kType2;
        outcome = WriteLinked(
            *block, anrFiles[i], record, !wanted.number.empty(),
            [&](const Bytes& raw, std::size_t length) {
                AnrRecord anr = DecodeAnrRecord(raw, type2);
                const bool typed = !anr.IsEmpty() && anr.aasRecord != 0x00 && anr.aasRecord != 0xFF;
                const std::string readType = typed ? NameOf(block->numberTypes, anr.aasRecord) : "";
                // What the card holds already stays as it is, byte for byte.
                if (anr.number == wanted.number && (anr.IsEmpty() || readType == wanted.type))
                    return raw;
                if (wanted.number.empty())
                    return Bytes(length, 0xFF);
                if (anr.number != wanted.number)
                    anr.extRecord = 0xFF;  // the old number's extension digits are not the new's
                if (readType != wanted.type || AllFiller(raw))
                    anr.aasRecord = types[i];
                anr.number = wanted.number;
                anr.link = link;
                return EncodeAnrRecord(anr, length, type2);
            },
            changed);
    }
    const auto writeText = [&](const PhoneBookFile& file, const std::string& text) {
        const bool type2 = file.linkType == pbr::kType2;
        return WriteLinked(
            *block, file, record, !text.empty(),
            [&](const Bytes& raw, std::size_t length) {
                TextRecord record = DecodeTextRecord(raw, type2);
                if (record.text == text)
                    return raw;
                if (text.empty())
                    return Bytes(length, 0xFF);
                record.text = text;
                record.link = link;
                const std::size_t field = length - (type2 ? 2 : 0);
                return EncodeTextRecord(record, length, type2, ChooseAlphaForm(text, field));
            },
            changed);
    };
    for (std::size_t i = 0; i < emailFiles.size() && outcome.IsDone(); ++i)
        outcome = writeText(emailFiles[i], i < edited.emails.size() ? edited.emails[i] : "");
    if (const PhoneBookFile* sne = block->files.Find(pbr::kSne); sne && outcome.IsDone())
        outcome = writeText(*sne, edited.secondName);
    if (const PhoneBookFile* grp = block->files.Find(pbr::kGrp); grp && outcome.IsDone()) {
        outcome = WriteLinked(
            *block, *grp, record, !groups.empty(),
            [&](const Bytes& raw, std::size_t length) {
                return EncodeGroupRecord(groups, raw, length);
            },
            changed);
    }
    if (changed && outcome.IsDone())
        outcome = CountChange(*block, record);
    return finish(outcome);
}

}  // namespace pellucard
