// Writing a USIM contact back: only the records whose bytes change, the links of type 2 files
// kept in EF IAP, and the change marked in EF PBC and counted in EF CC.
#include <algorithm>

#include "engine/codec_alpha.h"
#include "engine/status_words.h"
#include "engine/usim_phonebook.h"
#include "engine/usim_phonebook_names.h"

namespace pellucard {

namespace {

constexpr std::uint16_t kNotEnoughMemory = 0x6A84;

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
        const Bytes footer =
            EncodePhoneBookRecord(number, "", kPhoneBookFooterLength, AlphaForm::Ucs2);
        std::copy(footer.begin(), footer.end() - 2,
                  record.begin() + static_cast<std::ptrdiff_t>(x));
        record.back() = 0xFF;
    }
    return record;
}

}  // namespace

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
    const std::vector<int> free = FreeRecords(block, file);
    if (free.empty())
        return CardOutcome::Refused(kNotEnoughMemory);
    changed = true;
    // The record goes first: a pointer never names a record not yet written.
    const CardOutcome written =
        WriteRecord(block, file.fileId, free.front(), encode(records[free.front() - 1], length));
    return written.IsDone() ? pointTo(free.front()) : written;
}

std::vector<int> UsimPhoneBook::FreeRecords(const Block& block, const PhoneBookFile& file) const {
    const auto& records = block.records.at(file.fileId);
    const int pointer = block.files.IapIndex(file);
    std::vector<bool> taken(records.size() + 1, false);
    for (const auto& pointers : RecordsOf(block, pbr::kIap)) {
        const auto decoded = DecodeIapRecord(pointers);
        if (pointer >= 0 && pointer < static_cast<int>(decoded.size()) && decoded[pointer] >= 1 &&
            decoded[pointer] <= static_cast<int>(records.size()))
            taken[static_cast<std::size_t>(decoded[pointer])] = true;
    }
    std::vector<int> free;
    for (int candidate = 1; candidate <= static_cast<int>(records.size()); ++candidate) {
        if (!taken[static_cast<std::size_t>(candidate)] && AllFiller(records[candidate - 1]))
            free.push_back(candidate);
    }
    return free;
}

UsimPhoneBook::Room UsimPhoneBook::RoomFor(const Block& block, const PhoneBookFile& file,
                                           int record) const {
    const auto found = block.records.find(file.fileId);
    if (found == block.records.end() || found->second.empty())
        return Room::Nowhere;
    const int size = static_cast<int>(found->second.size());
    const int at = LinkedRecord(block, file, record);
    if (file.linkType == pbr::kType1)
        return at <= size ? Room::Held : Room::Nowhere;
    const PhoneBookFile* iap = block.files.Find(pbr::kIap);
    if (!iap || block.files.IapIndex(file) < 0 ||
        record > static_cast<int>(RecordsOf(block, pbr::kIap).size()))
        return Room::Nowhere;
    return at >= 1 && at <= size ? Room::Held : Room::Free;
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
    const CardOutcome written = folder_.WriteBody(kEfChangeCounter, next);
    if (written.IsDone())
        changeCounter_ = next;
    return written;
}

int UsimPhoneBook::NextUniqueId() const {
    // EF PUID, or where it names none (absent, or FFFF as a card that never set it holds it)
    // the highest identifier an entry has.
    int previous = previousUniqueId_.empty() ? 0 : DecodeUniqueId(previousUniqueId_);
    if (previous == 0) {
        for (const Block& block : blocks_) {
            for (const Bytes& uid : RecordsOf(block, pbr::kUid))
                previous = std::max(previous, DecodeUniqueId(uid));
        }
    }
    return previous >= kLastUniqueId ? 0 : previous + 1;
}

CardOutcome UsimPhoneBook::GiveUniqueId(Block& block, int record) {
    const PhoneBookFile* uid = block.files.Find(pbr::kUid);
    if (!uid || uid->linkType != pbr::kType1)
        return CardOutcome::Done();
    const auto& records = block.records[uid->fileId];
    if (record > static_cast<int>(records.size()))
        return CardOutcome::Done();
    const int id = NextUniqueId();
    if (!previousUniqueId_.empty()) {
        const Bytes previous = EncodeUniqueId(id, previousUniqueId_);
        const CardOutcome written = folder_.WriteBody(kEfPreviousUniqueId, previous);
        if (!written.IsDone())
            return written;
        previousUniqueId_ = previous;
    }
    return WriteRecord(block, uid->fileId, record, EncodeUniqueId(id, records[record - 1]));
}

