#pragma once

// What must hold for the file-status and card-information decoders on any card answer. Shared
// by the libFuzzer target and by the corpus replay test; each check returns nullptr or what went
// wrong.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/card_channel.h"
#include "engine/pellucard.h"
#include "engine/sim_file_info.h"

namespace pellucard::fuzz {

// A reader whose every answer is the next slice of the fuzz input: a length byte, then that many
// bytes. When the input runs out, the reader fails.
class SlicedChannel final : public CardChannel {
public:
    SlicedChannel(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Open() override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    LinkResult ResetCard(Bytes& atr) override { return Next(atr); }
    LinkResult Request(ReaderRequest, Bytes& block) override { return Next(block); }
    LinkResult SimCommand(const CommandHeader&, std::uint8_t, std::uint8_t, const Bytes&,
                          Bytes& response) override {
        return Next(response);
    }

private:
    LinkResult Next(Bytes& out) {
        out.clear();
        if (at_ >= size_)
            return LinkResult::ReceiveFailed;
        const std::size_t length = data_[at_++];
        const std::size_t take = std::min(length, size_ - at_);
        out.assign(data_ + at_, data_ + at_ + take);
        at_ += take;
        return out.empty() ? LinkResult::ReceiveFailed : LinkResult::Ok;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

inline bool IsDecimal(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// Input: the card's answers, one slice each.
inline const char* CheckCardInformation(const std::uint8_t* data, std::size_t size) {
    ParseFileInfo(Bytes(data, data + size));
    ParseReaderFileStatus(Bytes(data, data + size));

    Pellucard engine(std::make_unique<SlicedChannel>(data, size));
    if (!engine.OpenReader())
        return nullptr;
    if (engine.ResetCard().IsDone() && engine.AnswerToReset().empty())
        return "a reset done without an answer to reset";
    for (int item = 18; item <= 38; ++item) {
        const CardInfoAnswer answer = engine.ReadCardInfo(static_cast<CardInfoItem>(item));
        const bool counter = item == 24 || item == 27 || item == 28 || item == 30 ||
                             (item >= 32 && item <= 35) || item == 37;
        const bool known = counter || item == 19 || item == 20 || item == 21 || item == 25 ||
                           item == 26 || item == 31;
        if (!answer.value)
            continue;
        if (!known)
            return "an item the engine does not know gave a text";
        if (!answer.outcome.IsDone())
            return "an item given with a failed or refused exchange";
        if (counter && !IsDecimal(*answer.value) && answer.value->front() != '-')
            return "a count is not a decimal number";
    }
    return nullptr;
}

}  // namespace pellucard::fuzz
