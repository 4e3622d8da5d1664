#include "engine/sms_record.h"

#include <algorithm>
#include <span>
#include <vector>

#include "engine/codec_digits.h"
#include "engine/codec_text.h"
#include "engine/codec_utf.h"
#include "engine/gsm7.h"

namespace pellucard {

namespace {

constexpr int kMaxAddressDigits = 20;
constexpr int kMaxAlphanumericAddress = 11;  // 10 bytes of packed septets
constexpr std::uint8_t kDeliverFirstOctet = 0x04;
constexpr std::uint8_t kSubmitFirstOctet = 0x11;
constexpr std::uint8_t kUnsetMessageReference = 0xFF;

// Reads a record front to back; a read past the end yields nothing and marks the record
// truncated.
class RecordReader {
public:
    explicit RecordReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::optional<std::uint8_t> Byte() {
        if (position_ < data_.size())
            return data_[position_++];
        truncated_ = true;
        return std::nullopt;
    }

    std::span<const std::uint8_t> Take(std::size_t count) {
        std::size_t available = data_.size() - position_;
        if (count > available) {
            truncated_ = true;
            count = available;
        }
        auto part = data_.subspan(position_, count);
        position_ += count;
        return part;
    }

    bool truncated() const { return truncated_; }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
    bool truncated_ = false;
};

void SetType(SmsAddress& address, std::uint8_t typeByte) {
    address.typeByte = typeByte;
    address.type = typeByte & 0x70;
    address.plan = typeByte & 0x0F;
}

// Service centre address: the length counts the bytes of type and digits; 0 means no address
// and then there is no type byte either.
SmsAddress ReadServiceCentre(RecordReader& reader) {
    SmsAddress address;
    auto length = reader.Byte();
    if (!length || *length == 0)
        return address;
    address.length = *length;
    if (auto type = reader.Byte())
        SetType(address, *type);
    auto digits = reader.Take(*length - 1u);
    address.digits = DecodeDigits(digits, 0, static_cast<int>(digits.size()));
    return address;
}

// Originating or destination address: the length counts digits (semi-octets). An alphanumeric
// address (type of number 101) holds GSM 7-bit packed text in those semi-octets.
SmsAddress ReadAddress(RecordReader& reader) {
    SmsAddress address;
    auto length = reader.Byte();
    if (!length)
        return address;
    address.length = *length;
    auto type = reader.Byte();
    if (!type)
        return address;
    SetType(address, *type);
    auto bytes = reader.Take((*length + 1u) / 2);
    if (address.type == kTypeAlphanumeric) {
        address.digits = GsmCodesToText(UnpackSeptets(bytes, *length * 4u / 7));
    } else {
        address.digits = DecodeDigitCount(bytes, 0, *length);
    }
    return address;
}

// UCS2 per GSM 03.38: the general data coding groups (00xx, and 01xx, the same with automatic
// deletion) uncompressed with alphabet bits 10, and the "store message" waiting group 1110.
bool IsUcs2(std::uint8_t dcs) {
    if ((dcs & 0x80) == 0)
        return (dcs & 0x20) == 0 && (dcs & 0x0C) == 0x08;
    return (dcs & 0xF0) == 0xE0;
}

void ReadHeaderElements(SmsRecord& sms) {
    const Bytes& header = sms.userDataHeader;
    std::size_t i = 1;  // after the header length byte
    while (i + 2 <= header.size()) {
        const std::uint8_t id = header[i];
        const std::size_t length = header[i + 1];
        const std::size_t start = i + 2;
        if (start + length > header.size())
            break;
        const std::uint8_t* e = header.data() + start;
        if (id == 0x00 && length == 3) {
            sms.concatenation = SmsConcatenation{e[0], e[1], e[2]};
        } else if (id == 0x08 && length == 4) {
            sms.concatenation = SmsConcatenation{e[0] << 8 | e[1], e[2], e[3]};
        } else if (id == 0x04 && length == 2) {
            sms.ports = SmsPorts{e[0], e[1]};
        } else if (id == 0x05 && length == 4) {
            sms.ports = SmsPorts{e[0] << 8 | e[1], e[2] << 8 | e[3]};
        }
        i = start + length;
    }
}

void ReadUserData(SmsRecord& sms, RecordReader& reader) {
    auto length = reader.Byte();
    if (!length)
        return;
    sms.userDataLength = *length;
    sms.ucs2 = IsUcs2(sms.dataCoding);

    if (sms.ucs2) {
        auto data = reader.Take(std::min<std::size_t>(*length, kSmsMaxUcs2Bytes));
        std::size_t textStart = 0;
        if (sms.headerIndication && !data.empty()) {
            textStart = std::min<std::size_t>(data[0] + 1u, data.size());
            sms.userDataHeader.assign(data.begin(), data.begin() + textStart);
        }
        sms.text = Utf16BeToUtf8(data.subspan(textStart), /*stopAtFfff=*/false);
    } else {
        const std::size_t septetCount = std::min<std::size_t>(*length, kSmsMaxSeptets);
        auto data = reader.Take((septetCount * 7 + 7) / 8);
        auto septets = UnpackSeptets(data, septetCount);
        if (sms.headerIndication && !data.empty()) {
            const std::size_t headerBytes = std::min<std::size_t>(data[0] + 1u, data.size());
            sms.userDataHeader.assign(data.begin(), data.begin() + headerBytes);
            // The text starts at the first septet boundary after the header (fill bits).
            const std::size_t headerSeptets = ((data[0] + 1u) * 8 + 6) / 7;
            septets.erase(septets.begin(),
                          septets.begin() + std::min(headerSeptets, septets.size()));
        }
        sms.text = GsmCodesToText(septets);
    }
    sms.text = NormaliseLineBreaks(sms.text);
    if (!sms.userDataHeader.empty())
        ReadHeaderElements(sms);
}

int DecodeStatus(std::uint8_t byte) {
    const int low = byte & 0x07;
    if (low == kSmsRead || low == kSmsToBeRead)
        return low;
    // Sent messages keep status-report bits in bits 3..4 (0x0D, 0x15, 0x1D). The value 0x1F is
    // what a row without a status used to be written with: it is not a message.
    if ((low == kSmsSent || low == kSmsToBeSent) && (byte & 0xE0) == 0 && byte != 0x1F) {
        return low;
    }
    return byte & 0x1F;
}

void ReadDeliver(SmsRecord& sms, RecordReader& reader) {
    sms.firstOctet = reader.Byte().value_or(0);
    sms.messageType = sms.firstOctet & 0x03;
    sms.noMoreMessages = sms.firstOctet & 0x04;
    sms.statusReportIndication = sms.firstOctet & 0x20;
    sms.headerIndication = sms.firstOctet & 0x40;
    sms.replyPath = sms.firstOctet & 0x80;
    sms.originatingAddress = ReadAddress(reader);
    sms.protocolId = reader.Byte().value_or(0);
    sms.dataCoding = reader.Byte().value_or(0);
    sms.timeStamp = DecodeSmsTimeStamp(reader.Take(kSmsTimeStampLength));
    ReadUserData(sms, reader);
}

void ReadSubmit(SmsRecord& sms, RecordReader& reader) {
    sms.firstOctet = reader.Byte().value_or(0);
    sms.messageType = sms.firstOctet & 0x03;
    sms.rejectDuplicates = sms.firstOctet & 0x04;
    sms.validityFormat = sms.firstOctet & 0x18;
    sms.statusReportRequest = sms.firstOctet & 0x20;
    sms.headerIndication = sms.firstOctet & 0x40;
    sms.replyPath = sms.firstOctet & 0x80;
    sms.messageReference = reader.Byte().value_or(0);
    sms.destinationAddress = ReadAddress(reader);
    sms.protocolId = reader.Byte().value_or(0);
    sms.dataCoding = reader.Byte().value_or(0);
    std::size_t validityLength = 0;
    if (sms.validityFormat == kValidityRelative)
        validityLength = 1;
    if (sms.validityFormat == kValidityAbsolute || sms.validityFormat == kValidityEnhanced) {
        validityLength = 7;
    }
    auto validity = reader.Take(validityLength);
    sms.validityBytes.assign(validity.begin(), validity.end());
    if (!validity.empty())
        sms.validity = validity[0];
    ReadUserData(sms, reader);
}

// --- encoding ---

bool IsNumberCharacter(char32_t c) {
    return (c >= '0' && c <= '9') || c == '*' || c == '#' || c == 'P' || c == 'p' || c == '+' ||
           c == ' ' || c == '-' || c == '(' || c == ')' || c == '.' || c == '/';
}

void AppendServiceCentre(Bytes& out, std::string_view number) {
    std::string_view trimmed = TrimBlanks(number);
    const bool international = !trimmed.empty() && trimmed.front() == '+';
    if (international)
        trimmed.remove_prefix(1);
    std::string digits = DiallingDigits(trimmed);
    if (digits.size() > static_cast<std::size_t>(kMaxAddressDigits)) {
        digits.resize(kMaxAddressDigits);
    }
    if (digits.empty()) {
        out.push_back(0);
        return;
    }
    out.push_back(static_cast<std::uint8_t>(1 + (digits.size() + 1) / 2));
    out.push_back(0x80 | (international ? kTypeInternational : 0) | kPlanIsdn);
    std::size_t position = out.size();
    EncodeDigits(digits, static_cast<int>(digits.size()), out, position);
}

void AppendAddress(Bytes& out, std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text);
    const std::u32string characters = Utf8ToUtf32(trimmed);
    const bool hasLetters = std::any_of(characters.begin(), characters.end(),
                                        [](char32_t c) { return !IsNumberCharacter(c); });
    if (hasLetters && FitsGsmAlphabet(characters)) {
        std::vector<std::uint8_t> codes;
        for (char32_t c : characters) {
            if (codes.size() == static_cast<std::size_t>(kMaxAlphanumericAddress))
                break;
            codes.push_back(static_cast<std::uint8_t>(TextToGsm(c)));
        }
        out.push_back(static_cast<std::uint8_t>((codes.size() * 7 + 3) / 4));  // semi-octets
        out.push_back(0x80 | kTypeAlphanumeric);
        Bytes packed = PackSeptets(codes);
        out.insert(out.end(), packed.begin(), packed.end());
        return;
    }
    std::string_view number = trimmed;
    const bool international = !number.empty() && number.front() == '+';
    if (international)
        number.remove_prefix(1);
    std::string digits = DiallingDigits(number);
    if (digits.size() > static_cast<std::size_t>(kMaxAddressDigits)) {
        digits.resize(kMaxAddressDigits);
    }
    out.push_back(static_cast<std::uint8_t>(digits.size()));
    out.push_back(0x80 | (international ? kTypeInternational : 0) | kPlanIsdn);
    std::size_t position = out.size();
    EncodeDigits(digits, static_cast<int>(digits.size()), out, position);
}

void AppendUserData(Bytes& out, const std::u32string& text, bool ucs2) {
    if (!ucs2) {
        std::vector<std::uint8_t> codes;
        for (char32_t c : text) {
            if (codes.size() == static_cast<std::size_t>(kSmsMaxSeptets))
                break;
            codes.push_back(static_cast<std::uint8_t>(TextToGsm(c)));
        }
        out.push_back(static_cast<std::uint8_t>(codes.size()));
        Bytes packed = PackSeptets(codes);
        out.insert(out.end(), packed.begin(), packed.end());
        return;
    }
    Bytes units;
    for (char32_t c : text) {
        if (units.size() + 2 * static_cast<std::size_t>(Utf16Units(c)) >
            static_cast<std::size_t>(kSmsMaxUcs2Bytes)) {
            break;
        }
        AppendUtf16Be(units, c);
    }
    out.push_back(static_cast<std::uint8_t>(units.size()));
    out.insert(out.end(), units.begin(), units.end());
}

}  // namespace

