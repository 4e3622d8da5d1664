#include "engine/status_words.h"

#include <cstdio>

namespace pellucard {
namespace {

using C = StatusClass;
using M = StatusMeaning;

constexpr std::uint16_t kWord = 0xFFFF;
constexpr std::uint16_t kSw1 = 0xFF00;

// GSM 11.11 9.4 first, then the ISO/IEC 7816-4 words a UICC answers with. A word that GSM 11.11
// and ISO/IEC 7816-4 name alike shares its meaning (69 82 says what 98 04 says).
constexpr StatusWordEntry kTable[] = {
    // Executed
    {0x9000, kWord, C::Done, M::None},
    {0x9100, kSw1, C::Done, M::None},
    {0x9F00, kSw1, C::ResponseWaiting, M::None},
    {0x6100, kSw1, C::ResponseWaiting, M::None},
    {0x9240, kWord, C::MemoryProblem, M::MemoryProblem},
    {0x9200, 0xFFF0, C::DoneWithWarning, M::SuccessAfterRetries},
    // GSM 11.11
    {0x9300, kWord, C::Busy, M::ToolkitBusy},
    {0x9400, kWord, C::NotAllowed, M::NoEfSelected},
    {0x9402, kWord, C::RecordNotFound, M::OutOfRange},
    {0x9404, kWord, C::FileNotFound, M::FileIdNotFound},
    {0x9408, kWord, C::NotAllowed, M::FileInconsistent},
    {0x9802, kWord, C::NotAllowed, M::NoChvInitialized},
    {0x9804, kWord, C::SecurityNotSatisfied, M::AccessConditionNotFulfilled},
    {0x9808, kWord, C::NotAllowed, M::ChvContradiction},
    {0x9810, kWord, C::NotAllowed, M::InvalidationContradiction},
    {0x9840, kWord, C::Blocked, M::ChvNoAttemptLeft},
    {0x9850, kWord, C::Refused, M::MaxValueReached},
    {0x6700, kWord, C::WrongParameters, M::IncorrectP3Length},
    {0x6700, kSw1, C::WrongParameters, M::IncorrectP3},
    {0x6B00, kSw1, C::WrongParameters, M::IncorrectP1OrP2},
    {0x6D00, kSw1, C::UnknownInstruction, M::UnknownInstruction},
    {0x6E00, kSw1, C::WrongClass, M::WrongClass},
    {0x6F00, kSw1, C::TechnicalProblem, M::TechnicalProblem},
    // ISO/IEC 7816-4
    {0x6281, kWord, C::Warning, M::DataMayBeCorrupted},
    {0x6282, kWord, C::Warning, M::EndOfFile},
    {0x6200, kSw1, C::Warning, M::None},
    {0x63C0, 0xFFF0, C::WrongPin, M::PinIncorrect},
    {0x6581, kWord, C::MemoryProblem, M::MemoryFailure},
    {0x6C00, kSw1, C::WrongLe, M::None},
    {0x6981, kWord, C::NotAllowed, M::FileInconsistent},
    {0x6982, kWord, C::SecurityNotSatisfied, M::AccessConditionNotFulfilled},
    {0x6983, kWord, C::Blocked, M::ChvNoAttemptLeft},
    {0x6984, kWord, C::NotAllowed, M::InvalidationContradiction},
    {0x6985, kWord, C::NotAllowed, M::ChvContradiction},
    {0x6986, kWord, C::NotAllowed, M::NoEfSelected},
    {0x6A80, kWord, C::WrongParameters, M::DataFieldIncorrect},
    {0x6A81, kWord, C::Refused, M::FunctionNotSupported},
    {0x6A82, kWord, C::FileNotFound, M::FileNotFound},
    {0x6A83, kWord, C::RecordNotFound, M::RecordNotFound},
    {0x6A84, kWord, C::MemoryProblem, M::InsufficientMemory},
    {0x6A86, kWord, C::WrongParameters, M::P1OrP2Incorrect},
    {0x6A87, kWord, C::WrongParameters, M::P3Inconsistent},
    {0x6A88, kWord, C::Refused, M::ReferencedDataNotFound},
    // Everything else
    {0x0000, 0x0000, C::Refused, M::None},
};

}  // namespace

std::span<const StatusWordEntry> StatusWordTable() {
    return kTable;
}

const StatusWordEntry& LookUpStatusWord(std::uint16_t statusWord) {
    for (const StatusWordEntry& entry : kTable) {
        if ((statusWord & entry.mask) == entry.pattern)
            return entry;
    }
    return kTable[std::size(kTable) - 1];
}

bool IsExecuted(std::uint16_t statusWord) {
    switch (ClassOfStatusWord(statusWord)) {
        case StatusClass::Done:
        case StatusClass::DoneWithWarning:
        case StatusClass::ResponseWaiting:
            return true;
        default:
            return false;
    }
}

std::optional<int> AttemptsLeft(std::uint16_t statusWord) {
    if (ClassOfStatusWord(statusWord) != StatusClass::WrongPin)
        return std::nullopt;
    return statusWord & 0x0F;
}

std::string StatusWordHex(std::uint16_t statusWord) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X %02X", statusWord >> 8, statusWord & 0xFF);
    return text;
}

}  // namespace pellucard
