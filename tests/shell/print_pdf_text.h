#pragma once

#include <QString>
#include <QStringList>

namespace pellucard {

// Reads back the text of a PDF file written by Qt's PDF engine, page by page, without an
// outside tool: it follows the page tree, inflates the content streams and maps the
// glyphs drawn with Tj and TJ through each font's ToUnicode map. Qt places glyphs one by
// one, so the text of a page comes out in drawing order without the blanks between
// words; compare it with Squeezed texts. An empty list means the file could not be read.
QStringList PdfPageTexts(const QString& path);

// `text` without any white space.
QString Squeezed(const QString& text);

// The text of the PDF as pdftotext (poppler-utils) extracts it, pages separated by form
// feeds, or a null string when the tool is not installed.
QString PdfToText(const QString& path);

}  // namespace pellucard