std::string SmsAddress::Text() const {
    if (type == kTypeInternational && !digits.empty())
        return "+" + digits;
    return digits;
}

bool SmsRecord::IsMessage() const {
    return status == kSmsRead || status == kSmsToBeRead || status == kSmsSent ||
           status == kSmsToBeSent;
}

const SmsAddress& SmsRecord::Address() const {
    return IsReceived() ? originatingAddress : destinationAddress;
}

SmsRecord DecodeSmsRecord(const Bytes& record) {
    SmsRecord sms;
    sms.raw = record;
    RecordReader reader(record);
    auto status = reader.Byte();
    if (!status) {
        sms.truncated = true;
        return sms;
    }
    sms.statusByte = *status;
    sms.status = DecodeStatus(*status);
    if (!sms.IsMessage())
        return sms;

    sms.serviceCentre = ReadServiceCentre(reader);
    if (sms.IsReceived()) {
        ReadDeliver(sms, reader);
    } else {
        ReadSubmit(sms, reader);
    }
    sms.truncated = reader.truncated();
    return sms;
}

Bytes EncodeSmsRecord(std::string_view address, std::string_view text, int status,
                      const SmsTimeStamp& timeStamp, std::string_view serviceCentre, int validity,
                      std::size_t recordLength) {
    Bytes record;
    const bool received = status == kSmsRead || status == kSmsToBeRead;
    const bool outgoing = status == kSmsSent || status == kSmsToBeSent;
    if (!received && !outgoing) {
        // Not a message: a free record as GSM 11.11 defines it.
        record.assign(recordLength, 0xFF);
        if (!record.empty())
            record[0] = kSmsFree;
        return record;
    }

    const std::u32string characters = Utf8ToUtf32(text);
    const bool ucs2 = !FitsGsmAlphabet(characters);

    record.push_back(static_cast<std::uint8_t>(status));
    AppendServiceCentre(record, serviceCentre);
    if (received) {
        record.push_back(kDeliverFirstOctet);
        AppendAddress(record, address);
        record.push_back(0x00);  // protocol identifier
        record.push_back(ucs2 ? kDcsUcs2 : kDcsGsm7);
        auto stamp = EncodeSmsTimeStamp(timeStamp);
        record.insert(record.end(), stamp.begin(), stamp.end());
    } else {
        record.push_back(kSubmitFirstOctet);
        record.push_back(kUnsetMessageReference);
        AppendAddress(record, address);
        record.push_back(0x00);
        record.push_back(ucs2 ? kDcsUcs2 : kDcsGsm7);
        record.push_back(static_cast<std::uint8_t>(std::clamp(validity, 0, 255)));
    }
    AppendUserData(record, characters, ucs2);
    record.resize(recordLength, 0xFF);
    return record;
}

}  // namespace pellucard
