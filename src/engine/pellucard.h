#pragma once

#include <cstdint>
#include <memory>

#include "engine/bytes.h"
#include "engine/card_channel.h"
#include "engine/sim_file_info.h"

namespace pellucard {

// The card engine: one object per program. It owns the reader channel, passes SIM commands
// through it, decodes the card's files and converts between the card's encodings and text.
// Failures are results, never exceptions; the engine never shows a message.
class Pellucard {
public:
    explicit Pellucard(std::unique_ptr<CardChannel> channel);
    ~Pellucard();
    Pellucard(const Pellucard&) = delete;
    Pellucard& operator=(const Pellucard&) = delete;

    // --- Reader link ---
    bool FindReader();
    void Release();
    // True when the last exchange with the card succeeded: the windows read it as "a card
    // answered in the reader".
    bool CardPresent() const { return lastResult_; }
    // The reader is open. The main window writes false here when it closes.
    bool ReaderPresent() const { return connected_; }
    void SetReaderPresent(bool present);

    CardChannel& Channel() { return *channel_; }

    // --- SIM command layer ---
    bool SendSimCommand(const CommandHeader& header, std::uint8_t fileHigh, std::uint8_t fileLow,
                        Bytes& data);
    // SELECT by identifier; one variant for each first byte the engine selects by.
    bool SelectFile7F(std::uint8_t low, Bytes& response) { return SelectFile(0x7F, low, response); }
    bool SelectFile6F(std::uint8_t low, Bytes& response) { return SelectFile(0x6F, low, response); }
    bool SelectFile2F(std::uint8_t low, Bytes& response) { return SelectFile(0x2F, low, response); }
    bool SelectFile3F(std::uint8_t low, Bytes& response) { return SelectFile(0x3F, low, response); }
    bool CheckChvStatus();
    bool ReadMasterStatus();
    const SimFileInfo& CardStatus() const { return cardStatus_; }
    SimFileInfo& MutableCardStatus() { return cardStatus_; }

    // Forgets the cached record counts and lengths, the card status and the last result.
    void ResetCardState();

protected:
    bool SelectFile(std::uint8_t high, std::uint8_t low, Bytes& response);
    bool Track(LinkResult result);

    std::unique_ptr<CardChannel> channel_;
    bool connected_ = false;
    bool lastResult_ = false;
    SimFileInfo cardStatus_;

    // Cached by the card-information reads.
    std::int16_t phoneBookRecordCount_ = 0;
    std::int16_t smsRecordCount_ = 0;
    std::int16_t lastDialledRecordCount_ = 0;
    std::int16_t phoneBookRecordLength_ = 0;
    std::int16_t smsRecordLength_ = 0;
    std::uint8_t answerToResetLength_ = 0;
};

}  // namespace pellucard
