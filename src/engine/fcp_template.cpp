#include "engine/fcp_template.h"

#include <algorithm>

namespace pellucard {

namespace {

constexpr std::uint8_t kFcpTemplate = 0x62;
constexpr std::uint8_t kFileDescriptor = 0x82;
constexpr std::uint8_t kFileIdentifier = 0x83;
constexpr std::uint8_t kDfName = 0x84;
constexpr std::uint8_t kFileSize = 0x80;
constexpr std::uint8_t kLifeCycle = 0x8A;
constexpr std::uint8_t kPinStatusTemplate = 0xC6;
constexpr std::uint8_t kPinStatusDo = 0x90;
constexpr std::uint8_t kKeyReference = 0x83;

// File descriptor byte (TS 102 221 11.1.1.4.3): 0x38 in bits 6..4 is a DF or ADF; the low three
// bits of an EF give its structure.
constexpr std::uint8_t kDirectoryBits = 0x38;
constexpr std::uint8_t kStructureTransparent = 0x01;
constexpr std::uint8_t kStructureLinearFixed = 0x02;
constexpr std::uint8_t kStructureCyclic = 0x06;

// Life cycle status 04/06 (deactivated) is what GSM 11.11 calls invalidated.
bool Deactivated(std::uint8_t lifeCycle) {
    return (lifeCycle & 0xFD) == 0x04;
}

std::uint32_t BigEndian(const Bytes& value) {
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < value.size() && i < 4; ++i)
        number = number << 8 | value[i];
    return number;
}

std::uint8_t High(std::uint32_t value) {
    return static_cast<std::uint8_t>(value >> 8 & 0xFF);
}
std::uint8_t Low(std::uint32_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// PS_DO is a bit map over the key references that follow it: the first byte's bit 8 stands for
// the first reference, bit 7 for the second, and so on; a set bit means the PIN is enabled.
std::vector<PinStatus> ParsePinStatus(const Bytes& value) {
    std::vector<PinStatus> pins;
    Bytes map;
    for (const auto& object : ParseTlvs(value)) {
        if (object.tag == kPinStatusDo) {
            map = object.value;
        } else if (object.tag == kKeyReference && !object.value.empty()) {
            const std::size_t index = pins.size();
            const bool enabled =
                index / 8 < map.size() && (map[index / 8] & (0x80 >> (index % 8))) != 0;
            pins.push_back({object.value[0], enabled});
        }
    }
    return pins;
}

}  // namespace

std::vector<Tlv> ParseTlvs(const Bytes& data, std::size_t begin, std::size_t end) {
    std::vector<Tlv> objects;
    end = std::min(end, data.size());
    std::size_t at = begin;
    while (at + 2 <= end) {
        const std::uint8_t tag = data[at];
        if (tag == 0xFF || tag == 0x00)
            break;
        std::size_t length = data[at + 1];
        at += 2;
        if (length == 0x81 || length == 0x82) {
            const std::size_t bytes = length - 0x80;
            if (at + bytes > end)
                break;
            length = 0;
            for (std::size_t i = 0; i < bytes; ++i)
                length = length << 8 | data[at + i];
            at += bytes;
        } else if (length > 0x80) {
            break;  // longer length forms have no place in a SIM file
        }
        if (length > end - at)
            break;
        objects.push_back({tag, Bytes(data.begin() + static_cast<std::ptrdiff_t>(at),
                                      data.begin() + static_cast<std::ptrdiff_t>(at + length))});
        at += length;
    }
    return objects;
}

std::vector<Tlv> ParseTlvs(const Bytes& data) {
    return ParseTlvs(data, 0, data.size());
}

const Tlv* FindTlv(const std::vector<Tlv>& objects, std::uint8_t tag) {
    const auto it = std::find_if(objects.begin(), objects.end(),
                                 [tag](const Tlv& object) { return object.tag == tag; });
    return it == objects.end() ? nullptr : &*it;
}

bool ParseFcp(const Bytes& response, FcpInfo& out) {
    const auto outer = ParseTlvs(response);
    if (outer.empty() || outer.front().tag != kFcpTemplate)
        return false;
    const auto objects = ParseTlvs(outer.front().value);
    const Tlv* descriptor = FindTlv(objects, kFileDescriptor);
    if (!descriptor || descriptor->value.empty())
        return false;

    FcpInfo fcp;
    SimFileInfo& info = fcp.info;
    if (const Tlv* id = FindTlv(objects, kFileIdentifier); id && id->value.size() == 2) {
        info.fileIdHigh = id->value[0];
        info.fileIdLow = id->value[1];
    }
    const std::uint8_t fdb = descriptor->value[0];
    if ((fdb & kDirectoryBits) == kDirectoryBits && (fdb & 0x07) != 0)
        return false;  // a BER-TLV structured file has no GSM counterpart
    if ((fdb & kDirectoryBits) == kDirectoryBits) {
        const bool master = info.fileIdHigh == 0x3F && info.fileIdLow == 0x00;
        info.fileType = master ? kFileTypeMaster : kFileTypeDedicated;
        if (const Tlv* name = FindTlv(objects, kDfName))
            fcp.aid = name->value;
        if (const Tlv* pins = FindTlv(objects, kPinStatusTemplate))
            fcp.pins = ParsePinStatus(pins->value);
        out = fcp;
        return true;
    }

    info.fileType = kFileTypeElementary;
    const Tlv* size = FindTlv(objects, kFileSize);
    fcp.fileSize = static_cast<std::uint16_t>(
        size ? std::min<std::uint32_t>(BigEndian(size->value), 0x7FFF) : 0);
    const Tlv* lifeCycle = FindTlv(objects, kLifeCycle);
    const bool deactivated =
        lifeCycle && !lifeCycle->value.empty() && Deactivated(lifeCycle->value[0]);
    info.invalidated = deactivated ? 0 : 0x01;  // as a GSM card shows a usable file
    switch (fdb & 0x07) {
        case kStructureTransparent:
            info.structure = 0;
            info.sizeOrRecordCount = static_cast<std::int16_t>(fcp.fileSize);
            break;
        case kStructureLinearFixed:
        case kStructureCyclic: {
            if (descriptor->value.size() < 5)
                return false;
            info.structure = (fdb & 0x07) == kStructureCyclic ? 3 : 1;
            const std::uint32_t recordLength = descriptor->value[2] << 8 | descriptor->value[3];
            if (recordLength == 0 || recordLength > 0xFF)
                return false;
            info.recordLength = static_cast<std::uint8_t>(recordLength);
            info.sizeOrRecordCount = descriptor->value[4];
            break;
        }
        default:
            return false;
    }
    out = fcp;
    return true;
}

Bytes GsmSelectResponse(const SimFileInfo& i) {
    if (i.fileType == kFileTypeElementary) {
        std::uint32_t size =
            static_cast<std::uint16_t>(std::max<std::int16_t>(i.sizeOrRecordCount, 0));
        // The GSM size field is unsigned: 255 records of 255 bytes still fit in it.
        if (i.structure != 0)
            size = std::min<std::uint32_t>(size * i.recordLength, 0xFFFF);
        Bytes response(15, 0x00);
        response[2] = High(size);
        response[3] = Low(size);
        response[4] = i.fileIdHigh;
        response[5] = i.fileIdLow;
        response[6] = kFileTypeElementary;
        response[7] = i.increaseAllowed;
        response[8] = static_cast<std::uint8_t>(i.readAccess << 4 | (i.updateAccess & 0x0F));
        response[9] = static_cast<std::uint8_t>(i.increaseAccess << 4);
        response[10] =
            static_cast<std::uint8_t>(i.rehabilitateAccess << 4 | (i.invalidateAccess & 0x0F));
        response[11] = static_cast<std::uint8_t>((i.invalidated & 0x01) | i.usableWhenInvalidated);
        response[12] = 2;
        response[13] = i.structure;
        response[14] = i.structure != 0 ? i.recordLength : 0;
        return response;
    }
    Bytes response(23, 0x00);
    response[4] = i.fileIdHigh;
    response[5] = i.fileIdLow;
    response[6] = i.fileType;
    response[12] = 10;
    response[13] = static_cast<std::uint8_t>((i.characteristicsBit & 0x7F) | i.chv1Disabled);
    response[14] = i.numberOfDfs;
    response[15] = i.numberOfEfs;
    response[16] = i.numberOfCodes;
    response[18] = static_cast<std::uint8_t>(i.chv1Initialised | (i.chv1AttemptsLeft & 0x0F));
    response[19] =
        static_cast<std::uint8_t>(i.unblockChv1Initialised | (i.unblockChv1AttemptsLeft & 0x0F));
    response[20] = static_cast<std::uint8_t>(i.chv2Initialised | (i.chv2AttemptsLeft & 0x0F));
    response[21] =
        static_cast<std::uint8_t>(i.unblockChv2Initialised | (i.unblockChv2AttemptsLeft & 0x0F));
    return response;
}

}  // namespace pellucard