bool UsimPhoneBook::KeptWhole(const Block& block, const UsimContact& edited) const {
    const UsimContact& read = contacts_[static_cast<std::size_t>(edited.index - 1)];
    // The field length of the file's records, less the type 2 tail; none without records.
    const auto field = [&](const PhoneBookFile& file) -> std::size_t {
        const auto found = block.records.find(file.fileId);
        if (found == block.records.end() || found->second.empty())
            return 0;
        const std::size_t tail = file.linkType == pbr::kType2 ? 2 : 0;
        return found->second.front().size() > tail ? found->second.front().size() - tail : 0;
    };
    const auto textFits = [](const std::string& text, std::size_t length) {
        return length == 0 || text.empty() ||
               DecodeAlpha(EncodeAlpha(text, length, ChooseAlphaForm(text, length))) == text;
    };
    const auto numberFits = [](const std::string& number) {
        const Bytes footer =
            EncodePhoneBookRecord(number, "", kPhoneBookFooterLength, AlphaForm::Ucs2);
        return DecodePhoneBookRecord(footer).Number() == number;
    };
    // Only what changed is written, so only that must fit.
    const Bytes& adn =
        RecordsOf(block, pbr::kAdn)[static_cast<std::size_t>(edited.index - block.first)];
    if (edited.name != read.name &&
        !textFits(edited.name,
                  adn.size() > kPhoneBookFooterLength ? adn.size() - kPhoneBookFooterLength : 0))
        return false;
    if (edited.number != read.number && !numberFits(edited.number))
        return false;
    for (std::size_t i = 0; i < edited.numbers.size(); ++i) {
        const bool same =
            i < read.numbers.size() && read.numbers[i].number == edited.numbers[i].number;
        if (!same && !numberFits(edited.numbers[i].number))
            return false;
    }
    const auto emailFiles = block.files.All(pbr::kEmail);
    for (std::size_t i = 0; i < edited.emails.size() && i < emailFiles.size(); ++i) {
        const bool same = i < read.emails.size() && read.emails[i] == edited.emails[i];
        if (!same && !textFits(edited.emails[i], field(emailFiles[i])))
            return false;
    }
    const PhoneBookFile* sne = block.files.Find(pbr::kSne);
    return edited.secondName == read.secondName || !sne || textFits(edited.secondName, field(*sne));
}

bool UsimPhoneBook::HoldsUniqueId(const Block& block, int record) const {
    const PhoneBookFile* uid = block.files.Find(pbr::kUid);
    if (!uid || uid->linkType != pbr::kType1)
        return true;
    const auto& records = RecordsOf(block, pbr::kUid);
    return record > static_cast<int>(records.size()) ||
           DecodeUniqueId(records[static_cast<std::size_t>(record - 1)]) != 0;
}

CardOutcome UsimPhoneBook::Write(const UsimContact& edited) {
    const bool held = readComplete_ && BlockOf(edited.index);
    return WriteAfterAdn(edited,
                         held ? contacts_[static_cast<std::size_t>(edited.index - 1)] : edited)
        .outcome;
}

CardOutcome UsimPhoneBook::Check(const UsimContact& edited, Reservations* reservations) const {
    const bool held = readComplete_ && BlockOf(edited.index);
    return CheckChange(edited,
                       held ? contacts_[static_cast<std::size_t>(edited.index - 1)] : edited,
                       reservations);
}

CardOutcome UsimPhoneBook::CheckChange(const UsimContact& edited, const UsimContact& before,
                                       Reservations* reservations) const {
    // Links and free records are known only from a whole reading.
    if (!readComplete_)
        return CardOutcome::Refused(status_word::kConditionsNotSatisfied);
    const Block* block = BlockOf(edited.index);
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
    for (const auto& name : edited.groups) {
        if (RecordOfName(block->groupNames, name) == 0 || !block->files.Find(pbr::kGrp))
            return CardOutcome::Refused(status_word::kWrongData);
    }
    for (std::size_t i = 0; i < anrFiles.size() && i < edited.numbers.size(); ++i) {
        const std::string& type = edited.numbers[i].type;
        if (!type.empty() && RecordOfName(block->numberTypes, type) == 0)
            return CardOutcome::Refused(status_word::kWrongData);
    }
    if (!edited.secondName.empty() && !block->files.Find(pbr::kSne))
        return CardOutcome::Refused(status_word::kWrongData);
    if (!KeptWhole(*block, edited))
        return CardOutcome::Refused(status_word::kWrongData);

    // Each value wanted in a file needs a record there: the entry's own, or a free one of a
    // type 2 file that contacts checked before have not taken.
    std::vector<const PhoneBookFile*> wanted;
    for (std::size_t i = 0; i < anrFiles.size(); ++i) {
        if (i < edited.numbers.size() && !edited.numbers[i].number.empty())
            wanted.push_back(&anrFiles[i]);
    }
    for (std::size_t i = 0; i < emailFiles.size(); ++i) {
        if (i < edited.emails.size() && !edited.emails[i].empty())
            wanted.push_back(&emailFiles[i]);
    }
    if (const PhoneBookFile* sne = block->files.Find(pbr::kSne); sne && !edited.secondName.empty())
        wanted.push_back(sne);
    if (const PhoneBookFile* grp = block->files.Find(pbr::kGrp); grp && !edited.groups.empty())
        wanted.push_back(grp);
    const int blockNumber = static_cast<int>(block - blocks_.data()) + 1;
    std::map<std::pair<int, std::uint16_t>, int> taking;
    for (const PhoneBookFile* file : wanted) {
        const Room room = RoomFor(*block, *file, record);
        if (room == Room::Nowhere)
            return CardOutcome::Refused(kNotEnoughMemory);
        if (room == Room::Free) {
            const std::pair<int, std::uint16_t> key{blockNumber, file->fileId};
            const int taken = reservations && reservations->records.contains(key)
                                  ? reservations->records.at(key)
                                  : 0;
            if (++taking[key] + taken > static_cast<int>(FreeRecords(*block, *file).size()))
                return CardOutcome::Refused(kNotEnoughMemory);
        }
    }
    // A new entry of a block with EF UID needs an identifier.
    const bool created = before.IsEmpty() && !edited.IsEmpty();
    const PhoneBookFile* uidFile = block->files.Find(pbr::kUid);
    const bool takesId = created && uidFile && uidFile->linkType == pbr::kType1;
    const int next = NextUniqueId();
    if (takesId &&
        (next == 0 || next + (reservations ? reservations->uniqueIds : 0) > kLastUniqueId))
        return CardOutcome::Refused(kNotEnoughMemory);
    if (reservations) {
        for (const auto& [key, count] : taking)
            reservations->records[key] += count;
        reservations->uniqueIds += takesId ? 1 : 0;
    }
    return CardOutcome::Done();
}

