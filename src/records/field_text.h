#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pellucard {

// The text of one fixed-width field of a record file.
//
// Record files hold one byte per character in the writer's ANSI code page. A field is
// written that way, in Windows-1252, whenever the text it keeps fits that code page, so
// such files stay byte for byte alike. Text that does not fit (Greek,
// Cyrillic, Chinese, emoji read from a card) is written as UTF-8, cut where a character
// ends. Reading tells the two apart: a field that is valid UTF-8 and holds a character of
// more than one byte is UTF-8, any other Windows-1252.

// Exactly `width` bytes: the text, cut to the width and filled up with blanks.
QByteArray EncodeFieldText(const QString& text, int width);

// The text of a field's bytes without leading and trailing blanks.
QString DecodeFieldText(QByteArrayView bytes);

// True when `bytes` is well-formed UTF-8 with at least one multi-byte character.
bool IsMultibyteUtf8(QByteArrayView bytes);

}  // namespace pellucard
