#pragma once

#include <cstdint>
#include <string>

#include "engine/status_words.h"

namespace pellucard {

// What became of one SIM command: the card executed it, the card refused it (with the status
// word it answered), or the command or its answer was lost between host and card.
enum class CardOutcomeKind { Done, Refused, LinkFailed };

// The engine's operations answer with their outcome; a caller that drops it has not looked at
// what the card said, hence [[nodiscard]].
struct [[nodiscard]] CardOutcome {
    CardOutcomeKind kind = CardOutcomeKind::LinkFailed;
    std::uint16_t statusWord = 0;  // the card's answer; 0 when the link failed

    static CardOutcome Done(std::uint16_t statusWord = status_word::kNormalEnding) {
        return {CardOutcomeKind::Done, statusWord};
    }
    static CardOutcome Refused(std::uint16_t statusWord) {
        return {CardOutcomeKind::Refused, statusWord};
    }
    static CardOutcome LinkFailed() { return {CardOutcomeKind::LinkFailed, 0}; }

    bool IsDone() const { return kind == CardOutcomeKind::Done; }
    bool IsRefused() const { return kind == CardOutcomeKind::Refused; }
    bool IsLinkFailed() const { return kind == CardOutcomeKind::LinkFailed; }

    // The status word as people read it: "98 04".
    std::string StatusText() const { return StatusWordHex(statusWord); }

    bool operator==(const CardOutcome&) const = default;
};

// An operation that reads something: its value, good only when the outcome is done, and the
// outcome.
template <typename T>
struct [[nodiscard]] CardResult {
    T value{};
    CardOutcome outcome;

    bool IsDone() const { return outcome.IsDone(); }
};

}  // namespace pellucard
