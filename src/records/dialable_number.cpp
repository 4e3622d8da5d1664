#include "records/dialable_number.h"

#include <QRegularExpression>

namespace pellucard {
namespace {

// Characters written between digits only to group them for the eye.
bool IsVisualSeparator(QChar c) {
    if (c.isSpace() || c.category() == QChar::Punctuation_Dash)
        return true;  // blanks of every width, hyphens and dashes
    switch (c.unicode()) {
        case u'.':
        case u'/':
        case u'(':
        case u')':
        case 0x2212:  // minus sign
            return true;
        default:
            return false;
    }
}

// Appends the dialling characters of `text` to `number`; what cannot be dialled goes to
// `refused`. A "+" is dialled only as the first character of a number.
void AppendDialled(QStringView text, QString& number, QString& refused, bool plusAllowed) {
    for (const QChar c : text) {
        if (c.category() == QChar::Number_DecimalDigit) {
            number += QChar(u'0' + c.digitValue());  // digits of any script, as 0-9
        } else if (c == u'+' && plusAllowed && number.isEmpty() && refused.isEmpty()) {
            number += c;
        } else if (c == u'*' || c == u'#') {
            number += c;
        } else if (c == u'p' || c == u'P' || c == u',') {
            number += u'P';
        } else if (!IsVisualSeparator(c)) {
            refused += c;
        }
    }
}

struct NumberParts {
    QString main;
    QString extension;
    QStringList dropped;
};

// tel:+1-201-555-0123;ext=1234;isub=5 (RFC 3966): the number, then parameters.
NumberParts PartsOfUri(const QString& uri) {
    NumberParts parts;
    const QStringList pieces = uri.mid(4).split(u';');
    parts.main = pieces.value(0);
    for (qsizetype k = 1; k < pieces.size(); ++k) {
        const QString name = pieces[k].section(u'=', 0, 0).trimmed().toLower();
        if (name == u"ext")
            parts.extension = pieces[k].section(u'=', 1);
        else if (!name.isEmpty())
            parts.dropped.append(name);
    }
    return parts;
}

// "+1 555 0100 ext. 12", "555-0100 x12", "+1-555-0100;ext=12": the number and its extension.
NumberParts PartsOfText(const QString& text) {
    static const QRegularExpression extension(
        QStringLiteral("^(.*?)\\s*(?:;\\s*ext\\s*=|(?<![a-z])(?:extension|ext)\\.?|(?<![a-z])x)"
                       "\\s*(\\d[\\d\\s.()-]*)$"),
        QRegularExpression::CaseInsensitiveOption);
    NumberParts parts;
    const QRegularExpressionMatch match = extension.match(text);
    if (match.hasMatch() && !match.captured(1).isEmpty()) {
        parts.main = match.captured(1);
        parts.extension = match.captured(2);
    } else {
        parts.main = text;
    }
    return parts;
}

}  // namespace

DialableNumber ReadDialableNumber(const QString& written) {
    const QString text = written.trimmed();
    NumberParts parts = text.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)
                            ? PartsOfUri(text)
                            : PartsOfText(text);
    // "+44 (0)20 ...": the trunk prefix in brackets is dialled only from within the country.
    static const QRegularExpression trunkPrefix(QStringLiteral("\\(\\s*0\\s*\\)"));
    if (parts.main.trimmed().startsWith(u'+'))
        parts.main.replace(trunkPrefix, QString());

    DialableNumber result;
    result.dropped = parts.dropped;
    AppendDialled(parts.main, result.number, result.refused, true);
    if (!parts.extension.trimmed().isEmpty()) {
        result.number += u'P';
        AppendDialled(parts.extension, result.number, result.refused, false);
    }
    return result;
}

}  // namespace pellucard
