#pragma once

#include <QFont>
#include <QStringList>

namespace pellucard {

// The lines a message occupies in a text field `width` pixels wide: its own line breaks (CR
// LF) and the breaks where the text wraps, at word boundaries or, for a word longer than the
// line, anywhere. An empty text is one empty line.
QStringList wrapMessage(const QString& text, const QFont& font, int width);

}  // namespace pellucard
