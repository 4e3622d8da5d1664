#pragma once

#include <cstdint>

#include "engine/bytes.h"
#include "simulator/card_image.h"

namespace pellucard {

// The card's secret codes (CHV1, CHV2 and their unblock codes) and what has been proved since
// the last reset, with the GSM 11.11 CHV commands as operations that return status words.
// A code travels as 8 bytes: its digits' character codes padded with FF.
class SimChvState {
public:
    explicit SimChvState(const CardImage& image);

    // After a reset no code has been presented.
    void ForgetVerification();
    // True when an access condition level (GSM 11.11 9.3) is fulfilled now.
    bool Grants(std::uint8_t level) const;
    bool Chv1Enabled() const { return chv1Enabled_; }
    // Byte 18..21 of a directory's SELECT response: 0x80 (initialised) | attempts left.
    std::uint8_t StatusByte(int chv, bool unblock) const;

    std::uint16_t Verify(int chv, const Bytes& code);
    std::uint16_t Change(int chv, const Bytes& oldCode, const Bytes& newCode);
    std::uint16_t Disable(const Bytes& code);
    std::uint16_t Enable(const Bytes& code);
    std::uint16_t Unblock(int chv, const Bytes& unblockCode, const Bytes& newCode);

    void SaveTo(CardImage& image) const;

private:
    struct Secret {
        Bytes value;  // 8 bytes
        int attemptsLeft = 0;
        int maxAttempts = 0;
    };
    enum class Check { kAccepted, kRejected, kRejectedNowBlocked, kBlocked };

    static Secret FromImage(const CardCode& code, int maxAttempts);
    static CardCode ToImage(const Secret& secret);
    static Check Present(Secret& secret, const Bytes& candidate);
    static std::uint16_t StatusOf(Check check);
    Secret& Chv(int chv) { return chv == 1 ? chv1_ : chv2_; }
    bool& Verified(int chv) { return chv == 1 ? chv1Verified_ : chv2Verified_; }

    Secret chv1_;
    Secret unblockChv1_;
    Secret chv2_;
    Secret unblockChv2_;
    bool chv1Enabled_ = true;
    bool chv1Verified_ = false;
    bool chv2Verified_ = false;
};

}  // namespace pellucard
