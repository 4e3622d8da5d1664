#include "engine/codec_alpha.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/codec_utf.h"
#include "engine/gsm7.h"

namespace pellucard {

namespace {

// Decodes the character bytes of forms 0x81 and 0x82: GSM codes (with the extension table)
// below 0x80, base-relative characters from 0x80 on.
std::string DecodeBasedCharacters(std::span<const std::uint8_t> bytes, char32_t base) {
    std::string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes[i] >= 0x80) {
            char32_t c = base + (bytes[i] & 0x7F);
            if (c != 0)
                AppendUtf8(out, c);
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < bytes.size() && bytes[end] < 0x80)
            ++end;
        out += GsmCodesToText(bytes.subspan(i, end - i));
        i = end;
    }
    return out;
}

std::string DecodeGsmField(std::span<const std::uint8_t> field) {
    std::size_t end = 0;
    while (end < field.size() && field[end] < 0x80)
        ++end;
    return GsmCodesToText(field.first(end));
}

struct Encoded {
    Bytes field;
    std::size_t held = 0;  // characters written
};

Encoded EncodeGsm(const std::u32string& text, std::size_t fieldLength) {
    Encoded out{Bytes(fieldLength, 0xFF), 0};
    for (char32_t c : text) {
        if (out.held >= fieldLength)
            break;
        out.field[out.held++] = static_cast<std::uint8_t>(TextToGsm(c));
    }
    return out;
}

Encoded EncodeUcs2(const std::u32string& text, std::size_t fieldLength) {
    Encoded out{Bytes(fieldLength, 0xFF), 0};
    if (fieldLength == 0)
        return out;
    out.field[0] = AlphaMark(AlphaForm::Ucs2);
    Bytes units;
    for (char32_t c : text) {
        std::size_t needed = 2 * static_cast<std::size_t>(Utf16Units(c));
        if (1 + units.size() + needed > fieldLength)
            break;
        AppendUtf16Be(units, c);
        ++out.held;
    }
    std::copy(units.begin(), units.end(), out.field.begin() + 1);
    return out;
}

// Characters outside the GSM table among the first `count` characters.
std::vector<char32_t> NonGsmCharacters(const std::u32string& text, std::size_t count) {
    std::vector<char32_t> result;
    for (std::size_t i = 0; i < count; ++i) {
        if (TextToGsm(text[i]) < 0)
            result.push_back(text[i]);
    }
    return result;
}

// Form 0x81: the characters outside the GSM table must share one 128-character window whose
// start, divided by 128, fits the base byte. Returns nothing when they do not.
std::optional<Encoded> Encode81(const std::u32string& text, std::size_t fieldLength) {
    if (fieldLength <= 3)
        return std::nullopt;
    const std::size_t count = std::min({text.size(), fieldLength - 3, std::size_t{255}});
    std::optional<char32_t> window;
    for (char32_t c : NonGsmCharacters(text, count)) {
        // High byte at most 0x7F: twice it plus the half bit must fit the base byte.
        if (c > 0x7FFF)
            return std::nullopt;
        char32_t start = c & ~char32_t{0x7F};
        if (window && *window != start)
            return std::nullopt;
        window = start;
    }
    const char32_t base = window.value_or(0);
    Encoded out{Bytes(fieldLength, 0xFF), count};
    out.field[0] = AlphaMark(AlphaForm::Ucs2Base81);
    out.field[1] = static_cast<std::uint8_t>(count);
    out.field[2] = static_cast<std::uint8_t>(base >> 7);
    for (std::size_t i = 0; i < count; ++i) {
        int code = TextToGsm(text[i]);
        out.field[3 + i] = static_cast<std::uint8_t>(code >= 0 ? code : 0x80 + (text[i] - base));
    }
    return out;
}

// Form 0x82: the characters outside the GSM table must lie within 128 of a 16-bit base; the
// base is the lowest of them.
std::optional<Encoded> Encode82(const std::u32string& text, std::size_t fieldLength) {
    if (fieldLength <= 4)
        return std::nullopt;
    const std::size_t count = std::min({text.size(), fieldLength - 4, std::size_t{255}});
    const auto others = NonGsmCharacters(text, count);
    char32_t low = 0, high = 0;
    if (!others.empty()) {
        low = *std::min_element(others.begin(), others.end());
        high = *std::max_element(others.begin(), others.end());
    }
    if (high > 0xFFFF || high - low > 0x7F)
        return std::nullopt;
    Encoded out{Bytes(fieldLength, 0xFF), count};
    out.field[0] = AlphaMark(AlphaForm::Ucs2Base82);
    out.field[1] = static_cast<std::uint8_t>(count);
    out.field[2] = static_cast<std::uint8_t>(low >> 8);
    out.field[3] = static_cast<std::uint8_t>(low & 0xFF);
    for (std::size_t i = 0; i < count; ++i) {
        int code = TextToGsm(text[i]);
        out.field[4 + i] = static_cast<std::uint8_t>(code >= 0 ? code : 0x80 + (text[i] - low));
    }
    return out;
}

