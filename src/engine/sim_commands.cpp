#include "engine/sim_commands.h"

#include <cstdio>

namespace pellucard {

std::string CardOutcome::StatusText() const {
    char text[8];
    std::snprintf(text, sizeof text, "%02X %02X", statusWord >> 8, statusWord & 0xFF);
    return text;
}

}  // namespace pellucard

namespace pellucard::sim {

namespace {
CommandHeader Header(std::uint8_t ins, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3) {
    return {kClass, ins, p1, p2, p3};
}

constexpr std::uint8_t kInstructionsCarryingData[] = {
    0xA4,  // SELECT
    0xA2,  // SEEK
    0xD6,  // UPDATE BINARY
    0xDC,  // UPDATE RECORD
    0x32,  // INCREASE
    0x20,  // VERIFY CHV
    0x24,  // CHANGE CHV
    0x26,  // DISABLE CHV
    0x28,  // ENABLE CHV
    0x2C,  // UNBLOCK CHV
    0x88,  // RUN GSM ALGORITHM
    0x10,  // TERMINAL PROFILE
    0xC2,  // ENVELOPE
    0x14,  // TERMINAL RESPONSE
};
}  // namespace

bool IsExecuted(std::uint16_t statusWord) {
    const int sw1 = statusWord >> 8;
    return statusWord == 0x9000 || sw1 == 0x91 || sw1 == 0x9F;
}

bool IsAccessConditionNotFulfilled(std::uint16_t statusWord) {
    return statusWord == 0x9804;
}

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

bool CarriesData(std::uint8_t instruction) {
    for (const std::uint8_t code : kInstructionsCarryingData) {
        if (code == instruction)
            return true;
    }
    return false;
}

CommandHeader Select() {
    return Header(0xA4, 0x00, 0x00, 0x02);
}
CommandHeader Status(std::uint8_t length) {
    return Header(0xF2, 0x00, 0x00, length);
}
CommandHeader ReadBinary(std::uint8_t high, std::uint8_t low, std::uint8_t length) {
    return Header(0xB0, high, low, length);
}
CommandHeader UpdateBinary(std::uint8_t high, std::uint8_t low, std::uint8_t length) {
    return Header(0xD6, high, low, length);
}
CommandHeader ReadRecord(std::uint8_t record, std::uint8_t mode, std::uint8_t length) {
    return Header(0xB2, record, mode, length);
}
CommandHeader UpdateRecord(std::uint8_t record, std::uint8_t mode, std::uint8_t length) {
    return Header(0xDC, record, mode, length);
}
CommandHeader Seek(std::uint8_t type, std::uint8_t length) {
    return Header(0xA2, 0x00, type, length);
}
CommandHeader Increase() {
    return Header(0x32, 0x00, 0x00, 0x03);
}
CommandHeader VerifyChv(std::uint8_t chv) {
    return Header(0x20, 0x00, chv, 0x08);
}
CommandHeader ChangeChv(std::uint8_t chv) {
    return Header(0x24, 0x00, chv, 0x10);
}
CommandHeader DisableChv() {
    return Header(0x26, 0x00, 0x01, 0x08);
}
CommandHeader EnableChv() {
    return Header(0x28, 0x00, 0x01, 0x08);
}
CommandHeader UnblockChv(std::uint8_t chv) {
    return Header(0x2C, 0x00, chv, 0x10);
}
CommandHeader Invalidate() {
    return Header(0x04, 0x00, 0x00, 0x00);
}
CommandHeader Rehabilitate() {
    return Header(0x44, 0x00, 0x00, 0x00);
}
CommandHeader RunGsmAlgorithm() {
    return Header(0x88, 0x00, 0x00, 0x10);
}
CommandHeader Sleep() {
    return Header(0xFA, 0x00, 0x00, 0x00);
}
CommandHeader GetResponse(std::uint8_t length) {
    return Header(0xC0, 0x00, 0x00, length);
}
CommandHeader TerminalProfile(std::uint8_t length) {
    return Header(0x10, 0x00, 0x00, length);
}
CommandHeader Envelope(std::uint8_t length) {
    return Header(0xC2, 0x00, 0x00, length);
}
CommandHeader Fetch(std::uint8_t length) {
    return Header(0x12, 0x00, 0x00, length);
}
CommandHeader TerminalResponse(std::uint8_t length) {
    return Header(0x14, 0x00, 0x00, length);
}

}  // namespace pellucard::sim