CardResult<bool> UsimPhoneBook::WriteAfterAdn(const UsimContact& edited,
                                              const UsimContact& before) {
    // Every refusal comes before anything is written.
    if (const CardOutcome checked = CheckChange(edited, before, nullptr); !checked.IsDone())
        return {false, checked};
    Block* block = BlockOf(edited.index);
    const int record = edited.index - block->first + 1;
    const auto anrFiles = block->files.All(pbr::kAnr);
    const auto emailFiles = block->files.All(pbr::kEmail);
    std::vector<int> groups;
    for (const auto& name : edited.groups)
        groups.push_back(RecordOfName(block->groupNames, name));
    std::vector<std::uint8_t> types;
    for (std::size_t i = 0; i < anrFiles.size(); ++i) {
        const std::string type = i < edited.numbers.size() ? edited.numbers[i].type : "";
        types.push_back(static_cast<std::uint8_t>(RecordOfName(block->numberTypes, type)));
    }
    const UsimContact read = contacts_[static_cast<std::size_t>(edited.index - 1)];
    const bool created = before.IsEmpty() && !edited.IsEmpty();

    // A name or number another run wrote is a change of this entry as much as the fields.
    const bool changedByRun = before.name != read.name || before.number != read.number;
    bool changed = changedByRun;
    CardOutcome outcome = CardOutcome::Done();
    const PhoneBookFile& adnFile = *block->files.Find(pbr::kAdn);
    const AdnLink link{adnFile.sfi != 0 ? adnFile.sfi : std::uint8_t{0xFF},
                       static_cast<std::uint8_t>(record)};
    auto& adnRecords = block->records[adnFile.fileId];
    const Bytes adn = EditAdnRecord(adnRecords[record - 1], edited.name, edited.number);
    if (adn != adnRecords[record - 1]) {
        changed = true;
        outcome = WriteRecord(*block, adnFile.fileId, record, adn);
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
                const std::string readType =
                    typed ? NameOfRecord(block->numberTypes, anr.aasRecord) : "";
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
    const UsimContact now = Decode(*block, record);
    contacts_[static_cast<std::size_t>(edited.index - 1)] = now;
    if (outcome.IsLinkFailed())
        return {false, outcome};
    // Refused part way by the card: only what reached it is a change.
    if (!outcome.IsDone())
        changed = changedByRun || now != read;
    if (!changed)
        return {false, outcome};
    // What was written stays written, so its bookkeeping is kept even when the card refused a
    // later record: no later run could tell that the entry changed. An entry that had no
    // identifier (written by a program that keeps none) gets one too, while any are left; only
    // a new entry is refused for want of one.
    const bool wantsId = (created && !now.IsEmpty()) ||
                         (!now.IsEmpty() && !HoldsUniqueId(*block, record) && NextUniqueId() != 0);
    CardOutcome kept = wantsId ? GiveUniqueId(*block, record) : CardOutcome::Done();
    if (kept.IsDone())
        kept = CountChange(*block, record);
    return {kept.IsDone(), outcome.IsDone() ? kept : outcome};
}

}  // namespace pellucard
