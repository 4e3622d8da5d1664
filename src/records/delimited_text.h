#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace pellucard {

// The text form of comma- and tab-separated files: lines ended by CR LF, values separated
// by the delimiter. A value that holds the delimiter, a double quote or a line break is
// written in double quotes with its quotes doubled (RFC 4180), so that spreadsheets and
// this program read it back whole. Other values are written as they are, so that a file
// without such values is the plain delimited text that older programs expect.

inline constexpr QChar kCommaDelimiter = u',';
inline constexpr QChar kTabDelimiter = u'\t';
inline constexpr QChar kSemicolonDelimiter = u';';

// One line of values, without its line end.
QString JoinDelimitedLine(const QStringList& values, QChar delimiter);

// Reads text line by line, each line split into its values, as the tolerant readers people
// use read it (Python's csv module, spreadsheets). A value that starts with a double quote
// runs to the closing quote, delimiters and line breaks included, with doubled quotes read as
// one. A quote inside a value is an ordinary character. No line ever takes the next one with
// it by mistake:
// - a quote that closes before its value ends (`"12"3`, `"broken,123,"rest`) keeps what
//   follows it, up to the next delimiter, in the value on its own line, and the line is marked
//   QuoteInsideValue;
// - a quote that is never closed, or whose closing quote lies on a later line and is followed
//   by more text (the closing quote of another value), leaves its line damaged: the line is
//   read with the quote as an ordinary character and ends at its own line break.
// Lines end with CR LF, LF or CR. An empty line has no values at all; a text that ends with a
// line end has no empty line after it.
class DelimitedLineReader {
public:
    enum class Damage { None, QuoteInsideValue, UnclosedQuote };

    // Keeps a reference to `text`, which must outlive the reader.
    DelimitedLineReader(const QString& text, QChar delimiter);

    bool AtEnd() const { return position_ >= text_.size(); }
    // Reads the next line into `values`, keeping at most `maxValues` of them, and returns
    // how many the line holds. A damaged file cannot make one line exhaust the memory.
    qsizetype NextLine(QStringList& values, qsizetype maxValues = -1);
    // The number (from 1) of the text line where the line last read began; a quoted value
    // with line breaks makes one line of several text lines.
    int LineNumber() const { return lineStart_; }
    // What was wrong with the line last read; for QuoteInsideValue, the first value so read.
    Damage LineDamage() const { return damage_; }
    qsizetype DamagedValue() const { return damagedValue_; }

private:
    const QString& text_;
    QChar delimiter_;
    qsizetype position_ = 0;
    int line_ = 1;
    int lineStart_ = 0;
    Damage damage_ = Damage::None;
    qsizetype damagedValue_ = -1;
};

// Every line of the text with all its values.
QList<QStringList> SplitDelimitedLines(const QString& text, QChar delimiter);

// The bytes of a text file: UTF-8 behind a byte-order mark, which spreadsheet programs and
// the readers of scripts (Python's "utf-8-sig") recognise.
QByteArray EncodeTextFile(const QString& text);

// The delimiter of a delimited text: of comma, semicolon and tab, the one its first line
// holds most often outside quoted values; `preferred` when the line holds none of them or
// when it is among those that tie.
QChar DetectDelimiter(const QString& text, QChar preferred);

// The text of a file's bytes: UTF-8 after a UTF-8 byte-order mark, UTF-16 after a UTF-16
// one (the "Unicode text" of spreadsheets), UTF-8 when the bytes are valid UTF-8 with a
// character of more than one byte, otherwise Windows-1252.
QString DecodeTextFile(QByteArrayView bytes);

}  // namespace pellucard
