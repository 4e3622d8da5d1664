#include "engine/codec_utf.h"

namespace pellucard {

namespace {

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Length of the sequence a lead byte announces, or 0 for a byte that cannot lead.
int SequenceLength(std::uint8_t lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

}  // namespace

std::u32string Utf8ToUtf32(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<std::uint8_t>(text[i]);
        int length = SequenceLength(lead);
        if (length == 1) {
            out.push_back(lead);
            ++i;
            continue;
        }
        char32_t c = 0;
        bool ok = length > 0 && i + length <= text.size();
        if (ok) {
            c = lead & (0x7F >> length);
            for (int k = 1; k < length; ++k) {
                auto next = static_cast<std::uint8_t>(text[i + k]);
                if ((next & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                c = (c << 6) | (next & 0x3F);
            }
        }
        // Reject overlong forms, surrogates and values past U+10FFFF.
        static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (c < kMinimum[length] || c > 0x10FFFF || IsSurrogate(c)))
            ok = false;
        if (ok) {
            out.push_back(c);
            i += length;
        } else {
            out.push_back(kReplacementCharacter);
            ++i;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || IsSurrogate(c))
        c = kReplacementCharacter;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string Utf32ToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text)
        AppendUtf8(out, c);
    return out;
}

int Utf16Units(std::u32string_view text) {
    int units = 0;
    for (char32_t c : text)
        units += Utf16Units(c);
    return units;
}

void AppendUtf16Be(Bytes& out, char32_t c) {
    if (c > 0x10FFFF || IsSurrogate(c))
        c = kReplacementCharacter;
    auto put = [&out](char32_t unit) {
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    };
    if (c > 0xFFFF) {
        c -= 0x10000;
        put(0xD800 + (c >> 10));
        put(0xDC00 + (c & 0x3FF));
    } else {
        put(c);
    }
}

std::string Utf16BeToUtf8(std::span<const std::uint8_t> bytes, bool stopAtFfff) {
    std::string out;
    std::size_t pairs = bytes.size() / 2;
    for (std::size_t i = 0; i < pairs; ++i) {
        char32_t unit = static_cast<char32_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        if (stopAtFfff && unit == 0xFFFF)
            break;
        if (unit == 0)
            continue;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < pairs) {
            char32_t low = static_cast<char32_t>(bytes[2 * i + 2] << 8 | bytes[2 * i + 3]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit);  // a lone surrogate turns into U+FFFD here
    }
    return out;
}

}  // namespace pellucard
