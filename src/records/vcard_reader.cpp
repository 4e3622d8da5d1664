// Reading vCard 2.1, 3.0 and 4.0 files.
#include <QStringDecoder>

#include "records/vcard.h"

namespace pellucard {
namespace {

// Limits that keep a damaged or foreign file from exhausting the memory: a logical line
// longer than this (an embedded photo) is skipped unread.
constexpr qsizetype kMaxLogicalLine = 256 * 1024;

struct PhysicalLine {
    QByteArray text;
    int number = 0;
};

QList<PhysicalLine> SplitLines(const QByteArray& bytes) {
    QList<PhysicalLine> lines;
    qsizetype start = 0;
    int number = 1;
    for (qsizetype at = 0; at <= bytes.size(); ++at) {
        if (at < bytes.size() && bytes[at] != '\n' && bytes[at] != '\r')
            continue;
        lines.append({bytes.mid(start, at - start), number++});
        if (at + 1 < bytes.size() && bytes[at] == '\r' && bytes[at + 1] == '\n')
            ++at;
        start = at + 1;
    }
    return lines;
}

// The parts of one content line: group.NAME;params:value.
struct ContentLine {
    QByteArray name;                                  // upper case, without its group
    QList<std::pair<QByteArray, QByteArray>> params;  // key upper case ("" for a bare type)
    QByteArray value;
    int number = 0;

