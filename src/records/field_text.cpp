#include "records/field_text.h"

#include <algorithm>
#include <optional>

#include "records/windows1252.h"

namespace pellucard {
namespace {

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

QByteArray Utf8CutAtCharacter(const QString& text, int width) {
    QByteArray bytes = text.toUtf8();
    qsizetype length = std::min<qsizetype>(width, bytes.size());
    while (length > 0 && length < bytes.size() && IsContinuation(bytes[length])) {
        --length;
    }
    bytes.truncate(length);
    return bytes;
}

}  // namespace

QByteArray EncodeFieldText(const QString& text, int width) {
    if (width <= 0) {
        return {};
    }
    QByteArray bytes;
    const std::optional<QByteArray> ansi = EncodeWindows1252(QStringView(text).left(width));
    // Windows-1252 bytes that happen to read as UTF-8 ("Ã©") would load as other text;
    // UTF-8 keeps them.
    if (ansi && !IsMultibyteUtf8(*ansi)) {
        bytes = *ansi;
    } else {
        bytes = Utf8CutAtCharacter(text, width);
    }
    bytes.append(width - bytes.size(), ' ');
    return bytes;
}

QString DecodeFieldText(QByteArrayView bytes) {
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && bytes[first] == ' ') {
        ++first;
    }
    while (last > first && bytes[last - 1] == ' ') {
        --last;
    }
    const QByteArrayView text = bytes.sliced(first, last - first);
    return IsMultibyteUtf8(text) ? QString::fromUtf8(text) : DecodeWindows1252(text);
}

bool IsMultibyteUtf8(QByteArrayView bytes) {
    bool multibyte = false;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > bytes.size()) {
            return false;
        }
        for (int k = 1; k < length; ++k) {
            if (!IsContinuation(bytes[i + k])) {
                return false;
            }
            code = (code << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        }
        const bool overlongOrSurrogate =
            (length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF));
        if (overlongOrSurrogate) {
            return false;
        }
        multibyte = true;
        i += length;
    }
    return multibyte;
}

}  // namespace pellucard