Encoded EncodeWithForm(const std::u32string& text, std::size_t fieldLength, AlphaForm form) {
    if (text.empty())
        return Encoded{Bytes(fieldLength, 0xFF), 0};
    if (FitsGsmAlphabet(text))
        return EncodeGsm(text, fieldLength);
    std::optional<Encoded> based;
    if (form == AlphaForm::Ucs2Base81)
        based = Encode81(text, fieldLength);
    if (form == AlphaForm::Ucs2Base82)
        based = Encode82(text, fieldLength);
    return based ? std::move(*based) : EncodeUcs2(text, fieldLength);
}

}  // namespace

std::string DecodeAlpha(std::span<const std::uint8_t> field) {
    if (field.empty())
        return {};
    switch (field[0]) {
        case AlphaMark(AlphaForm::Ucs2):
            return Utf16BeToUtf8(field.subspan(1), /*stopAtFfff=*/true);
        case AlphaMark(AlphaForm::Ucs2Base81): {
            if (field.size() < 3)
                return {};
            std::size_t count = std::min<std::size_t>(field[1], field.size() - 3);
            return DecodeBasedCharacters(field.subspan(3, count), char32_t{field[2]} << 7);
        }
        case AlphaMark(AlphaForm::Ucs2Base82): {
            if (field.size() < 4)
                return {};
            std::size_t count = std::min<std::size_t>(field[1], field.size() - 4);
            char32_t base = char32_t{field[2]} << 8 | field[3];
            return DecodeBasedCharacters(field.subspan(4, count), base);
        }
        default:
            return DecodeGsmField(field);
    }
}

std::string DecodeAlpha(const Bytes& bytes, int lastIndex) {
    if (lastIndex < 0)
        return {};
    std::size_t length = std::min(bytes.size(), static_cast<std::size_t>(lastIndex) + 1);
    return DecodeAlpha(std::span<const std::uint8_t>(bytes.data(), length));
}

Bytes EncodeAlpha(std::string_view text, std::size_t fieldLength, AlphaForm form) {
    return EncodeWithForm(Utf8ToUtf32(text), fieldLength, form).field;
}

void EncodeAlpha(std::string_view text, int lastIndex, Bytes& bytes, AlphaForm form) {
    if (lastIndex < 0)
        return;
    const std::size_t fieldLength = static_cast<std::size_t>(lastIndex) + 1;
    if (bytes.size() < fieldLength)
        bytes.resize(fieldLength, 0xFF);
    Bytes field = EncodeAlpha(text, fieldLength, form);
    std::copy(field.begin(), field.end(), bytes.begin());
}

std::size_t AlphaCharactersHeld(std::string_view text, std::size_t fieldLength, AlphaForm form) {
    return EncodeWithForm(Utf8ToUtf32(text), fieldLength, form).held;
}

AlphaForm ChooseAlphaForm(std::string_view utf8, std::size_t fieldLength) {
    const std::u32string text = Utf8ToUtf32(utf8);
    AlphaForm best = AlphaForm::Ucs2;
    std::size_t bestHeld = 0;
    for (AlphaForm form : {AlphaForm::Ucs2, AlphaForm::Ucs2Base81, AlphaForm::Ucs2Base82}) {
        std::size_t held = EncodeWithForm(text, fieldLength, form).held;
        if (held == text.size())
            return form;
        if (held > bestHeld) {
            best = form;
            bestHeld = held;
        }
    }
    return best;
}

AlphaForm AlphaFormFor(NameForm choice, std::string_view text, std::size_t fieldLength) {
    switch (choice) {
        case NameForm::Ucs2:
            return AlphaForm::Ucs2;
        case NameForm::Ucs2Base81:
            return AlphaForm::Ucs2Base81;
        case NameForm::Ucs2Base82:
            return AlphaForm::Ucs2Base82;
        case NameForm::BestFit:
            break;
    }
    return ChooseAlphaForm(text, fieldLength);
}

}  // namespace pellucard
