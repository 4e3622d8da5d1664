// Card identity and state: the answer to reset, and the answers of GetCardInf.
#include <algorithm>

#include "engine/codec_alpha.h"
#include "engine/codec_digits.h"
#include "engine/pellucard.h"
#include "engine/sim_commands.h"

namespace pellucard {

namespace {

// Reverses the bit order of a byte: the inverse convention of ISO 7816-3 sends bits
// most-significant first with inverted levels.
std::uint8_t Reversed(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (b & (1 << i))
            r |= static_cast<std::uint8_t>(0x80 >> i);
    }
    return r;
}

std::uint8_t At(const Bytes& bytes, std::size_t index) {
    return index < bytes.size() ? bytes[index] : 0xFF;
}

CardInfoResult Result(bool answered) {
    return answered ? CardInfoResult::Answered : CardInfoResult::NotAvailable;
}

}  // namespace

bool Pellucard::FindSimCard() {
    Bytes atr;
    const bool ok = Track(channel_->ResetCard(atr));
    if (!ok)
        return false;
    if (atr.size() >= 201) {
        ResetCardState();
        return false;
    }
    // An answer to reset in the inverse convention starts with 0x3F (0x03 as read directly):
    // convert every byte back to the direct convention.
    if (atr[0] == 0x03)
        atr[0] = 0x3F;
    if (atr[0] == 0x3F) {
        for (auto& b : atr)
            b = static_cast<std::uint8_t>(255 - Reversed(b));
    }
    answerToReset_ = atr;
    answerToResetLength_ = static_cast<std::uint8_t>(atr.size() - 1);
    lastResult_ = true;
    return true;
}

bool Pellucard::CardReadable() {
    return ReadChvCounters() && cardStatus_.chv1AttemptsLeft > 0 &&
           (cardStatus_.chv1Disabled & 0x80) != 0;
}

bool Pellucard::ReadFileStatusBlock(ReaderRequest request, SimFileInfo& info) {
    Bytes block;
    if (!Track(AskReader(request, block)))
        return false;
    if (block.size() < kRecordFileResponseLength)
        return ShortReply();
    info = ParseFileInfo(block);
    return true;
}

bool Pellucard::ReadTransparent(const SimFileInfo& info, Bytes& content) {
    const int size = std::clamp<int>(info.sizeOrRecordCount, 0, 255);
    content.clear();
    return SendSimCommand(sim::ReadBinary(0, 0, static_cast<std::uint8_t>(size)), 0, 0, content);
}

CardInfoResult Pellucard::GetCardInf(std::string& text, CardInfoItem item) {
    switch (item) {
        case CardInfoItem::Iccid:
            return ReadIccid(text);
        case CardInfoItem::Imsi:
            return ReadImsi(text);
        case CardInfoItem::ServiceProviderName:
            return ReadServiceProviderName(text);
        case CardInfoItem::LastDialledRecordCount:
            return ReadRecordCount(ReaderRequest::LastDialledFileStatus, text);
        case CardInfoItem::SmsRecordCount:
            return ReadRecordCount(ReaderRequest::SmsFileStatus, text);
        case CardInfoItem::PhoneBookRecordCount:
            return ReadRecordCount(ReaderRequest::PhoneBookFileStatus, text);
        case CardInfoItem::Phase:
            return ReadPhase(text);
        case CardInfoItem::ServiceCentreNumber:
            return ReadServiceCentre(text);
        case CardInfoItem::PhoneBookRecordLength:
            if (phoneBookRecordLength_ == 0) {
                std::string ignored;
                if (ReadRecordCount(ReaderRequest::PhoneBookFileStatus, ignored) ==
                        CardInfoResult::NotAvailable &&
                    lastOutcome_.IsLinkFailed()) {
                    text.clear();
                    return CardInfoResult::NotAvailable;
                }
            }
            text = std::to_string(phoneBookRecordLength_);
            return CardInfoResult::Answered;
        case CardInfoItem::SmsRecordLength:
            if (smsRecordLength_ == 0) {
                std::string ignored;
                if (ReadRecordCount(ReaderRequest::SmsFileStatus, ignored) ==
                        CardInfoResult::NotAvailable &&
                    lastOutcome_.IsLinkFailed()) {
                    text.clear();
                    return CardInfoResult::NotAvailable;
                }
            }
            text = std::to_string(smsRecordLength_);
            return CardInfoResult::Answered;
        case CardInfoItem::LockState:
        case CardInfoItem::Pin2Attempts:
        case CardInfoItem::Pin1Attempts:
        case CardInfoItem::Puk2Attempts:
        case CardInfoItem::Puk1Attempts:
            return ReadChvState(item, text);
    }
    return CardInfoResult::NotHandled;
}

