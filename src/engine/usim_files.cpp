#include "engine/usim_files.h"

#include <algorithm>

#include "engine/fcp_template.h"

namespace pellucard {

namespace {

constexpr std::uint8_t kApplicationTemplate = 0x61;
constexpr std::uint8_t kApplicationId = 0x4F;

// GSM 11.11 service numbers beside the USIM service numbers of 3GPP TS 31.102 for the same thing.
struct ServicePair {
    int gsm;
    int usim;
};
constexpr ServicePair kServices[] = {
    {3, 2},    // fixed dialling numbers
    {4, 10},   // short messages
    {5, 13},   // advice of charge
    {6, 14},   // capability configuration parameters
    {9, 21},   // MSISDN
    {11, 3},   // extension 2
    {12, 12},  // SMS parameters
    {14, 15},  // cell broadcast message identifier
    {15, 17},  // group identifier level 1
    {16, 18},  // group identifier level 2
    {17, 19},  // service provider name
    {18, 4},   // service dialling numbers
    {19, 5},   // extension 3
};
constexpr int kGsmAlwaysOffered[] = {1, 2};  // CHV1 disable, ADN

bool UstHas(const Bytes& ust, int service) {
    const auto byte = static_cast<std::size_t>((service - 1) / 8);
    return byte < ust.size() && (ust[byte] & (1 << ((service - 1) % 8))) != 0;
}

void UstSet(Bytes& ust, int service) {
    const auto byte = static_cast<std::size_t>((service - 1) / 8);
    if (ust.size() <= byte)
        ust.resize(byte + 1, 0x00);
    ust[byte] = static_cast<std::uint8_t>(ust[byte] | 1 << ((service - 1) % 8));
}

bool SstHas(const Bytes& sst, int service) {
    const auto byte = static_cast<std::size_t>((service - 1) / 4);
    return byte < sst.size() && (sst[byte] >> (2 * ((service - 1) % 4)) & 0x03) != 0;
}

// Allocated and activated.
void SstSet(Bytes& sst, int service) {
    const auto byte = static_cast<std::size_t>((service - 1) / 4);
    if (sst.size() <= byte)
        sst.resize(byte + 1, 0x00);
    sst[byte] = static_cast<std::uint8_t>(sst[byte] | 0x03 << (2 * ((service - 1) % 4)));
}

}  // namespace

std::vector<Bytes> ApplicationIds(const Bytes& dirRecord) {
    std::vector<Bytes> aids;
    for (const auto& object : ParseTlvs(dirRecord)) {
        if (object.tag != kApplicationTemplate)
            continue;
        const auto inner = ParseTlvs(object.value);
        if (const Tlv* aid = FindTlv(inner, kApplicationId))
            aids.push_back(aid->value);
    }
    return aids;
}

bool IsUsimAid(const Bytes& aid) {
    static const Bytes prefix{0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02};
    constexpr std::size_t kLongestAid = 16;  // ISO/IEC 7816-4
    return aid.size() >= prefix.size() && aid.size() <= kLongestAid &&
           std::equal(prefix.begin(), prefix.end(), aid.begin());
}

std::vector<PhoneBookFile> ParsePhoneBookReferences(const Bytes& pbrRecord) {
    std::vector<PhoneBookFile> files;
    for (const auto& group : ParseTlvs(pbrRecord)) {
        if (group.tag < 0xA8 || group.tag > 0xAA)
            continue;
        for (const auto& file : ParseTlvs(group.value)) {
            if (file.value.size() < 2)
                continue;
            files.push_back({file.tag, group.tag,
                             static_cast<std::uint16_t>(file.value[0] << 8 | file.value[1]),
                             file.value.size() > 2 ? file.value[2] : std::uint8_t{0}});
        }
    }
    return files;
}

Bytes GsmServiceTableFromUst(const Bytes& ust) {
    Bytes sst(5, 0x00);
    for (int service : kGsmAlwaysOffered)
        SstSet(sst, service);
    for (const auto& pair : kServices) {
        if (UstHas(ust, pair.usim))
            SstSet(sst, pair.gsm);
    }
    return sst;
}

Bytes UstFromGsmServiceTable(const Bytes& sst) {
    Bytes ust(3, 0x00);
    for (const auto& pair : kServices) {
        if (SstHas(sst, pair.gsm))
            UstSet(ust, pair.usim);
    }
    return ust;
}

}  // namespace pellucard
