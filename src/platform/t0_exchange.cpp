#include "platform/t0_exchange.h"

namespace pellucard {

namespace {
constexpr std::uint8_t kGetResponse = 0xC0;
constexpr std::uint8_t kMoreData = 0x61;     // ISO/IEC 7816-4: xx bytes are waiting
constexpr std::uint8_t kGsmMoreData = 0x9F;  // GSM 11.11: the same for a SIM
constexpr std::uint8_t kWrongLe = 0x6C;      // the right Le is xx
}  // namespace

TerminalStatus T0Exchange::Send(const Bytes& apdu, CardReply& reply) {
    ++apdus_;
    Bytes raw;
    const TerminalStatus status = terminal_.Transmit(apdu, raw);
    if (status != TerminalStatus::Ok)
        return status;
    // Every answer ends in two status words. A reader that reports success with less has lost
    // the card on the way (a card pulled in the middle of a command does that).
    if (raw.size() < 2)
        return TerminalStatus::CardRemoved;
    reply.sw1 = raw[raw.size() - 2];
    reply.sw2 = raw[raw.size() - 1];
    raw.resize(raw.size() - 2);
    reply.data = std::move(raw);
    return TerminalStatus::Ok;
}

TerminalStatus T0Exchange::Exchange(const Bytes& command, CardReply& reply) {
    reply = {};
    if (command.size() < 5)
        return TerminalStatus::Failed;
    Bytes apdu = command;
    TerminalStatus status = Send(apdu, reply);
    // A 6C answer concerns the length of data expected back, so only a command without data
    // (case 2) is repeated, and only once.
    if (status == TerminalStatus::Ok && reply.sw1 == kWrongLe && apdu.size() == 5) {
        apdu[4] = reply.sw2;
        status = Send(apdu, reply);
    }
    if (status != TerminalStatus::Ok)
        return status;

    Bytes collected = std::move(reply.data);
    for (int round = 0;
         round < kMaxGetResponses && (reply.sw1 == kMoreData || reply.sw1 == kGsmMoreData);
         ++round) {
        // GET RESPONSE goes in the class of the command it completes: A0 for a GSM SIM, 00 for
        // a UICC (a class 80 command is completed in class 00).
        const std::uint8_t cla =
            command[0] == 0xA0 ? 0xA0 : static_cast<std::uint8_t>(command[0] & 0x03);
        Bytes get{cla, kGetResponse, 0x00, 0x00, reply.sw2};
        status = Send(get, reply);
        if (status == TerminalStatus::Ok && reply.sw1 == kWrongLe) {
            get[4] = reply.sw2;
            status = Send(get, reply);
        }
        if (status != TerminalStatus::Ok)
            return status;
        collected.insert(collected.end(), reply.data.begin(), reply.data.end());
    }
    reply.data = std::move(collected);
    return TerminalStatus::Ok;
}

}  // namespace pellucard