CardInfoResult Pellucard::ReadIccid(std::string& text) {
    text.clear();
    Bytes block;
    Bytes status;
    const bool fromReader = Track(AskReader(ReaderRequest::Iccid, block)) &&
                            Track(AskReader(ReaderRequest::FileStatus, status));
    if (fromReader) {
        if (block.size() < 10 || status.size() < kReaderFileStatusLength) {
            ShortReply();
            return CardInfoResult::NotAvailable;
        }
        const auto info = ParseReaderFileStatus(status);
        if (info.sizeOrRecordCount == 10 && lastResult_ && block.size() >= 10 &&
            block.size() <= 21) {
            text = DecodeDigits(block, 0, 10);
        }
    } else {
        Bytes response;
        SelectFile2F(0xE2, response);
        SelectFile3F(0x00, response);
        SelectFile2F(0xE2, response);
        if (!lastResult_ || !lastOutcome_.IsDone())
            return CardInfoResult::NotAvailable;
        if (response.size() < kElementaryResponseLength) {
            ShortReply();
            return CardInfoResult::NotAvailable;
        }
        const auto info = ParseFileInfo(response);
        Bytes content;
        if (ReadTransparent(info, content) && lastOutcome_.IsDone()) {
            if (content.size() < 10) {
                ShortReply();
                return CardInfoResult::NotAvailable;
            }
            text = DecodeDigits(content, 0, 10);
        }
    }
    return Result(text.size() > 9);
}

bool Pellucard::SelectInfoFile(std::uint8_t directoryLow, std::uint8_t fileLow, SimFileInfo& info,
                               std::size_t shortest) {
    if (!CardReadable())
        return false;
    Bytes response;
    SelectFile7F(directoryLow, response);
    if (!SelectFile6F(fileLow, response) || !lastOutcome_.IsDone())
        return false;
    if (response.size() < shortest)
        return ShortReply();
    info = ParseFileInfo(response);
    return true;
}

CardInfoResult Pellucard::ReadImsi(std::string& text) {
    text.clear();
    SimFileInfo info;
    if (!SelectInfoFile(0x20, 0x07, info, kElementaryResponseLength))
        return CardInfoResult::NotAvailable;
    Bytes content;
    if (!ReadTransparent(info, content) || info.sizeOrRecordCount <= 0) {
        return CardInfoResult::NotAvailable;
    }
    // EF IMSI (GSM 11.11 10.3.2): a length byte, then the digits low nibble first, where the very
    // first nibble is the parity and identity type, not a digit.
    const std::string nibbles =
        DecodeDigits(content, 1, std::min<int>(info.sizeOrRecordCount, content.size()) - 1);
    if (nibbles.size() > 1)
        text = nibbles.substr(1);
    return Result(!text.empty());
}

