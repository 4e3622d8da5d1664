#include "simulator/virtual_sim_card_chv.h"

#include <algorithm>

#include "simulator/virtual_sim_card_status.h"

namespace pellucard {

namespace {

constexpr std::size_t kCodeBytes = 8;

// GSM 11.11 9.3: a CHV is 4 to 8 decimal digits, padded with FF to 8 bytes.
bool IsWellFormedCode(const Bytes& code) {
    const auto end = std::find(code.begin(), code.end(), 0xFF);
    const auto digits = end - code.begin();
    return code.size() == kCodeBytes && digits >= 4 &&
           std::all_of(code.begin(), end, [](std::uint8_t b) { return b >= '0' && b <= '9'; }) &&
           std::all_of(end, code.end(), [](std::uint8_t b) { return b == 0xFF; });
}

}  // namespace

SimChvState::SimChvState(const CardImage& image)
    : chv1_(FromImage(image.chv1, kChvAttempts)),
      unblockChv1_(FromImage(image.unblockChv1, kUnblockAttempts)),
      chv2_(FromImage(image.chv2, kChvAttempts)),
      unblockChv2_(FromImage(image.unblockChv2, kUnblockAttempts)),
      chv1Enabled_(image.chv1Enabled) {}

SimChvState::Secret SimChvState::FromImage(const CardCode& code, int maxAttempts) {
    Secret secret{Bytes(code.digits.begin(), code.digits.end()), code.attemptsLeft, maxAttempts};
    secret.value.resize(kCodeBytes, 0xFF);
    return secret;
}

CardCode SimChvState::ToImage(const Secret& secret) {
    const auto end = std::find(secret.value.begin(), secret.value.end(), 0xFF);
    return CardCode{std::string(secret.value.begin(), end), secret.attemptsLeft};
}

void SimChvState::SaveTo(CardImage& image) const {
    image.chv1 = ToImage(chv1_);
    image.unblockChv1 = ToImage(unblockChv1_);
    image.chv2 = ToImage(chv2_);
    image.unblockChv2 = ToImage(unblockChv2_);
    image.chv1Enabled = chv1Enabled_;
}

void SimChvState::ForgetVerification() {
    chv1Verified_ = false;
    chv2Verified_ = false;
}

bool SimChvState::Grants(std::uint8_t level) const {
    switch (level) {
        case access_level::kAlways:
            return true;
        case access_level::kChv1:
            return !chv1Enabled_ || chv1Verified_;
        case access_level::kChv2:
            return chv2Verified_;
        default:  // RFU, ADM (no administrative codes are offered), NEV
            return false;
    }
}

std::uint8_t SimChvState::StatusByte(int chv, bool unblock) const {
    const auto& secret =
        chv == 1 ? (unblock ? unblockChv1_ : chv1_) : (unblock ? unblockChv2_ : chv2_);
    return static_cast<std::uint8_t>(0x80 | secret.attemptsLeft);
}

SimChvState::Check SimChvState::Present(Secret& secret, const Bytes& candidate) {
    if (secret.attemptsLeft == 0)
        return Check::kBlocked;
    if (candidate == secret.value) {
        secret.attemptsLeft = secret.maxAttempts;
        return Check::kAccepted;
    }
    --secret.attemptsLeft;
    return secret.attemptsLeft == 0 ? Check::kRejectedNowBlocked : Check::kRejected;
}

std::uint16_t SimChvState::StatusOf(Check check) {
    switch (check) {
        case Check::kAccepted:
            return status_word::kNormalEnding;
        case Check::kRejected:
            return status_word::kAccessConditionNotFulfilled;
        case Check::kRejectedNowBlocked:
        case Check::kBlocked:
            break;
    }
    return status_word::kChvBlocked;
}

// A wrong code also withdraws an earlier verification of that CHV, as ISO/IEC 7816-4 cards
// reset their security state on a failed comparison; a blocked CHV never grants access.
std::uint16_t SimChvState::Verify(int chv, const Bytes& code) {
    if (chv == 1 && !chv1Enabled_)
        return status_word::kContradictsChvStatus;
    const auto check = Present(Chv(chv), code);
    Verified(chv) = check == Check::kAccepted;
    return StatusOf(check);
}

std::uint16_t SimChvState::Change(int chv, const Bytes& oldCode, const Bytes& newCode) {
    if (chv == 1 && !chv1Enabled_)
        return status_word::kContradictsChvStatus;
    if (!IsWellFormedCode(newCode))
        return status_word::kWrongData;
    auto& secret = Chv(chv);
    const auto check = Present(secret, oldCode);
    if (check == Check::kAccepted)
        secret.value = newCode;
    Verified(chv) = check == Check::kAccepted;
    return StatusOf(check);
}

std::uint16_t SimChvState::Disable(const Bytes& code) {
    if (!chv1Enabled_)
        return status_word::kContradictsChvStatus;
    const auto check = Present(chv1_, code);
    if (check == Check::kAccepted)
        chv1Enabled_ = false;
    else
        chv1Verified_ = false;
    return StatusOf(check);
}

std::uint16_t SimChvState::Enable(const Bytes& code) {
    if (chv1Enabled_)
        return status_word::kContradictsChvStatus;
    const auto check = Present(chv1_, code);
    if (check == Check::kAccepted) {
        chv1Enabled_ = true;
        chv1Verified_ = true;
    }
    return StatusOf(check);
}

std::uint16_t SimChvState::Unblock(int chv, const Bytes& unblockCode, const Bytes& newCode) {
    if (!IsWellFormedCode(newCode))
        return status_word::kWrongData;
    const auto check = Present(chv == 1 ? unblockChv1_ : unblockChv2_, unblockCode);
    if (check == Check::kAccepted) {
        auto& secret = Chv(chv);
        secret.value = newCode;
        secret.attemptsLeft = secret.maxAttempts;
        Verified(chv) = true;
        if (chv == 1)
            chv1Enabled_ = true;
    }
    return StatusOf(check);
}

}  // namespace pellucard
