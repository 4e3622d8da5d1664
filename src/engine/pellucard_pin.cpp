// The five CHV operations of GSM 11.11: verify, change, enable, disable, unblock.
#include "engine/pellucard.h"
#include "engine/sim_commands.h"

namespace pellucard {

namespace {
constexpr std::uint8_t kMaxChvAttempts = 3;
constexpr std::uint8_t kStaleMark = 100;

std::uint8_t ChvNumber(int chv) {
    return chv == 2 ? 2 : 1;
}
}  // namespace

void Pellucard::PadPin(const std::string& code, Bytes& data, std::size_t offset) {
    if (data.size() < offset + 8)
        data.resize(offset + 8, 0xFF);
    for (std::size_t i = 0; i < 8; ++i) {
        data[offset + i] = i < code.size() ? static_cast<std::uint8_t>(code[i]) : 0xFF;
    }
}

// Sends a CHV command and re-reads the counters. The card puts a CHV's counter back to its
// maximum after a right code and lowers it after a wrong one, so success is judged by the counter
// of the CHV the command addressed.
bool Pellucard::RunChvCommand(const CommandHeader& header, const Bytes& data, int judgedChv) {
    Bytes exchange = data;
    SendSimCommand(header, 0, 0, exchange);
    cardStatus_.unblockChv2AttemptsLeft = kStaleMark;
    if (!CheckChvStatus())
        return false;
    const auto left = judgedChv == 2 ? cardStatus_.chv2AttemptsLeft : cardStatus_.chv1AttemptsLeft;
    return left == kMaxChvAttempts;
}

bool Pellucard::PINCodeVerify(const std::string& pin, int chv) {
    Bytes data;
    PadPin(pin, data, 0);
    const auto number = ChvNumber(chv);
    const bool ok = RunChvCommand(sim::VerifyChv(number), data, number);
    // A verified PIN1 opens the card's files until the status is next read from the card.
    if (ok && number == 1)
        cardStatus_.chv1Disabled = 0x80;
    return ok;
}

bool Pellucard::PINCodeChange(const std::string& newPin, const std::string& oldPin, int chv) {
    Bytes data;
    PadPin(oldPin, data, 0);
    PadPin(newPin, data, 8);
    const auto number = ChvNumber(chv);
    return RunChvCommand(sim::ChangeChv(number), data, number);
}

bool Pellucard::PINCodeEnable(const std::string& pin, int /*chv: always CHV1*/) {
    Bytes data;
    PadPin(pin, data, 0);
    return RunChvCommand(sim::EnableChv(), data, 1);
}

bool Pellucard::PINCodeDisable(const std::string& pin, int /*chv: always CHV1*/) {
    Bytes data;
    PadPin(pin, data, 0);
    return RunChvCommand(sim::DisableChv(), data, 1);
}

bool Pellucard::PINCodeUnBlock(const std::string& newPin, const std::string& unblockCode, int chv) {
    Bytes data;
    PadPin(unblockCode, data, 0);
    PadPin(newPin, data, 8);
    const auto number = ChvNumber(chv);
    return RunChvCommand(sim::UnblockChv(number), data, number);
}

}  // namespace pellucard
