#include "engine/usim_phonebook_codecs.h"

#include <algorithm>
#include <span>

#include "engine/codec_alpha.h"
#include "engine/phonebook_entry.h"

namespace pellucard {

namespace {

constexpr std::size_t kLinkLength = 2;
// The number part of an ANR record (length, TON/NPI, ten digit bytes) starts at its second
// byte and is laid out as the number part of an ADN record.
constexpr std::size_t kAnrNumberAt = 1;
constexpr std::size_t kNumberPartLength = 12;

Bytes Fitted(const Bytes& read, std::size_t length) {
    Bytes record = read;
    record.resize(length, 0xFF);
    return record;
}

// The ADN decoder reads a number from the last 14 bytes of a record: hand it the number part
// with two filler bytes for CCP and EXT.
std::string NumberAt(const Bytes& record, std::size_t at) {
    if (record.size() < at + kNumberPartLength)
        return {};
    Bytes footer(record.begin() + static_cast<std::ptrdiff_t>(at),
                 record.begin() + static_cast<std::ptrdiff_t>(at + kNumberPartLength));
    footer.resize(kPhoneBookFooterLength, 0xFF);
    return DecodePhoneBookRecord(footer).Number();
}

void WriteNumberAt(const std::string& number, Bytes& record, std::size_t at) {
    const Bytes footer = EncodePhoneBookRecord(number, "", kPhoneBookFooterLength, AlphaForm::Ucs2);
    std::copy_n(footer.begin(), kNumberPartLength,
                record.begin() + static_cast<std::ptrdiff_t>(at));
}

AdnLink LinkAt(const Bytes& record, bool type2, std::size_t shortest) {
    if (!type2 || record.size() < shortest + kLinkLength)
        return {};
    return {record[record.size() - 2], record[record.size() - 1]};
}

void WriteLink(const AdnLink& link, Bytes& record) {
    record[record.size() - 2] = link.adnSfi;
    record[record.size() - 1] = link.adnRecord;
}

}  // namespace

const PhoneBookFile* PhoneBookBlock::Find(std::uint8_t kind, int occurrence) const {
    for (const auto& file : files) {
        if (file.kind == kind && occurrence-- == 0)
            return &file;
    }
    return nullptr;
}

std::vector<PhoneBookFile> PhoneBookBlock::All(std::uint8_t kind) const {
    std::vector<PhoneBookFile> found;
    std::copy_if(files.begin(), files.end(), std::back_inserter(found),
                 [kind](const PhoneBookFile& file) { return file.kind == kind; });
    return found;
}

int PhoneBookBlock::IapIndex(const PhoneBookFile& file) const {
    if (file.linkType != pbr::kType2)
        return -1;
    int index = 0;
    for (const auto& listed : files) {
        if (listed.linkType != pbr::kType2)
            continue;
        if (listed.kind == file.kind && listed.fileId == file.fileId)
            return index;
        ++index;
    }
    return -1;
}

std::vector<PhoneBookBlock> ParsePhoneBookBlocks(const std::vector<Bytes>& pbrRecords) {
    std::vector<PhoneBookBlock> blocks;
    for (const auto& record : pbrRecords) {
        PhoneBookBlock block{ParsePhoneBookReferences(record)};
        if (!block.Find(pbr::kAdn))
            break;
        blocks.push_back(std::move(block));
    }
    return blocks;
}

Bytes EncodePhoneBookBlock(const std::vector<PhoneBookFile>& files, std::size_t recordLength) {
    Bytes record;
    for (const std::uint8_t link : {pbr::kType1, pbr::kType2, pbr::kType3}) {
        Bytes group;
        for (const auto& file : files) {
            if (file.linkType != link)
                continue;
            const bool withSfi = file.sfi != 0;
            group.push_back(file.kind);
            group.push_back(withSfi ? 3 : 2);
            group.push_back(static_cast<std::uint8_t>(file.fileId >> 8));
            group.push_back(static_cast<std::uint8_t>(file.fileId & 0xFF));
            if (withSfi)
                group.push_back(file.sfi);
        }
        if (group.empty())
            continue;
        if (group.size() > 0x7F)
            return {};
        record.push_back(link);
        record.push_back(static_cast<std::uint8_t>(group.size()));
        record.insert(record.end(), group.begin(), group.end());
    }
    if (record.size() > recordLength)
        return {};
    record.resize(recordLength, 0xFF);
    return record;
}

AnrRecord DecodeAnrRecord(const Bytes& record, bool type2) {
    AnrRecord anr;
    anr.raw = record;
    if (record.size() < kAnrLength)
        return anr;
    anr.aasRecord = record[0];
    anr.number = NumberAt(record, kAnrNumberAt);
    anr.ccpRecord = record[13];
    anr.extRecord = record[14];
    anr.link = LinkAt(record, type2, kAnrLength);
    return anr;
}

Bytes EncodeAnrRecord(const AnrRecord& anr, std::size_t recordLength, bool type2) {
    if (recordLength < kAnrLength + (type2 ? kLinkLength : 0))
        return {};
    if (anr.IsEmpty())
        return Bytes(recordLength, 0xFF);
    Bytes record = Fitted(anr.raw, recordLength);
    record[0] = anr.aasRecord;
    // Digits the program shows the same way may be stored in more than one way (filler
    // nibbles, the type byte's spare bit): an unchanged number keeps the card's bytes.
    if (NumberAt(anr.raw, kAnrNumberAt) != anr.number || anr.raw.size() < kAnrLength)
        WriteNumberAt(anr.number, record, kAnrNumberAt);
    record[13] = anr.ccpRecord;
    record[14] = anr.extRecord;
    if (type2)
        WriteLink(anr.link, record);
    return record;
}

TextRecord DecodeTextRecord(const Bytes& record, bool type2) {
    TextRecord text;
    text.raw = record;
    const std::size_t tail = type2 ? kLinkLength : 0;
    if (record.size() <= tail)
        return text;
    text.text = DecodeAlpha(std::span<const std::uint8_t>(record.data(), record.size() - tail));
    text.link = LinkAt(record, type2, 1);
    return text;
}

Bytes EncodeTextRecord(const TextRecord& text, std::size_t recordLength, bool type2,
                       AlphaForm form) {
    const std::size_t tail = type2 ? kLinkLength : 0;
    if (recordLength <= tail)
        return {};
    if (text.IsEmpty())
        return Bytes(recordLength, 0xFF);
    Bytes record = Fitted(text.raw, recordLength);
    const std::size_t field = recordLength - tail;
    const bool sameText =
        text.raw.size() == recordLength &&
        DecodeAlpha(std::span<const std::uint8_t>(text.raw.data(), field)) == text.text;
    if (!sameText) {
        const Bytes encoded = EncodeAlpha(text.text, field, form);
        std::copy(encoded.begin(), encoded.end(), record.begin());
    }
    if (type2)
        WriteLink(text.link, record);
    return record;
}

bool AllFiller(const Bytes& record) {
    return std::all_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0xFF; });
}

