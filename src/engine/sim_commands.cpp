#include "engine/sim_commands.h"

#include "engine/status_words.h"

namespace pellucard::sim {

namespace {
CommandHeader Header(std::uint8_t ins, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3) {
    return {kClass, ins, p1, p2, p3};
}

constexpr std::uint8_t kInstructionsCarryingData[] = {
    ins::kSelect,          ins::kSeek,
    ins::kUpdateBinary,    ins::kUpdateRecord,
    ins::kIncrease,        ins::kVerifyChv,
    ins::kChangeChv,       ins::kDisableChv,
    ins::kEnableChv,       ins::kUnblockChv,
    ins::kRunGsmAlgorithm, ins::kTerminalProfile,
    ins::kEnvelope,        ins::kTerminalResponse,
};
}  // namespace

CardOutcome JudgeAnswer(LinkResult link, const Bytes& block) {
    if (link != LinkResult::Ok)
        return CardOutcome::LinkFailed();
    if (block.size() == 2) {
        const auto statusWord = static_cast<std::uint16_t>(block[0] << 8 | block[1]);
        return IsExecuted(statusWord) ? CardOutcome::Done(statusWord)
                                      : CardOutcome::Refused(statusWord);
    }
    if (block.size() > 2)
        return CardOutcome::Done();
    return CardOutcome::LinkFailed();
}

bool MayRepeat(const CommandHeader& header) {
    switch (header[1]) {
        case ins::kSelect:
        case ins::kStatus:
        case ins::kReadBinary:
            return true;
        case ins::kReadRecord:
            return header[3] == kRecordAbsolute;
        default:
            return false;
    }
}

bool CarriesData(std::uint8_t instruction) {
    for (const std::uint8_t code : kInstructionsCarryingData) {
        if (code == instruction)
            return true;
    }
    return false;
}

CommandHeader Select() {
    return Header(ins::kSelect, 0x00, 0x00, 0x02);
}
CommandHeader Status(std::uint8_t length) {
    return Header(ins::kStatus, 0x00, 0x00, length);
}
CommandHeader ReadBinary(std::uint8_t high, std::uint8_t low, std::uint8_t length) {
    return Header(ins::kReadBinary, high, low, length);
}
CommandHeader UpdateBinary(std::uint8_t high, std::uint8_t low, std::uint8_t length) {
    return Header(ins::kUpdateBinary, high, low, length);
}
CommandHeader ReadRecord(std::uint8_t record, std::uint8_t mode, std::uint8_t length) {
    return Header(ins::kReadRecord, record, mode, length);
}
CommandHeader UpdateRecord(std::uint8_t record, std::uint8_t mode, std::uint8_t length) {
    return Header(ins::kUpdateRecord, record, mode, length);
}
CommandHeader Seek(std::uint8_t type, std::uint8_t length) {
    return Header(ins::kSeek, 0x00, type, length);
}
CommandHeader Increase() {
    return Header(ins::kIncrease, 0x00, 0x00, 0x03);
}
CommandHeader VerifyChv(std::uint8_t chv) {
    return Header(ins::kVerifyChv, 0x00, chv, 0x08);
}
CommandHeader ChangeChv(std::uint8_t chv) {
    return Header(ins::kChangeChv, 0x00, chv, 0x10);
}
CommandHeader DisableChv() {
    return Header(ins::kDisableChv, 0x00, 0x01, 0x08);
}
CommandHeader EnableChv() {
    return Header(ins::kEnableChv, 0x00, 0x01, 0x08);
}
CommandHeader UnblockChv(std::uint8_t chv) {
    return Header(ins::kUnblockChv, 0x00, chv, 0x10);
}
CommandHeader Invalidate() {
    return Header(ins::kInvalidate, 0x00, 0x00, 0x00);
}
CommandHeader Rehabilitate() {
    return Header(ins::kRehabilitate, 0x00, 0x00, 0x00);
}
CommandHeader RunGsmAlgorithm() {
    return Header(ins::kRunGsmAlgorithm, 0x00, 0x00, 0x10);
}
CommandHeader Sleep() {
    return Header(ins::kSleep, 0x00, 0x00, 0x00);
}
CommandHeader GetResponse(std::uint8_t length) {
    return Header(ins::kGetResponse, 0x00, 0x00, length);
}
CommandHeader TerminalProfile(std::uint8_t length) {
    return Header(ins::kTerminalProfile, 0x00, 0x00, length);
}
CommandHeader Envelope(std::uint8_t length) {
    return Header(ins::kEnvelope, 0x00, 0x00, length);
}
CommandHeader Fetch(std::uint8_t length) {
    return Header(ins::kFetch, 0x00, 0x00, length);
}
CommandHeader TerminalResponse(std::uint8_t length) {
    return Header(ins::kTerminalResponse, 0x00, 0x00, length);
}

}  // namespace pellucard::sim
