#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "engine/bytes.h"

namespace pellucard {

// A SIM command header: class, instruction, P1, P2, P3.
using CommandHeader = std::array<std::uint8_t, 5>;

// Requests that the HID reader answers from data it keeps about the card. A reader of another
// kind answers them by reading the card with standard commands.
enum class ReaderRequest : std::uint8_t {
    ServiceTable = 0x12,
    Iccid = 0x13,
    ServiceProviderName = 0x15,
    SmsFileStatus = 0x16,
    PhoneBookFileStatus = 0x17,
    LastDialledFileStatus = 0x18,
    Phase = 0x19,
    FileStatus = 0x1D,  // reader-layout status of the file the last Iccid or name request read
};

enum class LinkResult {
    Ok,
    SendFailed,     // a command did not reach the reader
    ReceiveFailed,  // the reply did not come or was not usable; cached card state is stale
};

// The seam under the SIM command layer: everything the engine asks of a reader.
class CardChannel {
public:
    virtual ~CardChannel() = default;

    // Finds and opens the reader; false when there is none.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Resets the card and returns its answer to reset (empty with no card).
    virtual LinkResult ResetCard(Bytes& answerToReset) = 0;
    virtual LinkResult Request(ReaderRequest request, Bytes& block) = 0;
    // Passes one SIM command; `response` receives the response data, or the two status words
    // when the command has no response data. File identifier bytes are used by SELECT only.
    virtual LinkResult SimCommand(const CommandHeader& header, std::uint8_t fileHigh,
                                  std::uint8_t fileLow, const Bytes& data, Bytes& response) = 0;
    // Whether the last SimCommand's answer was response data rather than the status words,
    // where the channel can tell: two bytes of data (a record of two bytes) look like status
    // words. Nothing when the channel cannot tell, as the USB reader's protocol cannot.
    virtual std::optional<bool> LastAnswerWasData() const { return std::nullopt; }
};

}  // namespace pellucard