std::vector<int> DecodeGroupRecord(const Bytes& record) {
    std::vector<int> groups;
    for (const std::uint8_t id : record) {
        if (id != 0x00 && id != 0xFF)
            groups.push_back(id);
    }
    return groups;
}

Bytes EncodeGroupRecord(const std::vector<int>& groups, const Bytes& read,
                        std::size_t recordLength) {
    if (read.size() == recordLength && DecodeGroupRecord(read) == groups)
        return read;
    Bytes record(recordLength, 0x00);
    std::size_t at = 0;
    for (const int group : groups) {
        if (at == recordLength)
            break;
        if (group >= 1 && group <= 254)
            record[at++] = static_cast<std::uint8_t>(group);
    }
    return record;
}

std::vector<int> DecodeIapRecord(const Bytes& record) {
    std::vector<int> pointers;
    for (const std::uint8_t pointer : record)
        pointers.push_back(pointer == 0xFF ? 0 : pointer);
    return pointers;
}

Bytes SetIapPointer(const Bytes& read, int index, int recordNumber, std::size_t recordLength) {
    Bytes record = Fitted(read, recordLength);
    if (index < 0 || static_cast<std::size_t>(index) >= recordLength)
        return record;
    record[static_cast<std::size_t>(index)] =
        recordNumber >= 1 && recordNumber <= 254 ? static_cast<std::uint8_t>(recordNumber) : 0xFF;
    return record;
}

bool EntryMarkedChanged(const Bytes& record) {
    return !record.empty() && (record[0] & 0x01) != 0;
}

Bytes MarkEntryChanged(const Bytes& read) {
    Bytes record = Fitted(read, std::max<std::size_t>(read.size(), 2));
    record[0] = static_cast<std::uint8_t>(record[0] | 0x01);
    return record;
}

int DecodeChangeCounter(const Bytes& body) {
    return body.size() < 2 ? 0 : body[0] << 8 | body[1];
}

Bytes NextChangeCounter(const Bytes& body) {
    int next = DecodeChangeCounter(body) + 1;
    if (next > 0xFFFF)
        next = 0x0001;
    Bytes counter = Fitted(body, std::max<std::size_t>(body.size(), 2));
    counter[0] = static_cast<std::uint8_t>(next >> 8);
    counter[1] = static_cast<std::uint8_t>(next & 0xFF);
    return counter;
}

int DecodeUniqueId(const Bytes& bytes) {
    const int id = DecodeChangeCounter(bytes);
    return id == 0xFFFF ? 0 : id;
}

Bytes EncodeUniqueId(int id, const Bytes& read) {
    Bytes bytes = Fitted(read, std::max<std::size_t>(read.size(), 2));
    bytes[0] = static_cast<std::uint8_t>(id >> 8);
    bytes[1] = static_cast<std::uint8_t>(id & 0xFF);
    return bytes;
}

}  // namespace pellucard
