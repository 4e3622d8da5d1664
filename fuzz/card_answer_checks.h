#pragma once

// What must hold for the code that reads a smart-card reader's answers (PC/SC): the UICC file
// control parameters, the T=0 procedure bytes and the channel that drives a GSM or UICC card
// through them. Shared by the libFuzzer targets and by the corpus replay test; each check
// returns nullptr or what went wrong.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "decoder_checks.h"
#include "engine/fcp_template.h"
#include "engine/pellucard.h"
#include "engine/sim_file_info.h"
#include "platform/card_terminal.h"
#include "platform/pcsc_channel.h"
#include "platform/t0_exchange.h"

namespace pellucard::fuzz {

// A reader whose every answer is the next slice of the fuzz input: a length byte, then that many
// bytes. When the input runs out the card is gone. Counts what it was asked.
class SlicedTerminal final : public CardTerminal {
public:
    SlicedTerminal(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    TerminalStatus Open() override { return TerminalStatus::Ok; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    TerminalStatus Connect(Bytes& atr) override { return Next(atr); }
    TerminalStatus Reconnect() override { return TerminalStatus::Ok; }
    TerminalStatus Transmit(const Bytes&, Bytes& response) override {
        ++transmits;
        return Next(response);
    }
    void DropCard() override {}
    std::string LastError() const override { return {}; }

    long transmits = 0;
    std::size_t bytesGiven = 0;

private:
    TerminalStatus Next(Bytes& out) {
        out.clear();
        if (at_ >= size_)
            return TerminalStatus::CardRemoved;
        const std::size_t length = data_[at_++];
        const std::size_t take = std::min(length, size_ - at_);
        out.assign(data_ + at_, data_ + at_ + take);
        at_ += take;
        bytesGiven += take;
        return TerminalStatus::Ok;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Input: a SELECT response of a UICC. What a template gives reads back the same from the GSM
// SELECT response made of it.
inline const char* CheckFcpTemplate(const std::uint8_t* data, std::size_t size) {
    const Bytes response(data, data + size);
    ParseTlvs(response);
    FcpInfo fcp;
    if (!ParseFcp(response, fcp))
        return nullptr;
    const SimFileInfo back = ParseFileInfo(GsmSelectResponse(fcp.info));
    if (back.fileType != fcp.info.fileType || back.fileIdHigh != fcp.info.fileIdHigh ||
        back.fileIdLow != fcp.info.fileIdLow)
        return "file type or identifier changed in the GSM response";
    if (fcp.info.fileType == kFileTypeElementary &&
        (back.structure != fcp.info.structure || back.recordLength != fcp.info.recordLength ||
         back.sizeOrRecordCount != fcp.info.sizeOrRecordCount))
        return "structure or size changed in the GSM response";
    if (fcp.info.sizeOrRecordCount < 0)
        return "negative file size";
    return nullptr;
}

// Input: bytes 0..4 a command header (P3 the length), then the card's answers as slices. The
// exchange sends a bounded number of APDUs and hands over no more than the card sent.
inline const char* CheckT0Exchange(const std::uint8_t* data, std::size_t size) {
    if (size < 5)
        return nullptr;
    const Bytes command(data, data + 5);
    SlicedTerminal terminal(data + 5, size - 5);
    T0Exchange exchange(terminal);
    CardReply reply;
    const TerminalStatus status = exchange.Exchange(command, reply);
    // The command, one repeat for 6C, then GET RESPONSE with a repeat of its own each time.
    if (exchange.Apdus() > 2 + 2 * T0Exchange::kMaxGetResponses)
        return "too many APDUs";
    if (exchange.Apdus() != terminal.transmits)
        return "APDUs miscounted";
    if (status == TerminalStatus::Ok && reply.data.size() > terminal.bytesGiven)
        return "more response data than the card sent";
    return nullptr;
}

// Input: the answers of a smart-card reader, one slice each: the answer to reset, then the
// answer to every APDU. The engine finds the card, reads its information, a few phone book
// and SMS records through the PC/SC channel, and keeps within the records it was told of.
inline const char* CheckPcscAnswers(const std::uint8_t* data, std::size_t size) {
    auto terminal = std::make_unique<SlicedTerminal>(data, size);
    Pellucard engine(std::make_unique<PcscChannel>(std::move(terminal)));
    if (!engine.OpenReader())
        return nullptr;
    if (engine.ResetCard().IsDone() && engine.AnswerToReset().empty())
        return "a reset done without an answer to reset";
    for (int item = 18; item <= 38; ++item) {
        const CardInfoAnswer answer = engine.ReadCardInfo(static_cast<CardInfoItem>(item));
        if (answer.value && !IsValidUtf8(*answer.value))
            return "a card information text is not UTF-8";
    }
    if (engine.EnterPhoneBook().IsDone()) {
        if (engine.PhoneBookRecordCount() < 0 || engine.PhoneBookRecordLength() < 0)
            return "negative phone book size";
        for (int record = 1; record <= std::min(engine.PhoneBookRecordCount(), 3); ++record) {
            const CardResult<Bytes> read = engine.ReadPhoneBookRecord(record);
            if (read.IsDone())
                DecodePhoneBookRecord(read.value);
            else if (!read.value.empty())
                return "a phone book record that was not read handed over bytes";
        }
    }
    if (engine.EnterSmsFile().IsDone()) {
        if (engine.SmsRecordCount() < 0 || engine.SmsRecordLength() < 0)
            return "negative SMS file size";
        for (int record = 1; record <= std::min(engine.SmsRecordCount(), 2); ++record) {
            const CardResult<Bytes> read = engine.ReadSmsRecord(record);
            if (read.IsDone())
                DecodeSmsRecord(read.value);
            else if (!read.value.empty())
                return "an SMS record that was not read handed over bytes";
        }
    }
    return nullptr;
}

}  // namespace pellucard::fuzz
