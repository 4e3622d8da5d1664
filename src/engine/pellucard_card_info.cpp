// Card identity and state: the answer to reset, and the items of the card information.
#include <algorithm>

#include "engine/codec_alpha.h"
#include "engine/codec_digits.h"
#include "engine/message_centre.h"
#include "engine/own_number.h"
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

// The card gave the item.
CardInfoAnswer Given(std::string text) {
    return {std::move(text), CardOutcome::Done()};
}

// The card or the reader did not give it; `outcome` says what became of the last exchange
// (done when the card answered but has nothing to give).
CardInfoAnswer NotGiven(const CardOutcome& outcome) {
    return {std::nullopt, outcome};
}

// The item when `given` holds; else nothing, with the outcome of the last exchange.
CardInfoAnswer GivenIf(bool given, std::string text, const CardOutcome& outcome) {
    return given ? Given(std::move(text)) : NotGiven(outcome);
}

}  // namespace

CardOutcome Pellucard::ResetCard() {
    Bytes atr;
    if (!Track(channel_->ResetCard(atr)))
        return CardOutcome::LinkFailed();
    if (atr.empty())
        return ShortReply();
    if (atr.size() >= 201) {
        ForgetCardState();
        return CardOutcome::LinkFailed();
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
    lastResult_ = true;
    return CardOutcome::Done();
}

bool Pellucard::CardReadable() {
    return ReadChvCounters() && Pin1LetsRead();
}

bool Pellucard::Pin1LetsRead() const {
    return cardStatus_.chv1AttemptsLeft > 0 && (cardStatus_.chv1Disabled & 0x80) != 0;
}

CardResult<SimFileInfo> Pellucard::ReadFileStatusBlock(ReaderRequest request) {
    Bytes block;
    if (!Track(AskReader(request, block)))
        return {{}, CardOutcome::LinkFailed()};
    if (block.size() < kRecordFileResponseLength)
        return {{}, ShortReply()};
    return {ParseFileInfo(block), CardOutcome::Done()};
}

CardResult<Bytes> Pellucard::ReadTransparent(const SimFileInfo& info) {
    const int size = std::clamp<int>(info.sizeOrRecordCount, 0, 255);
    return SendSimCommand(sim::ReadBinary(0, 0, static_cast<std::uint8_t>(size)), 0, 0);
}

CardInfoAnswer Pellucard::ReadCardInfo(CardInfoItem item) {
    switch (item) {
        case CardInfoItem::Iccid:
            return ReadIccid();
        case CardInfoItem::Imsi:
            return ReadImsi();
        case CardInfoItem::ServiceProviderName:
            return ReadServiceProviderName();
        case CardInfoItem::LastDialledRecordCount:
            return ReadRecordCount(ReaderRequest::LastDialledFileStatus);
        case CardInfoItem::SmsRecordCount:
            return ReadRecordCount(ReaderRequest::SmsFileStatus);
        case CardInfoItem::PhoneBookRecordCount:
            return ReadRecordCount(ReaderRequest::PhoneBookFileStatus);
        case CardInfoItem::Phase:
            return ReadPhase();
        case CardInfoItem::ServiceCentreNumber:
            return ReadServiceCentre();
        case CardInfoItem::PhoneBookRecordLength:
            return ReadRecordLength(ReaderRequest::PhoneBookFileStatus);
        case CardInfoItem::SmsRecordLength:
            return ReadRecordLength(ReaderRequest::SmsFileStatus);
        case CardInfoItem::OwnNumbers: {
            if (!CardReadable())
                return NotGiven(CardOutcome::Done());
            const auto numbers = ReadOwnNumbers(*this);
            return GivenIf(numbers.IsDone() && !numbers.value.empty(),
                           OwnNumbersText(numbers.value), numbers.outcome);
        }
        case CardInfoItem::LockState:
        case CardInfoItem::Pin2Attempts:
        case CardInfoItem::Pin1Attempts:
        case CardInfoItem::Puk2Attempts:
        case CardInfoItem::Puk1Attempts:
            return ReadChvState(item);
    }
    // Not an item of the card information: nothing was asked of the card.
    return NotGiven(CardOutcome::Done());
}

CardInfoAnswer Pellucard::ReadIccid() {
    Bytes block;
    Bytes status;
    const bool fromReader = Track(AskReader(ReaderRequest::Iccid, block)) &&
                            Track(AskReader(ReaderRequest::FileStatus, status));
    std::string text;
    if (fromReader) {
        if (block.size() < 10 || status.size() < kReaderFileStatusLength)
            return NotGiven(ShortReply());
        const auto info = ParseReaderFileStatus(status);
        if (info.sizeOrRecordCount == 10 && lastResult_ && block.size() <= 21)
            text = DecodeDigits(block, 0, 10);
        return GivenIf(text.size() > 9, text, CardOutcome::Done());
    }
    // The reader did not give it: EF ICCID read with SIM commands, by way of the master file.
    const CardResult<Bytes> selected = SelectPath({0x2FE2, 0x3F00, 0x2FE2});
    if (!selected.IsDone())
        return NotGiven(selected.outcome);
    if (selected.value.size() < kElementaryResponseLength)
        return NotGiven(ShortReply());
    const CardResult<Bytes> content = ReadTransparent(ParseFileInfo(selected.value));
    if (!content.IsDone())
        return NotGiven(content.outcome);
    if (content.value.size() < 10)
        return NotGiven(ShortReply());
    text = DecodeDigits(content.value, 0, 10);
    return GivenIf(text.size() > 9, text, content.outcome);
}

CardResult<std::optional<SimFileInfo>> Pellucard::SelectInfoFile(std::uint16_t directory,
                                                                 std::uint16_t file,
                                                                 std::size_t shortest) {
    const CardOutcome counters = LearnChvCounters();
    if (!counters.IsDone())
        return {std::nullopt, counters};
    // While PIN1 closes the card, its files are not asked for: the card has nothing to give.
    if (!Plausible(cardStatus_) || !Pin1LetsRead())
        return {std::nullopt, counters};
    const CardResult<Bytes> selected = SelectPath({directory, file});
    if (!selected.IsDone())
        return {std::nullopt, selected.outcome};
    if (selected.value.size() < shortest)
        return {std::nullopt, ShortReply()};
    return {ParseFileInfo(selected.value), selected.outcome};
}

CardInfoAnswer Pellucard::ReadImsi() {
    const auto file = SelectInfoFile(0x7F20, 0x6F07, kElementaryResponseLength);
    if (!file.value)
        return NotGiven(file.outcome);
    const SimFileInfo& info = *file.value;
    // A refused read holds status words, not the identity.
    const CardResult<Bytes> content = ReadTransparent(info);
    if (!content.IsDone() || info.sizeOrRecordCount <= 0)
        return NotGiven(content.outcome);
    // EF IMSI (GSM 11.11 10.3.2): a length byte, then the digits low nibble first, where the very
    // first nibble is the parity and identity type, not a digit.
    const std::string nibbles = DecodeDigits(
        content.value, 1, std::min<int>(info.sizeOrRecordCount, content.value.size()) - 1);
    std::string text;
    if (nibbles.size() > 1)
        text = nibbles.substr(1);
    return GivenIf(!text.empty(), text, content.outcome);
}

CardInfoAnswer Pellucard::ReadServiceProviderName() {
    Bytes table;
    if (!Track(AskReader(ReaderRequest::ServiceTable, table)))
        return NotGiven(CardOutcome::LinkFailed());
    if (table.size() < 2)
        return NotGiven(CardOutcome::Done());
    // GSM 11.11 10.3.7: two bits per service, four services a byte; service 17 is the service
    // provider name, the lowest two bits of byte 4.
    if (table.size() <= 4 || (table[4] & 0x03) == 0)
        return Given("-");
    Bytes content;
    Bytes status;
    if (!Track(AskReader(ReaderRequest::ServiceProviderName, content)) ||
        !Track(AskReader(ReaderRequest::FileStatus, status))) {
        return NotGiven(CardOutcome::LinkFailed());
    }
    if (status.size() < kReaderFileStatusLength)
        return NotGiven(ShortReply());
    // The first byte is the display condition; the name fills the rest of the file.
    const int size = ParseReaderFileStatus(status).sizeOrRecordCount;
    if (content.size() < 2 || size < 2)
        return Given("");
    const Bytes name(content.begin() + 1, content.end());
    return Given(DecodeAlpha(name, std::min<int>(size - 2, static_cast<int>(name.size()) - 1)));
}

CardInfoAnswer Pellucard::ReadRecordCount(ReaderRequest request) {
    const CardResult<SimFileInfo> file = ReadFileStatusBlock(request);
    if (!file.IsDone())
        return NotGiven(file.outcome);
    const std::int16_t count = RecordsHeld(file.value);
    if (request == ReaderRequest::SmsFileStatus) {
        smsRecordCount_ = count;
        smsRecordLength_ = file.value.recordLength;
    } else if (request == ReaderRequest::PhoneBookFileStatus) {
        phoneBookRecordCount_ = count;
        phoneBookRecordLength_ = file.value.recordLength;
    }
    // A file of no records gives no count.
    return GivenIf(count > 0, std::to_string(count), file.outcome);
}

CardInfoAnswer Pellucard::ReadRecordLength(ReaderRequest request) {
    const bool sms = request == ReaderRequest::SmsFileStatus;
    // The length comes with the file's record count; it is asked for when not known yet.
    if ((sms ? smsRecordLength_ : phoneBookRecordLength_) == 0) {
        const CardInfoAnswer count = ReadRecordCount(request);
        if (!count.value && count.outcome.IsLinkFailed())
            return NotGiven(count.outcome);
    }
    return Given(std::to_string(sms ? smsRecordLength_ : phoneBookRecordLength_));
}

CardInfoAnswer Pellucard::ReadPhase() {
    Bytes block;
    if (!Track(AskReader(ReaderRequest::Phase, block)))
        return NotGiven(CardOutcome::LinkFailed());
    return Given(At(block, 0) == 3 ? "Phase 2+" : "Phase 2");
}

CardInfoAnswer Pellucard::ReadServiceCentre() {
    const auto file = SelectInfoFile(0x7F10, 0x6F42, kRecordFileResponseLength);
    if (!file.value)
        return NotGiven(file.outcome);
    // The message centre is the first parameter set, the one a handset sends with unless the
    // user picks another; `smsc set` writes it and the information window changes it, so the
    // item reads that record and decodes it by the same rule (ReadMessageCentre). A record the
    // card gives without an address gives no number: none is made up for new messages.
    const CardResult<Bytes> read = SendSimCommand(
        sim::ReadRecord(kMessageCentreRecord, sim::kRecordAbsolute, file.value->recordLength), 0,
        0);
    if (!read.IsDone())
        return NotGiven(read.outcome);
    const std::optional<std::string> number = ServiceCentreOf(read.value);
    return GivenIf(number.has_value(), number.value_or(std::string()), read.outcome);
}

CardInfoAnswer Pellucard::ReadChvState(CardInfoItem item) {
    const CardOutcome counters = LearnChvCounters();
    if (!counters.IsDone() || !Plausible(cardStatus_))
        return NotGiven(counters);
    const auto& s = cardStatus_;
    switch (item) {
        case CardInfoItem::LockState:
            return Given(s.chv1AttemptsLeft > 0 && (s.chv1Disabled & 0x80) ? "UnLock" : "Lock");
        case CardInfoItem::Pin2Attempts:
            return Given(std::to_string(s.chv2AttemptsLeft));
        case CardInfoItem::Pin1Attempts:
            return Given(std::to_string(s.chv1AttemptsLeft));
        case CardInfoItem::Puk2Attempts:
            return Given(std::to_string(s.unblockChv2AttemptsLeft));
        default:
            return Given(std::to_string(s.unblockChv1AttemptsLeft));
    }
}

}  // namespace pellucard
