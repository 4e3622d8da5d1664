#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace pellucard {

// Windows code page 1252, the single-byte code page of record files written on Western
// European systems. Latin-1 except 0x80..0x9F, which hold the typographic quotes, dashes,
// the euro sign and a few letters; the five unassigned bytes there stand for the C1
// control characters of the same value so that every byte decodes and encodes back.

// The bytes of `text`, or nothing when a character of it has no byte.
std::optional<QByteArray> EncodeWindows1252(QStringView text);

QString DecodeWindows1252(QByteArrayView bytes);

}  // namespace pellucard
