#pragma once

#include <memory>

#include "engine/card_channel.h"

namespace pellucard {

// The reader a person most likely means: the USB SIM reader when one is plugged in, else a
// standard smart-card reader (PC/SC) that holds a card. The choice is made again at every
// Open, so a reader plugged in later is found by the next search.
class AutoChannel final : public CardChannel {
public:
    AutoChannel(std::unique_ptr<CardChannel> usbReader,
                std::unique_ptr<CardChannel> smartCardReader)
        : first_(std::move(usbReader)), second_(std::move(smartCardReader)) {}

    bool Open() override {
        Close();
        if (first_->Open())
            active_ = first_.get();
        else if (second_->Open())
            active_ = second_.get();
        return active_ != nullptr;
    }
    void Close() override {
        if (active_)
            active_->Close();
        active_ = nullptr;
    }
    bool IsOpen() const override { return active_ && active_->IsOpen(); }
    LinkResult ResetCard(Bytes& answerToReset) override {
        answerToReset.clear();
        return active_ ? active_->ResetCard(answerToReset) : LinkResult::SendFailed;
    }
    LinkResult Request(ReaderRequest request, Bytes& block) override {
        block.clear();
        return active_ ? active_->Request(request, block) : LinkResult::SendFailed;
    }
    LinkResult SimCommand(const CommandHeader& header, std::uint8_t fileHigh, std::uint8_t fileLow,
                          const Bytes& data, Bytes& response) override {
        response.clear();
        return active_ ? active_->SimCommand(header, fileHigh, fileLow, data, response)
                       : LinkResult::SendFailed;
    }

    // The reader in use: the USB SIM reader's channel, the other one, or none.
    const CardChannel* Active() const { return active_; }

private:
    std::unique_ptr<CardChannel> first_;
    std::unique_ptr<CardChannel> second_;
    CardChannel* active_ = nullptr;
};

}  // namespace pellucard
