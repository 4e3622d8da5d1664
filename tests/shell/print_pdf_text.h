#pragma once

#include <QString>
#include <QStringList>

namespace pellucard {

// The text of each page of a PDF file in drawing order, as pdftotext (poppler-utils, which
// scripts/setup.sh installs) reads it from the file's fonts. Blanks between words depend on the
// glyphs' spacing; compare Squeezed texts. An empty list means the file could not be read.
QStringList PdfPageTexts(const QString& path);

// `text` without any white space.
QString Squeezed(const QString& text);

}  // namespace pellucard