    bool QuotedPrintable() const {
        for (const auto& [key, value] : params) {
            const QByteArray upper = value.toUpper();
            if ((key == "ENCODING" || key.isEmpty()) &&
                (upper == "QUOTED-PRINTABLE" || upper == "Q"))
                return true;
        }
        return false;
    }
    bool Base64() const {
        for (const auto& [key, value] : params) {
            const QByteArray upper = value.toUpper();
            if ((key == "ENCODING" || key.isEmpty()) && (upper == "BASE64" || upper == "B"))
                return true;
        }
        return false;
    }
    QByteArray Param(const char* wanted) const {
        for (const auto& [key, value] : params) {
            if (key == wanted)
                return value;
        }
        return {};
    }
};

QByteArray Unquoted(QByteArray value) {
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

bool ParseContentLine(const QByteArray& line, ContentLine& out) {
    // The value starts after the first colon that is not inside a quoted parameter value.
    bool quoted = false;
    qsizetype colon = -1;
    for (qsizetype at = 0; at < line.size(); ++at) {
        if (line[at] == '"')
            quoted = !quoted;
        else if (line[at] == ':' && !quoted) {
            colon = at;
            break;
        }
    }
    if (colon <= 0)
        return false;
    QList<QByteArray> head;
    QByteArray part;
    quoted = false;
    for (qsizetype at = 0; at < colon; ++at) {
        const char c = line[at];
        if (c == '"')
            quoted = !quoted;
        if (c == ';' && !quoted) {
            head.append(part);
            part.clear();
        } else {
            part += c;
        }
    }
    head.append(part);
    QByteArray name = head.takeFirst().trimmed().toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.mid(dot + 1);
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-')
            return false;
    }
    out.name = name;
    out.params.clear();
    for (const QByteArray& param : head) {
        const qsizetype equals = param.indexOf('=');
        if (equals < 0)
            out.params.append({QByteArray(), param.trimmed()});
        else
            out.params.append({param.left(equals).trimmed().toUpper(),
                               Unquoted(param.mid(equals + 1).trimmed())});
    }
    out.value = line.mid(colon + 1);
    return true;
}

QByteArray DecodeQuotedPrintable(const QByteArray& value) {
    QByteArray bytes;
    for (qsizetype at = 0; at < value.size(); ++at) {
        const char c = value[at];
        if (c == '=' && at + 2 < value.size()) {
            bool ok = false;
            const int code = value.mid(at + 1, 2).toInt(&ok, 16);
            if (ok) {
                bytes += char(code);
                at += 2;
                continue;
            }
        }
        if (c == '=' && at == value.size() - 1)
            break;  // a soft line break left at the end
        bytes += c;
    }
    return bytes;
}

// The text of a value's bytes in the character set the line names; UTF-8 when it names none.
// Bytes that are not UTF-8 in a file that names no character set are read as Windows-1252,
// which older desktop programs wrote.
QString DecodeCharset(const QByteArray& bytes, const QByteArray& charset, bool& unknownCharset) {
    unknownCharset = false;
    if (!charset.isEmpty() && charset.toUpper() != "UTF-8") {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
        unknownCharset = true;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows1252("windows-1252");
    return windows1252.isValid() ? windows1252.decode(bytes) : QString::fromLatin1(bytes);
}

// Splits at every separator not escaped by a backslash; the escapes stay for Unescape.
QStringList SplitEscaped(const QString& value, QChar separator) {
    QStringList parts;
    QString part;
    for (qsizetype at = 0; at < value.size(); ++at) {
        const QChar c = value[at];
        if (c == u'\\' && at + 1 < value.size()) {
            part += c;
            part += value[++at];
        } else if (c == separator) {
            parts.append(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.append(part);
    return parts;
}

QString Unescape(const QString& value) {
    QString text;
    for (qsizetype at = 0; at < value.size(); ++at) {
        const QChar c = value[at];
        if (c == u'\\' && at + 1 < value.size()) {
            const QChar next = value[at + 1];
            if (next == u'n' || next == u'N') {
                text += u'\n';
                ++at;
                continue;
            }
            if (next == u',' || next == u';' || next == u'\\' || next == u':') {
                text += next;
                ++at;
                continue;
            }
        }
        text += c;
    }
    return text;
}

QString NormaliseLineBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QStringList TypesOf(const ContentLine& line) {
    QStringList types;
    for (const auto& [key, value] : line.params) {
        if (key == "TYPE" || key.isEmpty()) {
            for (const QByteArray& type : value.split(',')) {
                const QString lower = QString::fromLatin1(Unquoted(type.trimmed())).toLower();
                if (!lower.isEmpty() && lower != u"quoted-printable" && lower != u"base64")
                    types.append(lower);
            }
        } else if (key == "PREF") {
            types.append(QStringLiteral("pref"));
        }
    }
    return types;
}

class Reader {
public:
    VCardFile Read(const QByteArray& bytes) {
        const QList<PhysicalLine> lines = SplitLines(bytes);
        for (qsizetype index = 0; index < lines.size(); ++index) {
            QByteArray logical = lines[index].text;
            const int number = lines[index].number;
            bool tooLong = false;
            // Folded lines: a line that begins with a blank continues the one before.
            // Quoted-printable values continue after a line that ends in "=".
            while (index + 1 < lines.size()) {
                const QByteArray& next = lines[index + 1].text;
                const bool folded = !next.isEmpty() && (next[0] == ' ' || next[0] == '\t');
                const bool softBreak = logical.endsWith('=') && IsQuotedPrintableLine(logical);
                if (!folded && !softBreak)
                    break;
                if (logical.size() < kMaxLogicalLine) {
                    if (softBreak && !folded)
                        logical.chop(1), logical += next;
                    else if (softBreak)
                        logical.chop(1), logical += next.mid(1);
                    else
                        logical += next.mid(1);
                } else {
                    tooLong = true;
                }
                ++index;
            }
            if (logical.trimmed().isEmpty())
                continue;
            ContentLine line;
            if (!ParseContentLine(logical, line)) {
                Problem(number, ReportEntry::Kind::NotVCardLine);
                continue;
            }
            line.number = number;
            if (tooLong) {
                NotKept(line.name);
                continue;
            }
            Take(line);
        }
        if (inCard_) {
            Problem(cardStart_, ReportEntry::Kind::NoVCardEnd);
            file_.contacts.append(contact_);
        }
        return std::move(file_);
    }

private:
    static bool IsQuotedPrintableLine(const QByteArray& logical) {
        const qsizetype colon = logical.indexOf(':');
        return colon > 0 && logical.left(colon).toUpper().contains("QUOTED-PRINTABLE");
    }

    void Problem(int number, ReportEntry::Kind kind, const QString& field = {}) {
        ReportEntry entry;
        entry.kind = kind;
        entry.line = number;
        entry.field = field;
        file_.problems.Add(entry);
    }

    void NotKept(const QByteArray& name) { contact_.notKept.append(QString::fromLatin1(name)); }

    QString TextOf(const ContentLine& line) {
        const QByteArray bytes =
            line.QuotedPrintable() ? DecodeQuotedPrintable(line.value) : line.value;
        bool unknown = false;
        QString text = DecodeCharset(bytes, line.Param("CHARSET"), unknown);
        if (unknown) {
            Problem(line.number, ReportEntry::Kind::UnknownCharset,
                    QString::fromLatin1(line.Param("CHARSET")));
        }
        return NormaliseLineBreaks(text);
    }

    void Take(const ContentLine& line) {
        if (line.name == "BEGIN") {
            if (line.value.trimmed().toUpper() != "VCARD") {
                Problem(line.number, ReportEntry::Kind::BeginNotVCard);
                return;
            }
            if (inCard_) {
                Problem(cardStart_, ReportEntry::Kind::NoVCardEnd);
                file_.contacts.append(contact_);
            }
            inCard_ = true;
            cardStart_ = line.number;
            contact_ = VCardContact();
            contact_.line = line.number;
            return;
        }
        if (!inCard_) {
            Problem(line.number, ReportEntry::Kind::OutsideVCard);
            return;
        }
        if (line.name == "END") {
            file_.contacts.append(contact_);
            inCard_ = false;
            return;
        }
        if (line.name == "VERSION")
            return;
        if (line.Base64()) {
            NotKept(line.name);  // photos, sounds, keys
            return;
        }
        const QString value = TextOf(line);
        if (line.name == "FN") {
            if (contact_.formattedName.isEmpty())
                contact_.formattedName = Unescape(value);
            else
                NotKept(line.name);
        } else if (line.name == "N") {
            QStringList parts;
            for (const QString& part : SplitEscaped(value, u';'))
                parts.append(Unescape(part));
            while (parts.size() < 5)
                parts.append(QString());
            contact_.name = parts.mid(0, 5);
        } else if (line.name == "NICKNAME") {
            Single(contact_.nickname, Unescape(value), line.name);
        } else if (line.name == "ORG") {
            QStringList units;
            for (const QString& part : SplitEscaped(value, u';')) {
                if (!part.isEmpty())
                    units.append(Unescape(part));
            }
            Single(contact_.organisation, units.join(QStringLiteral("; ")), line.name);
        } else if (line.name == "TITLE") {
            Single(contact_.title, Unescape(value), line.name);
        } else if (line.name == "BDAY") {
            Single(contact_.birthday, Unescape(value).trimmed(), line.name);
        } else if (line.name == "NOTE") {
            Single(contact_.note, Unescape(value), line.name);
        } else if (line.name == "URL") {
            Single(contact_.url, Unescape(value).trimmed(), line.name);
        } else if (line.name == "GENDER" || line.name == "X-GENDER") {
            Single(contact_.gender, Unescape(SplitEscaped(value, u';').value(0)).trimmed(),
                   line.name);
        } else if (line.name == "TEL") {
            // As written, a tel: URI included: the importers read it as a dialable number.
            contact_.phones.append({Unescape(value).trimmed(), TypesOf(line), line.number});
        } else if (line.name == "EMAIL") {
            contact_.emails.append({Unescape(value).trimmed(), TypesOf(line), line.number});
        } else if (line.name == "ADR") {
            QStringList parts;
            for (const QString& part : SplitEscaped(value, u';'))
                parts.append(Unescape(part));
            while (parts.size() < 7)
                parts.append(QString());
            contact_.addresses.append({parts.mid(0, 7), TypesOf(line)});
        } else if (line.name == "CATEGORIES") {
            for (const QString& category : SplitEscaped(value, u',')) {
                const QString text = Unescape(category).trimmed();
                if (!text.isEmpty())
                    contact_.categories.append(text);
            }
        } else if (line.name.startsWith("X-PELLUCARD-")) {
            const QString key = QString::fromLatin1(line.name.mid(12));
            contact_.extensions.append({key, Unescape(value)});
            if (key == u"ALIAS")
                contact_.hasAlias = true;
        } else {
            NotKept(line.name);
        }
    }

    // A property the contact keeps once; a second one is counted as not kept.
    void Single(QString& field, const QString& value, const QByteArray& name) {
        if (field.isEmpty())
            field = value;
        else
            NotKept(name);
    }

    VCardFile file_;
    VCardContact contact_;
    bool inCard_ = false;
    int cardStart_ = 0;
};

}  // namespace

QString VCardContact::Extension(const QString& key) const {
    for (const auto& [name, value] : extensions) {
        if (name == key)
            return value;
    }
    return {};
}

int VCardFile::NotKeptCount() const {
    int count = 0;
    for (const VCardContact& contact : contacts)
        count += int(contact.notKept.size());
    return count;
}

VCardFile ParseVCards(const QByteArray& bytes) {
    QByteArray content = bytes;
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);  // a UTF-8 byte order mark
    return Reader().Read(content);
}

QStringList SplitName(const QString& name) {
    const QString trimmed = name.trimmed();
    const qsizetype space = trimmed.lastIndexOf(u' ');
    if (space < 0)
        return {trimmed, QString(), QString(), QString(), QString()};
    return {trimmed.mid(space + 1), trimmed.left(space), QString(), QString(), QString()};
}

QString ComposeName(const QStringList& name) {
    // prefixes, given, additional, family, suffixes
    QStringList words;
    for (const int part : {3, 1, 2, 0, 4}) {
        const QString word = name.value(part).trimmed();
        if (!word.isEmpty())
            words.append(word);
    }
    return words.join(u' ');
}

}  // namespace pellucard
