// The five CHV operations of GSM 11.11: verify, change, enable, disable, unblock.
#include "engine/pellucard.h"
#include "engine/sim_commands.h"

namespace pellucard {

namespace {
// Reads of the counters after a CHV command before they count as unknown.
constexpr int kCounterReads = 3;
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

// Sends a CHV command once and reads the counters again. A CHV command is never repeated: each
// one the card judges costs the user an attempt, so a command whose answer was lost may have
// been judged already. The card's status word decides success; when the answer was lost the
// counters are read again (a read may be repeated) so that the caller can tell the user where
// they stand, and the result is a failure of the link, never a wrong code.
bool Pellucard::RunChvCommand(const CommandHeader& header, const Bytes& data, int judgedChv) {
    (void)judgedChv;
    Bytes exchange = data;
    SendSimCommand(header, 0, 0, exchange);
    const CardOutcome outcome = lastOutcome_;
    countersKnown_ = false;
    for (int read = 0; read < kCounterReads && !countersKnown_; ++read) {
        cardStatus_.unblockChv2AttemptsLeft = kStaleMark;
        countersKnown_ = CheckChvStatus();
    }
    lastOutcome_ = outcome;
    return outcome.IsDone();
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
    const bool ok = RunChvCommand(sim::ChangeChv(number), data, number);
    // GSM 11.11: a successful CHANGE CHV satisfies the CHV, as VERIFY CHV does.
    if (ok && number == 1)
        cardStatus_.chv1Disabled = 0x80;
    return ok;
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
    const bool ok = RunChvCommand(sim::UnblockChv(number), data, number);
    // GSM 11.11: a successful UNBLOCK CHV sets the new CHV and satisfies it: the card's files
    // are open as after a verification.
    if (ok && number == 1)
        cardStatus_.chv1Disabled = 0x80;
    return ok;
}

}  // namespace pellucard
