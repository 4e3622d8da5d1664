#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pellucard {

// Status words the program itself answers with or looks for, as SW1 << 8 | SW2: GSM 11.11 9.4
// for a SIM, ISO/IEC 7816-4 and ETSI TS 102 221 for a UICC. Where a word carries a number in
// SW2 (a length, the attempts left) the constant has SW2 = 0 and the number is or-ed in.
namespace status_word {
// GSM 11.11
inline constexpr std::uint16_t kNormalEnding = 0x9000;
inline constexpr std::uint16_t kGsmResponseData = 0x9F00;  // | length of the response data
inline constexpr std::uint16_t kNoEfSelected = 0x9400;
inline constexpr std::uint16_t kOutOfRange = 0x9402;  // invalid address: no such record
inline constexpr std::uint16_t kFileIdNotFound = 0x9404;
inline constexpr std::uint16_t kFileInconsistent = 0x9408;  // the command does not fit the file
// Also: a wrong CHV or unblocking code with attempts left.
inline constexpr std::uint16_t kAccessConditionNotFulfilled = 0x9804;
inline constexpr std::uint16_t kContradictsChvStatus = 0x9808;
inline constexpr std::uint16_t kContradictsInvalidation = 0x9810;
inline constexpr std::uint16_t kChvBlocked = 0x9840;   // wrong code and none left, or blocked
inline constexpr std::uint16_t kWrongLength = 0x6700;  // | the right P3 where there is one
inline constexpr std::uint16_t kWrongP1P2 = 0x6B00;
inline constexpr std::uint16_t kUnknownInstruction = 0x6D00;
inline constexpr std::uint16_t kWrongClass = 0x6E00;
inline constexpr std::uint16_t kTechnicalProblem = 0x6F00;
// ISO/IEC 7816-4, as a UICC answers
inline constexpr std::uint16_t kResponseData = 0x6100;  // | length of the response data
inline constexpr std::uint16_t kWrongLe = 0x6C00;       // | the length to ask for instead
inline constexpr std::uint16_t kPinTriesLeft = 0x63C0;  // | tries left after a wrong code
inline constexpr std::uint16_t kIncompatibleFileStructure = 0x6981;
inline constexpr std::uint16_t kSecurityNotSatisfied = 0x6982;
inline constexpr std::uint16_t kAuthenticationBlocked = 0x6983;
inline constexpr std::uint16_t kConditionsNotSatisfied = 0x6985;
inline constexpr std::uint16_t kNoCurrentEf = 0x6986;
inline constexpr std::uint16_t kWrongData = 0x6A80;
inline constexpr std::uint16_t kFileNotFound = 0x6A82;
inline constexpr std::uint16_t kRecordNotFound = 0x6A83;
inline constexpr std::uint16_t kIncorrectP1P2 = 0x6A86;
inline constexpr std::uint16_t kReferencedDataNotFound = 0x6A88;
}  // namespace status_word

// What a status word tells the program to do or to say.
enum class StatusClass {
    Done,             // executed (90 00; 91 xx with a proactive command waiting)
    DoneWithWarning,  // executed after the card's internal retries (92 0x)
    ResponseWaiting,  // executed; xx bytes of response data wait for GET RESPONSE (9F xx, 61 xx)
    WrongLe,          // not executed; the card asks for the command again with P3 = xx (6C xx)
    Warning,          // ISO warnings (62 xx): the answer is not taken as the command's result
    Busy,             // the card's toolkit is busy (93 00)
    SecurityNotSatisfied,  // a CHV was not presented, or the code was wrong (98 04, 69 82)
    WrongPin,              // a wrong code; SW2 says the attempts left (63 Cx)
    Blocked,               // no attempt left, or the code is blocked (98 40, 69 83)
    FileNotFound,          // 94 04, 6A 82
    RecordNotFound,        // 94 02, 6A 83
    NotAllowed,            // the card's state or the file forbids it (94 00, 94 08, 98 08, 69 8x)
    WrongParameters,       // P1, P2, P3 or the data are wrong (67 xx, 6B xx, 6A 80, 6A 86, ...)
    UnknownInstruction,    // 6D xx
    WrongClass,            // 6E xx
    MemoryProblem,         // 92 40, 65 81, 6A 84
    TechnicalProblem,      // 6F xx
    Refused,               // any other refusal
};

// The text of the message catalogue that says what a status word means. The engine knows no
// texts; the catalogue maps each meaning to its message in the user's language.
enum class StatusMeaning {
    None,  // the catalogue has no text for it
    MemoryProblem,
    ToolkitBusy,
    NoEfSelected,
    OutOfRange,
    FileIdNotFound,
    FileInconsistent,
    NoChvInitialized,
    AccessConditionNotFulfilled,
    ChvContradiction,
    InvalidationContradiction,
    ChvNoAttemptLeft,
    MaxValueReached,
    SuccessAfterRetries,  // the count of retries is SW2
    DataMayBeCorrupted,
    EndOfFile,
    PinIncorrect,
    MemoryFailure,
    IncorrectP3Length,
    IncorrectP3,
    DataFieldIncorrect,
    FunctionNotSupported,
    FileNotFound,
    RecordNotFound,
    InsufficientMemory,
    P1OrP2Incorrect,
    P3Inconsistent,
    ReferencedDataNotFound,
    IncorrectP1OrP2,
    UnknownInstruction,
    WrongClass,
    TechnicalProblem,
};

// One entry of the table of status words: the words it covers (those equal to `pattern` in the
// bits of `mask`), their class, and what the catalogue says of them.
struct StatusWordEntry {
    std::uint16_t pattern;
    std::uint16_t mask;
    StatusClass statusClass;
    StatusMeaning meaning;
};

// Every status word the program knows, the more particular entries first; the last entry covers
// every word.
std::span<const StatusWordEntry> StatusWordTable();

// The first entry of the table that covers `statusWord`.
const StatusWordEntry& LookUpStatusWord(std::uint16_t statusWord);

inline StatusClass ClassOfStatusWord(std::uint16_t statusWord) {
    return LookUpStatusWord(statusWord).statusClass;
}

// The card executed the command: done, done with a warning, or done with response data waiting.
bool IsExecuted(std::uint16_t statusWord);

// The attempts left that a wrong-code answer names (63 Cx); nothing for any other word.
std::optional<int> AttemptsLeft(std::uint16_t statusWord);

// The status word as people read it: "98 04".
std::string StatusWordHex(std::uint16_t statusWord);

}  // namespace pellucard