CardInfoResult Pellucard::ReadServiceProviderName(std::string& text) {
    text.clear();
    Bytes table;
    if (!Track(AskReader(ReaderRequest::ServiceTable, table)) || table.size() < 2) {
        return CardInfoResult::NotAvailable;
    }
    // GSM 11.11 10.3.7: two bits per service, four services a byte; service 17 is the service
    // provider name, the lowest two bits of byte 4.
    if (table.size() <= 4 || (table[4] & 0x03) == 0) {
        text = "-";
        return CardInfoResult::Answered;
    }
    Bytes content;
    Bytes status;
    if (!Track(AskReader(ReaderRequest::ServiceProviderName, content)) ||
        !Track(AskReader(ReaderRequest::FileStatus, status))) {
        return CardInfoResult::NotAvailable;
    }
    if (status.size() < kReaderFileStatusLength) {
        ShortReply();
        return CardInfoResult::NotAvailable;
    }
    // The first byte is the display condition; the name fills the rest of the file.
    const int size = ParseReaderFileStatus(status).sizeOrRecordCount;
    if (content.size() < 2 || size < 2)
        return CardInfoResult::Answered;
    const Bytes name(content.begin() + 1, content.end());
    text = DecodeAlpha(name, std::min<int>(size - 2, static_cast<int>(name.size()) - 1));
    return CardInfoResult::Answered;
}

CardInfoResult Pellucard::ReadRecordCount(ReaderRequest request, std::string& text) {
    text.clear();
    SimFileInfo info;
    if (!ReadFileStatusBlock(request, info))
        return CardInfoResult::NotAvailable;
    const std::int16_t count = RecordsHeld(info);
    switch (request) {
        case ReaderRequest::SmsFileStatus:
            smsRecordCount_ = count;
            smsRecordLength_ = info.recordLength;
            break;
        case ReaderRequest::PhoneBookFileStatus:
            phoneBookRecordCount_ = count;
            phoneBookRecordLength_ = info.recordLength;
            break;
        default:
            lastDialledRecordCount_ = count;
            break;
    }
    text = std::to_string(count);
    return Result(count > 0);
}

CardInfoResult Pellucard::ReadPhase(std::string& text) {
    text.clear();
    Bytes block;
    if (!Track(AskReader(ReaderRequest::Phase, block)))
        return CardInfoResult::NotAvailable;
    text = At(block, 0) == 3 ? "Phase 2+" : "Phase 2";
    return CardInfoResult::Answered;
}

CardInfoResult Pellucard::ReadServiceCentre(std::string& text) {
    text.clear();
    SimFileInfo info;
    if (!SelectInfoFile(0x10, 0x42, info, kRecordFileResponseLength))
        return CardInfoResult::NotAvailable;
    Bytes record;
    if (!SendSimCommand(sim::ReadRecord(0, sim::kRecordPrevious, info.recordLength), 0, 0,
                        record)) {
        return CardInfoResult::NotAvailable;
    }
    // EF SMSP (GSM 11.11 10.5.6): the service centre address sits 15 bytes from the record's
    // end: its length, type of number, then ten digit bytes. A record shorter than that has none.
    const int length = static_cast<int>(record.size());
    std::string digits;
    std::uint8_t type = 0;
    if (length >= 15) {
        const int addressLength = record[length - 15];
        type = record[length - 14];
        const int digitBytes = std::clamp(addressLength - 1, 0, 10);
        digits = DecodeDigits(record, static_cast<std::size_t>(length - 13), digitBytes);
    }
    if ((type & 0x70) == 0x10) {
        text = "+" + digits;
    } else if (digits.empty() && length < 101) {
        text = "00000000000000000000";
    } else {
        text = digits;
    }
    return Result(!text.empty());
}

CardInfoResult Pellucard::ReadChvState(CardInfoItem item, std::string& text) {
    text.clear();
    if (!ReadChvCounters())
        return CardInfoResult::NotAvailable;
    const auto& s = cardStatus_;
    switch (item) {
        case CardInfoItem::LockState:
            text = s.chv1AttemptsLeft > 0 && (s.chv1Disabled & 0x80) ? "UnLock" : "Lock";
            break;
        case CardInfoItem::Pin2Attempts:
            text = std::to_string(s.chv2AttemptsLeft);
            break;
        case CardInfoItem::Pin1Attempts:
            text = std::to_string(s.chv1AttemptsLeft);
            break;
        case CardInfoItem::Puk2Attempts:
            text = std::to_string(s.unblockChv2AttemptsLeft);
            break;
        default:
            text = std::to_string(s.unblockChv1AttemptsLeft);
            break;
    }
    return CardInfoResult::Answered;
}

}  // namespace pellucard
