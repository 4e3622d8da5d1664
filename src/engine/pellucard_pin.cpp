// The five CHV operations of GSM 11.11: verify, change, enable, disable, unblock.
#include "engine/pellucard.h"
#include "engine/sim_commands.h"

namespace pellucard {

namespace {
// Reads of the counters after a CHV command before they count as unknown.
constexpr int kCounterReads = 3;

std::uint8_t ChvNumber(int chv) {
    return chv == 2 ? 2 : 1;
}

// A code as the card takes it: its characters, then 0xFF up to 8 bytes (cut at 8).
void PadPin(const std::string& code, Bytes& data, std::size_t offset) {
    if (data.size() < offset + 8)
        data.resize(offset + 8, 0xFF);
    for (std::size_t i = 0; i < 8; ++i) {
        data[offset + i] = i < code.size() ? static_cast<std::uint8_t>(code[i]) : 0xFF;
    }
}

// The data of a command that carries one code, or two (the first the card checks, the second
// the one it sets).
Bytes Codes(const std::string& first, const std::string* second = nullptr) {
    Bytes data;
    PadPin(first, data, 0);
    if (second != nullptr)
        PadPin(*second, data, 8);
    return data;
}
}  // namespace

// Sends a CHV command once and reads the counters again. A CHV command is never repeated: each
// one the card judges costs the user an attempt, so a command whose answer was lost may have
// been judged already. The card's status word decides the outcome; when the answer was lost the
// counters are read again (a read may be repeated) so that the caller can tell the user where
// they stand, and the outcome is a failure of the link, never a wrong code.
CardOutcome Pellucard::RunChvCommand(const CommandHeader& header, const Bytes& data) {
    // A CHV1 verified before stays verified on the card through a command on CHV2 (P2 = 2), but
    // the status read again below says only whether CHV1 is switched off.
    const bool onChv2 = header[3] == 2;
    const bool chv1Open =
        cardStatus_.chv1AttemptsLeft > 0 && (cardStatus_.chv1Disabled & 0x80) != 0;
    const CardOutcome outcome = SendSimCommand(header, 0, 0, data).outcome;
    // Whatever the card answered, the counters it had before are stale now.
    chvCountersStale_ = true;
    countersKnown_ = false;
    for (int read = 0; read < kCounterReads && !countersKnown_; ++read)
        countersKnown_ = ReadChvCounters();
    if (onChv2 && chv1Open && countersKnown_ && cardStatus_.chv1AttemptsLeft > 0)
        cardStatus_.chv1Disabled = 0x80;
    return outcome;
}

CardOutcome Pellucard::VerifyPin(int chv, const std::string& pin) {
    const auto number = ChvNumber(chv);
    const CardOutcome outcome = RunChvCommand(sim::VerifyChv(number), Codes(pin));
    // A verified PIN1 opens the card's files until the status is next read from the card.
    if (outcome.IsDone() && number == 1)
        cardStatus_.chv1Disabled = 0x80;
    return outcome;
}

CardOutcome Pellucard::ChangePin(int chv, const std::string& oldPin, const std::string& newPin) {
    const auto number = ChvNumber(chv);
    const CardOutcome outcome = RunChvCommand(sim::ChangeChv(number), Codes(oldPin, &newPin));
    // GSM 11.11: a successful CHANGE CHV satisfies the CHV, as VERIFY CHV does.
    if (outcome.IsDone() && number == 1)
        cardStatus_.chv1Disabled = 0x80;
    return outcome;
}

CardOutcome Pellucard::EnablePin1(const std::string& pin) {
    return RunChvCommand(sim::EnableChv(), Codes(pin));
}

CardOutcome Pellucard::DisablePin1(const std::string& pin) {
    return RunChvCommand(sim::DisableChv(), Codes(pin));
}

CardOutcome Pellucard::UnblockPin(int chv, const std::string& unblockCode,
                                  const std::string& newPin) {
    const auto number = ChvNumber(chv);
    const CardOutcome outcome = RunChvCommand(sim::UnblockChv(number), Codes(unblockCode, &newPin));
    // GSM 11.11: a successful UNBLOCK CHV sets the new CHV and satisfies it: the card's files
    // are open as after a verification.
    if (outcome.IsDone() && number == 1)
        cardStatus_.chv1Disabled = 0x80;
    return outcome;
}

}  // namespace pellucard
