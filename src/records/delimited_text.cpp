#include "records/delimited_text.h"

#include <QMap>
#include <QStringDecoder>

#include "records/field_text.h"
#include "records/windows1252.h"

namespace pellucard {
namespace {

constexpr QChar kQuote = u'"';
const QByteArray kUtf8Mark("\xEF\xBB\xBF");

bool NeedsQuotes(const QString& value, QChar delimiter) {
    for (const QChar c : value) {
        if (c == delimiter || c == kQuote || c == u'\r' || c == u'\n') {
            return true;
        }
    }
    return false;
}

// The index of the quote that closes a quoted value whose text starts at `from`, or -1
// when the text ends first. Doubled quotes inside the value do not close it.
qsizetype ClosingQuote(const QString& text, qsizetype from) {
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] != kQuote) {
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == kQuote) {
            ++i;
            continue;
        }
        return i;
    }
    return -1;
}

int LineBreaks(QStringView text) {
    int breaks = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++breaks;
    }
    return breaks;
}

}  // namespace

QString JoinDelimitedLine(const QStringList& values, QChar delimiter) {
    QString line;
    for (qsizetype k = 0; k < values.size(); ++k) {
        if (k > 0) {
            line += delimiter;
        }
        const QString& value = values[k];
        if (NeedsQuotes(value, delimiter)) {
            QString quoted = value;
            quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            line += kQuote + quoted + kQuote;
        } else {
            line += value;
        }
    }
    return line;
}

DelimitedLineReader::DelimitedLineReader(const QString& text, QChar delimiter)
    : text_(text), delimiter_(delimiter) {}

qsizetype DelimitedLineReader::NextLine(QStringList& values, qsizetype maxValues) {
    values.clear();
    qsizetype count = 0;
    QString value;
    bool atValueStart = true;
    bool quoteIsCharacter = false;  // after an unclosed quote, quotes read as characters
    bool lineHasText = false;       // a delimiter, a character or a quoted value, even an empty one
    auto endValue = [&] {
        if (maxValues < 0 || count < maxValues) {
            values.append(value);
        }
        ++count;
        value.clear();
        atValueStart = true;
    };

    lineStart_ = line_;
    damage_ = Damage::None;
    damagedValue_ = -1;
    qsizetype& i = position_;
    while (i < text_.size()) {
        const QChar c = text_[i];
        if (atValueStart && c == kQuote && !quoteIsCharacter) {
            const qsizetype close = ClosingQuote(text_, i + 1);
            const QStringView quoted =
                close >= 0 ? QStringView(text_).sliced(i + 1, close - i - 1) : QStringView();
            const int breaks = LineBreaks(quoted);
            const bool endsValue = close + 1 >= text_.size() || text_[close + 1] == delimiter_ ||
                                   text_[close + 1] == u'\r' || text_[close + 1] == u'\n';
            if (close >= 0 && (breaks == 0 || endsValue)) {
                value += quoted.toString().replace(QStringLiteral("\"\""), QStringLiteral("\""));
                i = close + 1;
                line_ += breaks;
                atValueStart = false;
                lineHasText = true;
                if (!endsValue && damage_ == Damage::None) {
                    // What follows the closing quote stays in the value, as characters.
                    damage_ = Damage::QuoteInsideValue;
                    damagedValue_ = count;
                }
                continue;
            }
            // The quote is read as a character; the line ends at its own break.
            damage_ = Damage::UnclosedQuote;
            quoteIsCharacter = true;
        }
        if (c == delimiter_) {
            endValue();
            lineHasText = true;
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            i += (c == u'\r' && i + 1 < text_.size() && text_[i + 1] == u'\n') ? 2 : 1;
            ++line_;
            break;
        } else {
            value += c;
            atValueStart = false;
            lineHasText = true;
            ++i;
        }
    }
    if (lineHasText) {
        endValue();
    }
    return count;
}

QList<QStringList> SplitDelimitedLines(const QString& text, QChar delimiter) {
    QList<QStringList> lines;
    DelimitedLineReader reader(text, delimiter);
    QStringList values;
    while (!reader.AtEnd()) {
        reader.NextLine(values);
        lines.append(values);
    }
    return lines;
}

QByteArray EncodeTextFile(const QString& text) {
    return kUtf8Mark + text.toUtf8();
}

QChar DetectDelimiter(const QString& text, QChar preferred) {
    // The first line, quoted values (which may hold any of them) passed over.
    QMap<QChar, int> counts;
    bool quoted = false;
    bool lineHasText = false;  // empty lines before the first do not count
    for (const QChar c : text) {
        if (c == kQuote) {
            quoted = !quoted;
        } else if (!quoted && (c == u'\r' || c == u'\n')) {
            if (lineHasText)
                break;
            continue;
        } else if (!quoted &&
                   (c == kCommaDelimiter || c == kSemicolonDelimiter || c == kTabDelimiter)) {
            ++counts[c];
        }
        lineHasText = true;
    }
    QChar best = preferred;
    int bestCount = counts.value(preferred);
    for (const QChar candidate : {kTabDelimiter, kSemicolonDelimiter, kCommaDelimiter}) {
        if (counts.value(candidate) > bestCount) {
            best = candidate;
            bestCount = counts.value(candidate);
        }
    }
    return best;
}

QString DecodeTextFile(QByteArrayView bytes) {
    if (bytes.startsWith(kUtf8Mark)) {
        return QString::fromUtf8(bytes.sliced(kUtf8Mark.size()));
    }
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (littleEndian || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return decoder(bytes.sliced(2));
    }
    return IsMultibyteUtf8(bytes) ? QString::fromUtf8(bytes) : DecodeWindows1252(bytes);
}

}  // namespace pellucard
