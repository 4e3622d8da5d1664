#include "platform/t0_exchange.h"

namespace pellucard {

namespace {
constexpr std::uint8_t kGetResponse = 0xC0;

// 61 xx (ISO/IEC 7816-4) or 9F xx (GSM 11.11): xx bytes of response data are waiting.
bool MoreDataWaiting(const CardReply& reply) {
    return ClassOfStatusWord(reply.Status()) == StatusClass::ResponseWaiting;
}

// 6C xx: the command is to be sent again with Le = xx.
bool WrongLe(const CardReply& reply) {
    return ClassOfStatusWord(reply.Status()) == StatusClass::WrongLe;
}
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
    if (status == TerminalStatus::Ok && WrongLe(reply) && apdu.size() == 5) {
        apdu[4] = reply.sw2;
        status = Send(apdu, reply);
    }
    if (status != TerminalStatus::Ok)
        return status;

    Bytes collected = std::move(reply.data);
    for (int round = 0; MoreDataWaiting(reply); ++round) {
        // A card that never stops announcing more gives no whole answer: the exchange failed,
        // rather than hand on part of the data as the command's result.
        if (round == kMaxGetResponses)
            return TerminalStatus::Failed;
        // GET RESPONSE goes in the class of the command it completes: A0 for a GSM SIM, 00 for
        // a UICC (a class 80 command is completed in class 00).
        const std::uint8_t cla =
            command[0] == 0xA0 ? 0xA0 : static_cast<std::uint8_t>(command[0] & 0x03);
        Bytes get{cla, kGetResponse, 0x00, 0x00, reply.sw2};
        status = Send(get, reply);
        if (status == TerminalStatus::Ok && WrongLe(reply)) {
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
