#include "engine/bytes.h"

namespace pellucard {

std::string FileIdHex(std::uint16_t fileId) {
    return ToHex(Bytes{std::uint8_t(fileId >> 8), std::uint8_t(fileId)});
}

std::string ToHex(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (auto b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0x0F]);
    }
    return text;
}

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool FromHex(std::string_view text, Bytes& out) {
    Bytes result;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
        int value = HexValue(c);
        if (value < 0) return false;
        if (high < 0) {
            high = value;
        } else {
            result.push_back(static_cast<std::uint8_t>(high << 4 | value));
            high = -1;
        }
    }
    if (high >= 0) return false;
    out = std::move(result);
    return true;
}

}  // namespace pellucard
